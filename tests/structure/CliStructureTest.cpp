// kaz-cli structure and config exclude end to end.
#include "StructureFixtures.h"

#include "support/KillAtStep.h"
#include "support/SmallVolume.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

using CliStructure = HomeTest;

TEST_F(CliStructure, BuildPrintsMovesPreviewChangesNothingUndoRestoresExcludedAlbums)
{
    eightSongs(dir, "A", "X", "A");
    putSong(dir, "loose.mp3", "B", "Y");
    const auto before = hashesByPath(dir);

    CliResult r = runCli({"structure", "build", "--preview", "--json", dir});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(hashesByPath(dir), before);
    EXPECT_FALSE(QFileInfo::exists(programFolder()));
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), 9);
    const QJsonObject first = lines[0];
    EXPECT_EQ(QStringList({first["from"].toString(), first["to"].toString(), first["class"].toString()}),
              QStringList({dir + "/A0.mp3", dir + "/Album/A/X/A0.mp3", "aa"}));
    EXPECT_EQ(first["cd"].toInt(), -1);
    EXPECT_EQ(lines[8]["class"].toString(), "va");

    r = runCli({"structure", "build", "--lang", "en", dir});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.startsWith((dir + "/A0.mp3\t" + dir + "/Album/A/X/A0.mp3\n").toUtf8()));
    EXPECT_TRUE(QFile::exists(dir + "/Various/loose.mp3"));
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_EQ(hashesByPath(dir), before);

    // Names as a terminal shows them: control characters escaped, the rest as UTF-8.
    eightSongs(dir, QStringLiteral("Ärzte"), "Y", "B");
    ASSERT_TRUE(QFile::rename(dir + "/B0.mp3", dir + "/B\x1b" "0.mp3"));
    r = runCli({"structure", "build", dir});
    EXPECT_TRUE(r.out.contains((dir + "/B\\x1b0.mp3\t" + dir + "/Album/Ärzte/Y/B\\x1b0.mp3\n").toUtf8()))
        << r.out.constData();
    EXPECT_TRUE(r.out.contains((dir + "/B1.mp3\t" + dir + "/Album/Ärzte/Y/B1.mp3\n").toUtf8()));

    EXPECT_EQ(runCli({"structure", "build"}).exitCode, 2);
    EXPECT_EQ(runCli({"structure", "shuffle", dir}).exitCode, 2);
    EXPECT_EQ(runCli({"structure", "build", dir + "/missing"}).exitCode, 1) << "as a missing file";

    // Excluded albums and the structure keys.
    EXPECT_EQ(runCli({"config", "exclude", "add", "Best of "}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "add", "Best of"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "add", "hits"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "list"}).out, "Best of\nhits\n");
    EXPECT_EQ(runCli({"config", "exclude", "remove", "Best of"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "remove", "nope"}).exitCode, 1);
    EXPECT_EQ(runCli({"config", "exclude", "add", "  "}).exitCode, 2);
    EXPECT_EQ(runCli({"config", "exclude", "list"}).out, "hits\n");
    EXPECT_TRUE(readAll(home.path() + "/config/kaz/KAZ.INI").contains("[exclude album-names]\r\nhits\r\n[END]"));

    for (int i = 0; i < 8; ++i)
        putSong(dir, QStringLiteral("s%1.mp3").arg(i), QStringLiteral("Artist %1").arg(i), "Greatest Hits");
    ASSERT_EQ(runCli({"config", "set", "VariousDir", "Misc"}).exitCode, 0);
    EXPECT_EQ(runCli({"structure", "build", dir}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(dir + "/Misc/s0.mp3"));
}

TEST_F(CliStructure, QuestionsNeedYesOrATerminal)
{
    // Too small: CD folders of 44 MB and an album of 48 MB; the big album
    // stays out of the CD folders, the small one goes into the first.
    for (int i = 0; i < 8; ++i)
        putLargeSong(dir, QStringLiteral("big%1.mp3").arg(i), "Big", "Album", 6 * 1048576);
    eightSongs(dir, "Small", "Album", "small");
    ASSERT_EQ(runCli({"config", "set", "useful4", "true"}).exitCode, 0);
    ASSERT_EQ(runCli({"config", "set", "CDR", "44"}).exitCode, 0);
    const auto before = hashesByPath(dir);
    CliResult r = runCli({"structure", "build", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "Selected structure size is to small"));
    EXPECT_EQ(hashesByPath(dir), before);
    EXPECT_TRUE(endedWith(runCli({"structure", "build", "--yes", dir}), 0));
    EXPECT_TRUE(QFile::exists(dir + "/Album/Big/Album/big0.mp3"));
    EXPECT_EQ(treeHashes(dir).keys().filter("small0.mp3"), QStringList{"CD1_1min (1MB)/Album/Small/Album/small0.mp3"});
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);

    // Full break and reorganisation.
    putSong(dir + "/sub", "song.mp3", "A", "X");
    putFile(dir + "/sub", "cover.jpg", "jpg");
    r = runCli({"structure", "break", "--full", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "ALL files from subdirectories"));
    EXPECT_TRUE(QFile::exists(dir + "/sub/cover.jpg"));
    EXPECT_EQ(runCli({"structure", "reorganize", "--lang", "en", dir}).exitCode, 1);
    EXPECT_TRUE(QFile::exists(dir + "/sub/song.mp3"));

    // Safe mode cannot dissolve a folder with a picture in it; its preview says
    // so and ends as the run does.
    const auto unbroken = hashesByPath(dir);
    r = runCli({"structure", "break", "--preview", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "not every sub-folder can be emptied"));
    EXPECT_EQ(hashesByPath(dir), unbroken);
    r = runCli({"structure", "break", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "KAZ wasn´t able to move all MP3-files!"));
    EXPECT_EQ(runCli({"structure", "break", "--full", "--preview", dir}).exitCode, 0) << "--full empties it";
    EXPECT_TRUE(endedWith(runCli({"structure", "break", "--full", "--yes", dir}), 0));
    EXPECT_TRUE(QFile::exists(dir + "/cover.jpg"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/sub"));
}

// A break (and a reorganisation) removes the folders it emptied, never the
// user's own empty folders; the undo brings back what the run took away.
TEST_F(CliStructure, BreaksLeaveTheUsersEmptyFolders)
{
    for (const QString operation : {"break", "reorganize"}) {
        SCOPED_TRACE(operation.toStdString());
        QDir(dir).removeRecursively();
        putSong(dir + "/sub/deeper", "song.mp3", "A", "X");
        putSong(dir + "/sub", "other.mp3", "B", "Y");
        for (const char *folder : {"/empty", "/nested/deeper"})
            ASSERT_TRUE(QDir().mkpath(dir + folder));
        const auto before = hashesByPath(dir);

        EXPECT_TRUE(endedWith(runCli({"structure", operation, "--yes", dir}), 0));
        EXPECT_TRUE(QFileInfo(dir + "/empty").isDir());
        EXPECT_TRUE(QFileInfo(dir + "/nested/deeper").isDir());
        EXPECT_FALSE(QFileInfo::exists(dir + "/sub"));

        EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
        EXPECT_EQ(hashesByPath(dir), before);
        for (const char *folder : {"/empty", "/nested/deeper", "/sub/deeper"})
            EXPECT_TRUE(QFileInfo(dir + folder).isDir()) << folder;
    }
}

// A run lock that cannot be used: cleanup and structure say why, as rename
// and undo do, instead of blaming another run.
TEST_F(CliStructure, ARunLockThatCannotBeUsedIsNamed)
{
    eightSongs(dir, "A", "X", "a");
    const QString lock = programFolder() + "/run.lock";
    const QString outside = putFile(home.path(), "outside", "x");
    struct Case {
        const char *name;
        std::function<bool()> make;
        const char *said;
    } cases[] = {
        {"fifo", [&] { return ::mkfifo(QFile::encodeName(lock).constData(), 0600) == 0; }, "no regular file"},
        {"link", [&] { return QFile::link(outside, lock); }, "symbolic link"},
        {"folder", [&] { return QDir().mkpath(lock); }, "is a folder"},
        {"foreign", [&] { return writeAll(lock, "") && ::chown(QFile::encodeName(lock).constData(), 4242, 4242) == 0; },
         "belongs to another user"},
    };
    const auto before = hashesByPath(dir);
    for (const Case &c : cases) {
        if (QByteArray(c.name) == "foreign" && ::geteuid() != 0)
            continue; // only root gives a file away
        QDir().mkpath(programFolder());
        ASSERT_TRUE(c.make()) << c.name;
        for (const QStringList &command : {QStringList{"structure", "build", "--yes", dir},
                                           QStringList{"cleanup", "--script", "\"a\"\"b\":", dir + "/a0.mp3"},
                                           QStringList{"cleanup", "--undo"}}) {
            const CliResult r = runCli(command, {}, 30000);
            EXPECT_TRUE(endedWith(r, 1, c.said)) << c.name << " " << command.join(' ').toStdString();
            EXPECT_FALSE(r.err.contains("Another KAZ run")) << c.name;
        }
        EXPECT_EQ(hashesByPath(dir), before) << c.name;
        EXPECT_EQ(readAll(outside), "x");
        QFile::remove(lock);
        QDir().rmdir(lock);
    }
    // A program folder that cannot be written.
    if (::geteuid() != 0) {
        ::chmod(QFile::encodeName(programFolder()).constData(), 0500);
        EXPECT_TRUE(endedWith(runCli({"structure", "build", "--yes", dir}), 1, "cannot be written"));
        ::chmod(QFile::encodeName(programFolder()).constData(), 0700);
    }
}

// A build killed while it copies a file to another file system (here the
// album folder is one): the undo removes the hidden copy cut short and the
// folders the build made, and every file is back.
TEST_F(CliStructure, AKilledCopyToAnotherFileSystemIsUndoneWhole)
{
    SmallVolume volume(dir + "/Album", 4096);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    const auto setUp = [&] {
        for (const QString &name : entries(volume.path()))
            QDir(volume.path() + "/" + name).removeRecursively();
        for (int i = 0; i < 8; ++i)
            putLargeSong(dir, QStringLiteral("b%1.mp3").arg(i), "B", "Y", 200 * 1024 + i);
        eightSongs(dir, "A", "X", "a");
    };
    setUp();
    const auto before = hashesByPath(dir);
    const int kills = killAtEveryStep({"structure", "build", "--yes", dir}, "copy", setUp, [&](int n) {
        ASSERT_TRUE(endedWith(runCli({"undo", "--yes"}), 0)) << "after kill " << n;
        EXPECT_EQ(hashesByPath(dir), before) << "after kill " << n;
        EXPECT_TRUE(entries(volume.path()).isEmpty()) << entries(volume.path()).join(' ').toStdString() << " after kill " << n;
    }, 3);
    EXPECT_GE(kills, 2);
}
