#include "RenameFixtures.h"
#include "support/KillAtStep.h"
#include "support/SmallVolume.h"

#include "platform/Paths.h"
#include "platform/WorkFiles.h"
#include "rename/WorkListReader.h"
#include "rename/WorkListWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>
#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

using CliRename = HomeTest;

namespace {

// "aaa", "aab", ...: names without digits, of which a run would keep a number.
QString letters(int i)
{
    return QString(QChar('a' + i / 676 % 26)) + QChar('a' + i / 26 % 26) + QChar('a' + i % 26);
}

// A tree of files with distinct tags, "<x>.mp3" holding "Song <x>": path -> hash.
QMap<QString, QByteArray> makeTree(const QString &dir, int count)
{
    QMap<QString, QByteArray> files;
    for (int i = 0; i < count; ++i) {
        const QString folder = dir + QStringLiteral("/f%1/g%2").arg(i % 7).arg(i % 3);
        const QString path = putTagged(folder, letters(i) + ".mp3", values("Song " + letters(i), "Artist", "Album"));
        files.insert(path, contentHash(path));
    }
    return files;
}

// Where a run by tag puts a file of makeTree.
QString plannedPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return path.left(slash + 1) + "Artist - Album - Song " + path.mid(slash + 1);
}

} // namespace

// The rows themselves are the run's (RenameRun.PreviewChangesNothingAndFillsTheTable):
// here the JSON shape, the table's header and the options.
TEST_F(CliRename, PreviewNameAndSettingOptions)
{
    const QString file = putTagged(dir, "05 x.mp3", values("What?", "AC/DC"));
    putUntagged(dir, "c.mp3");
    const auto before = treeHashes(dir);
    CliResult result = runCli({"rename", "--preview", "--json", "--lang", "en", "--fields", "artist,title", dir});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(treeHashes(dir), before);
    const QList<QJsonObject> rows = jsonLines(result.out);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(QStringList({rows[0]["currentName"].toString(), rows[0]["previewedName"].toString(),
                           rows[1]["status"].toString(), rows[1]["info"].toString()}),
              QStringList({"05 x.mp3", "05 - AC_DC - What.mp3", "   !", "NoID3Tag"}));
    result = runCli({"rename", "--preview", "--lang", "de", "--fields", "title", file});
    EXPECT_TRUE(result.out.startsWith("Status\tInfo\tAktueller Dateiname\tNeuer Dateiname"));

    result = runCli({"name", "--fields", "title,artist", "--brackets", "3", "--replace", "+++++++++",
                     "--delimiter", "_", file});
    EXPECT_EQ(result.out, "(05)_What+_AC+DC.mp3\n");
    result = runCli({"name", "--user-name", "Mix", "--no-numbers", file, file});
    EXPECT_EQ(result.out, "01 - Mix.mp3\n02 - Mix.mp3\n");
    for (const QStringList &options : {QStringList{"--fields", "none,artist"}, {"--brackets", "x"}})
        EXPECT_EQ(runCli(QStringList{"rename"} + options + QStringList{file}).exitCode, 2) << qPrintable(options.join(' '));
    result = runCli({"rename", "--delimiter", "?", "--lang", "en", file});
    EXPECT_TRUE(endedWith(result, 2, "following delimiter are no allowed"));
    EXPECT_TRUE(QFile::exists(file));
}

// "kaz-cli rename *" in an album folder: the cover and the notes keep their
// names, are named on standard error, and the run ends with 1.
TEST_F(CliRename, FilesThatAreNoMp3FilesAreLeftAloneAndReported)
{
    const QString song = putTagged(dir, "01.mp3", values("Song", "Band"));
    const QString upper = putTagged(dir, "02.MP3", values("Other", "Band"));
    const QString cover = putTagged(dir, "cover.jpg", values("Picture", "Band"));
    const QString notes = putFile(dir, "notes.txt", "liner notes");
    const QString untaggedNotes = putFile(dir, "readme", "no extension");

    const CliResult r = runCli({"rename", "--lang", "en", "--fields", "artist,title", song, upper, cover, notes, untaggedNotes});
    EXPECT_EQ(r.exitCode, 1) << r.err.constData();
    for (const QString &file : {cover, notes, untaggedNotes}) {
        EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
        EXPECT_TRUE(r.err.contains(QByteArray(QFileInfo(file).fileName().toUtf8() + ": not an MP3 file, left alone"))) << r.err.constData();
    }
    EXPECT_EQ(namesIn(dir), QStringList({"01 - Band - Song.mp3", "02 - Band - Other.mp3", "cover.jpg", "notes.txt", "readme"}));
    // Nothing else to rename: nothing is done, the run still says so.
    EXPECT_TRUE(endedWith(runCli({"rename", "--lang", "en", cover}), 1, "not an MP3 file"));
    EXPECT_TRUE(QFile::exists(cover));
}

// An undo from another session asks; one that cannot finish keeps the rest for later.
TEST_F(CliRename, UndoAsksAndKeepsWhatItCannotFinish)
{
    const QString dir = home.music() + "/Inbox";
    const QString file = putTagged(dir, "a.mp3", values("One", "Abba", "Album"));
    putTagged(home.music() + "/Other", "b.mp3", values("Two", "Abba", "Album"));
    const auto before = hashesByPath(home.music());
    ASSERT_EQ(runCli({"rename", "--recursive", home.music()}).exitCode, 0);
    EXPECT_TRUE(endedWith(runCli({"undo", "--lang", "en"}), 1, "This UNDO-information are from last session!"));
    EXPECT_FALSE(QFile::exists(file));

    ASSERT_TRUE(QDir().rename(dir, home.music() + "/Away"));
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes", "--lang", "en"}), 1,
                          "1 lines that could not be undone stay in the undo logs"));
    ASSERT_TRUE(QDir().rename(home.music() + "/Away", dir));
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_EQ(hashesByPath(home.music()), before);
    EXPECT_EQ(runCli({"undo", "--yes"}).exitCode, 0); // nothing left to undo
}

TEST_F(CliRename, KilledRunsCanBeUndone)
{
    const QMap<QString, QByteArray> original = makeTree(dir, 400);
    QMap<QByteArray, QString> oldPathOf;
    for (auto it = original.cbegin(); it != original.cend(); ++it)
        oldPathOf.insert(it.value(), it.key());
    QMap<QString, QString> planned;
    for (const QString &path : original.keys())
        planned.insert(path, plannedPath(path));
    const auto undo = [&](int n) {
        ASSERT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
        ASSERT_EQ(hashesByPath(dir), original) << "killed at rename " << n;
    };

    // Killed at every 37th rename: every file is under its old or its new
    // name, once, and the undo brings back every old one.
    int halfDone = 0;
    const int kills = killAtEveryStep(
        {"rename", "--recursive", dir}, "rename", [] {},
        [&](int n) {
            const auto now = hashesByPath(dir);
            ASSERT_EQ(now.size(), original.size());
            int renamed = 0;
            for (auto [path, hash] : now.asKeyValueRange()) {
                const QString old = oldPathOf.value(hash);
                ASSERT_FALSE(old.isEmpty()) << qPrintable(path);
                EXPECT_TRUE(path == old || path == planned.value(old)) << qPrintable(path);
                renamed += path != old;
            }
            halfDone += renamed > 0 && renamed < now.size();
            undo(n);
        },
        37);
    EXPECT_GE(kills, 10);
    EXPECT_EQ(halfDone, kills - 1) << "only the kill before the first rename leaves every name";
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);

    // User-defined names go through temporary names; a kill there is undone too.
    const int counterKills = killAtEveryStep({"rename", "--recursive", "--user-name", "Mix", "--no-numbers", dir},
                                             "rename", [] {}, undo, 61);
    EXPECT_GE(counterKills, 12);
}

TEST_F(CliRename, CommandsThatOnlyReadChangeNoPermission)
{
    const QString file = putTagged(dir, "a.mp3", values("One", "Abba", "Album"));
    const QString outside = putFile(home.path(), "outside.mp3", readAll(file));
    QFile::link(outside, dir + "/link.mp3");
    for (const QString &f : {file, outside})
        ::chmod(QFile::encodeName(f).constData(), 0444);
    const QList<QStringList> commands{{"tag", "show", file, dir + "/link.mp3"},
                                      {"name", file, dir + "/link.mp3"},
                                      {"rename", "--preview", dir},
                                      {"rename", "--preview", "--recursive", "--user-name", "Mix", dir}};
    for (const QStringList &command : commands) {
        const CliResult r = runCli(command);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(command.join(' ')) << r.err.constData();
        for (const QString &f : {file, outside}) {
            struct stat st {};
            ::stat(QFile::encodeName(f).constData(), &st);
            EXPECT_EQ(st.st_mode & 07777, 0444u) << qPrintable(command.join(' ') + ": " + f);
        }
    }
}

// An undo killed at every 23rd step is finished by the next one.
TEST_F(CliRename, KilledUndosCanBeRepeated)
{
    const QMap<QString, QByteArray> original = makeTree(dir, 400);
    const auto rename = [&] { ASSERT_EQ(runCli({"rename", "--recursive", dir}).exitCode, 0); };
    const int kills = killAtEveryStep({"undo", "--yes"}, "rename", rename, [&](int n) {
        ASSERT_EQ(hashesByPath(dir).size(), original.size()) << "nothing lost, nothing doubled; kill " << n;
        ASSERT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
        ASSERT_EQ(hashesByPath(dir), original) << "undo killed at rename " << n;
    }, 23);
    EXPECT_GE(kills, 15);
    EXPECT_EQ(hashesByPath(dir), original);
}

// Past a few hundred files of one folder the run reads the folder's names
// instead of looking at each target first. A name held when it was read,
// by a folder or a file outside the run, or given by the run since (in an
// earlier batch or earlier in the same one), must still be found taken
// before its batch is logged: a kill after the logging leaves no line whose
// new path is another file.
TEST_F(CliRename, NamesTakenLateInALargeFolderStayOutOfTheLogs)
{
    const auto title = [](int i) {
        return i == 590 || i == 591 ? QString("Dup") : i == 585 || i == 597 ? QString("Again") : "T" + letters(i);
    };
    for (int i = 0; i < 600; ++i)
        putTagged(dir, letters(i) + ".mp3", values(title(i), "A", letters(i))); // the album keeps each file's bytes its own
    ASSERT_TRUE(QDir(dir).mkdir("A - Tawi.mp3"));                           // the target of file 580
    ASSERT_TRUE(QFile::link(dir + "/nowhere", dir + "/A - Tawx.mp3")); // of file 595: a link, left alone
    const auto before = hashesByPath(dir);
    const QStringList run = {"rename", "--fields", "artist,title", dir};

    // Killed after the batch of files 512 to 579 was logged, before its
    // renames; then at each rename from the first batch after the folder
    // holding "A - Dup.mp3" and "A - Again.mp3" to the last.
    for (const int pass : {540, 590, 591, 592, 593, 594, 596, 597, 598, 599, 600}) {
        SCOPED_TRACE(pass);
        ASSERT_TRUE(runCliKilledAt(run, "rename", pass).killed);
        const QStringList oldPaths = WorkListReader::readAll(workFilePath(workfile::UndoOld));
        const QStringList newPaths = WorkListReader::readAll(workFilePath(workfile::UndoNew));
        ASSERT_EQ(oldPaths.size(), newPaths.size());
        EXPECT_GE(newPaths.size(), 540);
        for (qsizetype i = 0; i < newPaths.size(); ++i) {
            const QFileInfo target(newPaths[i]);
            EXPECT_FALSE(target.isSymLink() || target.isDir()) << "logged onto what was there: " << newPaths[i].toStdString();
            if (target.isFile()) {
                EXPECT_EQ(contentHash(newPaths[i]).toStdString(), before.value(oldPaths[i]).toStdString())
                    << "logged for " << oldPaths[i].toStdString() << ", another file: " << newPaths[i].toStdString();
            }
        }
        ASSERT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
        ASSERT_EQ(hashesByPath(dir), before);
    }

    ASSERT_TRUE(endedWith(runCli(run), 0));
    EXPECT_TRUE(QFileInfo(dir + "/A - Tawi.mp3").isDir());
    EXPECT_TRUE(QFileInfo(dir + "/A - Tawx.mp3").isSymLink());
    for (const char *name : {"A - Tawi (2).mp3", "A - Tawx (2).mp3", "A - Dup.mp3", "A - Dup (2).mp3", "A - Again.mp3",
                             "A - Again (2).mp3", "A - Taxb.mp3"})
        EXPECT_TRUE(QFileInfo(dir + '/' + name).isFile()) << name;
}

// Work lists and the undo's progress file are never written through a link
// nor opened when a FIFO or a folder stands at their name: the run says so,
// naming the file, and the file the link points to stays as it was.
TEST_F(CliRename, WorkFilesAreOpenedOnlyAsTheProgramsOwnRegularFiles)
{
    putTagged(dir + "/sub", "x.mp3", values("One", "Abba", "Album"));
    const QString outside = putFile(home.path(), "outside.txt", "keep me");
    const auto before = hashesByPath(dir);
    const std::pair<const char *, std::function<bool(const QString &)>> kinds[] = {
        {"link", [&](const QString &at) { return QFile::link(outside, at); }},
        {"fifo", [](const QString &at) { return ::mkfifo(QFile::encodeName(at).constData(), 0600) == 0; }},
        {"folder", [](const QString &at) { return QDir().mkpath(at); }},
    };
    for (const char *name : {workfile::FolderList, workfile::FolderNextLevel, workfile::FolderLevel, workfile::FileList}) {
        for (const auto &[kind, make] : kinds) {
            const QString at = workFilePath(name);
            ASSERT_TRUE(make(at)) << name << " " << kind;
            const CliResult r = runCli({"rename", "--recursive", dir}, {}, 30000);
            EXPECT_TRUE(endedWith(r, 1, QString(at + ": not a regular file").toUtf8())) << name << " " << kind;
            EXPECT_EQ(readAll(outside), "keep me") << name << " " << kind;
            EXPECT_EQ(hashesByPath(dir), before) << name << " " << kind;
            QFile::remove(at);
            QDir().rmdir(at);
        }
    }

    // The undo goes on by the disk alone past a FIFO or a link to a device
    // at its progress file.
    ASSERT_TRUE(endedWith(runCli({"rename", "--recursive", dir}), 0));
    const QString progress = workFilePath(workfile::UndoProgress);
    ASSERT_EQ(::mkfifo(QFile::encodeName(progress).constData(), 0600), 0);
    CliResult r = runCli({"undo", "--yes"}, {}, 30000);
    EXPECT_TRUE(endedWith(r, 0, QString(progress + ": not a regular file").toUtf8()));
    EXPECT_EQ(hashesByPath(dir), before);
    QFile::remove(progress);
    ASSERT_TRUE(endedWith(runCli({"rename", "--recursive", dir}), 0));
    ASSERT_TRUE(QFile::link("/dev/zero", progress));
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}, {}, 30000), 0));
    EXPECT_EQ(hashesByPath(dir), before);
}

// The marks of a killed undo belong to the logs they were made for: logs of
// another run that happen to have the very same sizes do not take them.
TEST_F(CliRename, AnUndosMarksBelongToTheLogsTheyWereMadeFor)
{
    putTagged(dir, "aa.mp3", values("One", "Abba"));
    putTagged(dir, "bb.mp3", values("Two", "Abba"));
    ASSERT_TRUE(endedWith(runCli({"rename", "--fields", "artist,title", dir}), 0));
    // Killed after the last line was undone and marked.
    ASSERT_TRUE(runCliKilledAt({"undo", "--yes"}, "rename", 2).killed);
    ASSERT_TRUE(QFile::exists(dir + "/bb.mp3") && QFile::exists(dir + "/Abba - One.mp3"));

    // Logs of another run, of the same sizes, for two other files.
    const QString c = putTagged(dir, "Abba - Six.mp3", values("Six", "Abba"));
    const QString d = putTagged(dir, "Abba - Ten.mp3", values("Ten", "Abba"));
    for (const auto &[name, lines] : {std::pair{workfile::UndoOld, QStringList{dir + "/cc.mp3", dir + "/dd.mp3"}},
                                      std::pair{workfile::UndoNew, QStringList{c, d}}}) {
        WorkListWriter log(workFilePath(name));
        for (const QString &line : lines)
            log.append(line);
        ASSERT_TRUE(log.close());
    }
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_TRUE(QFile::exists(dir + "/cc.mp3") && QFile::exists(dir + "/dd.mp3"));
    EXPECT_FALSE(QFile::exists(c) || QFile::exists(d));
}

// A killed undo, then a run that cannot write its logs on a full data disk:
// the undo still finishes, at every step it could have been killed at.
TEST_F(CliRename, AKilledUndoFinishesAfterARunThatCouldNotLog)
{
    SmallVolume volume(programFolder(), 256);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    // The second file moves away from a name that the third then takes;
    // killed after those two were undone, the disk alone cannot tell that
    // the file at "Abba - Waterloo.mp3" is back where it belongs.
    const QStringList run = {"rename", "--fields", "artist,title", dir};
    const auto putFiles = [&] {
        putTagged(dir, "Abba - Alpha.mp3", values("Beta", "Abba"));
        putTagged(dir, "Abba - Waterloo.mp3", values("SOS", "Abba"));
        putTagged(dir, "x.mp3", values("Waterloo", "Abba"));
    };
    const auto setUp = [&] {
        QDir(dir).removeRecursively();
        QFile::remove(volume.path() + "/filler");
        putFiles();
        ASSERT_TRUE(endedWith(runCli(run), 0));
        ASSERT_TRUE(QFile::exists(dir + "/Abba - SOS.mp3"));
    };
    putFiles();
    const auto original = treeHashes(dir);
    const int kills = killAtEveryStep({"undo", "--yes"}, "*", setUp, [&](int n) {
        // Room for the list of files, none for the logs.
        volume.fill();
        QFile filler(volume.path() + "/filler");
        filler.resize(filler.size() - 4096);
        runCli(run); // renames nothing: it cannot log

        EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0)) << "after kill " << n;
        EXPECT_EQ(treeHashes(dir), original) << "after kill " << n;
    });
    EXPECT_GE(kills, 3);
}
