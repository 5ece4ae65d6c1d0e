// kaz-cli structure and config exclude end to end, and runs killed midway.
#include "StructureFixtures.h"

#include "support/KillAtStep.h"

#include "platform/Paths.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QRandomGenerator>

using namespace kaz;
using namespace kaz::test;

using CliStructure = HomeTest;

TEST_F(CliStructure, BuildPrintsMovesPreviewChangesNothingUndoRestores)
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
    EXPECT_EQ(first["from"].toString(), dir + "/A0.mp3");
    EXPECT_EQ(first["to"].toString(), dir + "/Album/A/X/A0.mp3");
    EXPECT_EQ(first["class"].toString(), "aa");
    EXPECT_EQ(first["cd"].toInt(), -1);
    EXPECT_EQ(lines[8]["class"].toString(), "va");

    r = runCli({"structure", "build", "--lang", "en", dir});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.startsWith((dir + "/A0.mp3\t" + dir + "/Album/A/X/A0.mp3\n").toUtf8()));
    EXPECT_TRUE(QFile::exists(dir + "/Various/loose.mp3"));
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_EQ(hashesByPath(dir), before);

    EXPECT_EQ(runCli({"structure", "build"}).exitCode, 2);
    EXPECT_EQ(runCli({"structure", "shuffle", dir}).exitCode, 2);
    EXPECT_EQ(runCli({"structure", "build", dir + "/missing"}).exitCode, 2);
}

TEST_F(CliStructure, QuestionsNeedYesOrATerminal)
{
    // Too small: CD folders of 44 MB and an album of 48 MB.
    for (int i = 0; i < 8; ++i)
        putLargeSong(dir, QStringLiteral("big%1.mp3").arg(i), "Big", "Album", 6 * 1048576);
    ASSERT_EQ(runCli({"config", "set", "useful4", "true"}).exitCode, 0);
    ASSERT_EQ(runCli({"config", "set", "CDR", "44"}).exitCode, 0);
    const auto before = hashesByPath(dir);
    CliResult r = runCli({"structure", "build", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "Selected structure size is to small"));
    EXPECT_EQ(hashesByPath(dir), before);
    EXPECT_TRUE(endedWith(runCli({"structure", "build", "--yes", dir}), 0));
    EXPECT_TRUE(QFile::exists(dir + "/Album/Big/Album/big0.mp3"));
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);

    // Full break and reorganisation.
    putSong(dir + "/sub", "song.mp3", "A", "X");
    putFile(dir + "/sub", "cover.jpg", "jpg");
    r = runCli({"structure", "break", "--full", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "ALL files from subdirectories"));
    EXPECT_TRUE(QFile::exists(dir + "/sub/cover.jpg"));
    EXPECT_EQ(runCli({"structure", "reorganize", "--lang", "en", dir}).exitCode, 1);
    EXPECT_TRUE(QFile::exists(dir + "/sub/song.mp3"));

    // Safe mode cannot dissolve a folder with a picture in it.
    r = runCli({"structure", "break", "--lang", "en", dir});
    EXPECT_TRUE(endedWith(r, 1, "KAZ wasn´t able to move all MP3-files!"));
    EXPECT_TRUE(endedWith(runCli({"structure", "break", "--full", "--yes", dir}), 0));
    EXPECT_TRUE(QFile::exists(dir + "/cover.jpg"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/sub"));
}

TEST_F(CliStructure, ExcludedAlbumsAndStructureKeys)
{
    EXPECT_EQ(runCli({"config", "exclude", "add", "Best of "}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "add", "Best of"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "add", "hits"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "list"}).out, "Best of\nhits\n");
    EXPECT_EQ(runCli({"config", "exclude", "remove", "Best of"}).exitCode, 0);
    EXPECT_EQ(runCli({"config", "exclude", "remove", "nope"}).exitCode, 1);
    EXPECT_EQ(runCli({"config", "exclude", "add", "  "}).exitCode, 2);
    EXPECT_EQ(runCli({"config", "exclude", "list"}).out, "hits\n");
    EXPECT_TRUE(readAll(home.path() + "/config/kaz/KAZ.INI").contains("[exclude album-names]\r\nhits\r\n[END]"));

    const QString dir = home.music();
    for (int i = 0; i < 8; ++i)
        putSong(dir, QStringLiteral("s%1.mp3").arg(i), QStringLiteral("Artist %1").arg(i), "Greatest Hits");
    ASSERT_EQ(runCli({"config", "set", "VariousDir", "Misc"}).exitCode, 0);
    EXPECT_EQ(runCli({"structure", "build", dir}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(dir + "/Misc/s0.mp3"));
}

// A smoke test at random moments over a larger tree; the kills at every
// step are in TreeSafetyTest.cpp.
TEST_F(CliStructure, ReorganisationsKilledAtRandomMomentsAreUndoneCompletely)
{
    for (int i = 0; i < 600; ++i) {
        const int album = i / 10;
        const QString folder = dir + QStringLiteral("/old/%1/%2").arg(album % 13).arg(album);
        putSong(folder, QStringLiteral("%1.mp3").arg(i % 10), QStringLiteral("Artist %1").arg(album % 41),
                QStringLiteral("Album %1").arg(album), {}, 1);
        if (i % 10 == 0)
            putFile(folder, "cover.jpg", QByteArray("cover ") + QByteArray::number(album));
    }
    const auto before = hashesByPath(dir);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli({"structure", "reorganize", "--yes", dir}).exitCode, 0);
    const qint64 whole = qMax<qint64>(timer.elapsed(), 20);
    EXPECT_EQ(readAll(dir + "/Album/Artist 5/Album 5/cover.jpg"), "cover 5");
    EXPECT_TRUE(QFile::exists(dir + "/Album/Artist 5/Album 5/0.mp3")) << "numbered in the break, named back";
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);
    ASSERT_EQ(hashesByPath(dir), before);

    QRandomGenerator random(14);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const qint64 delay = random.bounded(qint64(1), whole);
        runCliKilledAfter({"structure", "reorganize", "--yes", dir}, delay);
        ASSERT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
        ASSERT_EQ(hashesByPath(dir), before) << "after a kill at " << delay << " ms";
        EXPECT_EQ(QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList({"old"}));
    }
}
