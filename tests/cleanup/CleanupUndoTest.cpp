// The cleanup's undo log on real files: an undo blocked by another file and
// finished later, logs that are damaged or no files at all, which run's
// undo stays when a run renames nothing or is killed, and runs killed at
// any moment undone completely.
#include "CleanupFixtures.h"

#include "support/KillAtStep.h"

#include "cleanup/CleanupLog.h"
#include "platform/WorkFiles.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

using CleanupUndo = HomeTest;

namespace {

const QString kUnderscores = QStringLiteral("\"_\"\" \":");

QStringList cleanupArgs(const QStringList &files, const QString &script = kUnderscores)
{
    return QStringList{"cleanup", "--lang", "en", "--no-capitalize", "--script", script} + files;
}

// Files whose cleaned names stay apart, and the script.
struct KillFixture {
    QString dir;
    QStringList files;
    QString script = QStringLiteral("\"_\"\" \":\"-no\"\"\":\" (live)\"\"\":1\"#\":3-4\"\":");
    QMap<QString, QByteArray> original;

    KillFixture(const QString &folder, int count)
        : dir(folder)
    {
        for (int i = 0; i < count; ++i)
            files.append(putFile(dir, QStringLiteral("%1_track-no_%2 (live).mp3").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))));
        original = hashesByPath(dir);
    }

    QStringList arguments() const { return QStringList{"cleanup", "--script", script} + files; }

    // Every file is there once, its content whole; returns how many were renamed.
    int checkEachFileOnce() const
    {
        const auto now = hashesByPath(dir);
        QList<QByteArray> hashes = now.values(), before = original.values();
        std::sort(hashes.begin(), hashes.end());
        std::sort(before.begin(), before.end());
        EXPECT_EQ(hashes, before);
        return int(std::count_if(now.keyBegin(), now.keyEnd(), [&](const QString &p) { return !original.contains(p); }));
    }
};

} // namespace

TEST_F(CleanupUndo, ABlockedLineStaysUntilALaterUndoFinishesIt)
{
    const QStringList files{putFile(dir, "a_1.mp3"), putFile(dir, "b_2.mp3"), putFile(dir, "c_3.mp3")};
    const auto before = treeHashes(dir);
    ASSERT_EQ(runCli(cleanupArgs(files)).exitCode, 0);
    // Another file now holds one of the old names.
    writeAll(dir + "/b_2.mp3", "another file");

    CliResult r = runCli({"cleanup", "--undo", "--lang", "en"});
    EXPECT_TRUE(endedWith(r, 1, QString(dir + "/b 2.mp3 -> " + dir + "/b_2.mp3: another file stands at the old path")
                                    .toUtf8()));
    EXPECT_TRUE(r.err.contains("1 renames are kept in the undo log")) << r.err.constData();
    EXPECT_EQ(namesIn(dir), (QStringList{"a_1.mp3", "b 2.mp3", "b_2.mp3", "c_3.mp3"}));
    EXPECT_EQ(readAll(dir + "/b_2.mp3"), "another file");
    ASSERT_EQ(readCleanupLog().entries.size(), 1);
    // Still blocked: nothing changes, the line stays.
    EXPECT_EQ(runCli({"cleanup", "--undo"}).exitCode, 1);
    EXPECT_EQ(readCleanupLog().entries.size(), 1);

    // Once the way is free, the next undo finishes the run.
    QFile::remove(dir + "/b_2.mp3");
    r = runCli({"cleanup", "--undo", "--lang", "en"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, "1 files got their old names back, 0 already had them\n");
    EXPECT_EQ(treeHashes(dir), before);
    EXPECT_FALSE(cleanupLogExists());
}

// A FIFO in place of the log or of the saved rules never makes a command
// that reads or writes it wait, and stays as it is.
TEST_F(CleanupUndo, AFifoInPlaceOfItsFilesNeverHangs)
{
    const QString file = putFile(home.music(), "a_b.mp3");
    const QList<std::pair<const char *, QStringList>> cases = {{workfile::CleanupUndo, cleanupArgs({file})},
                                                               {workfile::CleanupUndo, {"cleanup", "--undo"}},
                                                               {workfile::CleanupRules, {"cleanup", "rules", "list"}},
                                                               {workfile::CleanupRules, {"cleanup", "rules", "save", "x:"}}};
    for (const auto &[name, command] : cases) {
        const QString fifo = workFilePath(name);
        QFile::remove(fifo);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
        const CliResult r = runCli(command, {}, 20000); // stopped if it waits
        EXPECT_TRUE(endedWith(r, 1, (fifo + ": not a regular file").toUtf8())) << qPrintable(command.join(' '));
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
        EXPECT_TRUE(S_ISFIFO(st.st_mode)) << name;
        QFile::remove(fifo);
    }
    EXPECT_EQ(namesIn(home.music()), QStringList{"a_b.mp3"}); // not renamed without its log
}

// A log with relative paths or a line cut short: the good lines are undone,
// each bad one is reported by its number, and nothing is renamed relative to
// the working folder. A cut last line (a run stopped while logging it, before
// its rename) is named but fails nothing.
TEST_F(CleanupUndo, DamagedLinesAreReportedByNumber)
{
    putFile(dir, "new.mp3");
    putFile(dir, "moved.mp3");
    const QString workingFolder = QDir::currentPath();
    QDir::setCurrent(dir);
    writeAll(cleanupLogPath(), "old.mp3\r\nmoved.mp3\r\n" + QFile::encodeName(dir) + "/orig.mp3\r\n"
                                   + QFile::encodeName(dir) + "/new.mp3\r\n" + QFile::encodeName(dir) + "/cut");
    const CliResult r = runCli({"cleanup", "--undo", "--lang", "en"});
    QDir::setCurrent(workingFolder);
    EXPECT_TRUE(endedWith(r, 1, "lines 1 and 2: not full paths"));
    EXPECT_TRUE(r.err.contains("line 5: cut short")) << r.err.constData();
    EXPECT_EQ(namesIn(dir), (QStringList{"moved.mp3", "orig.mp3"}));

    // The rename's own undo logs report a cut line the same way.
    writeAll(workFilePath(workfile::UndoOld), QFile::encodeName(dir) + "/back.mp3\r\n" + QFile::encodeName(dir) + "/x");
    writeAll(workFilePath(workfile::UndoNew), QFile::encodeName(dir) + "/orig.mp3\r\n");
    const CliResult undo = runCli({"undo", "--lang", "en", "--yes"});
    EXPECT_TRUE(endedWith(undo, 0, "undo1.kaz, line 2: cut short"));
    EXPECT_EQ(namesIn(dir), (QStringList{"back.mp3", "moved.mp3"}));
}

// The last run's undo is replaced only by a run that renames something: a
// run that renames nothing, and a run killed before its first rename, leave
// it; a run killed after some renames is the one to undo.
TEST_F(CleanupUndo, TheUndoStaysWithTheLastRunThatRenamedSomething)
{
    const QStringList first{putFile(dir, "a_1.mp3"), putFile(dir, "a_2.mp3")};
    const auto before = treeHashes(dir);
    ASSERT_EQ(runCli(cleanupArgs(first)).exitCode, 0);
    const QStringList second{putFile(dir, "b_1.mp3"), putFile(dir, "b_2.mp3"), putFile(dir, "b_3.mp3")};
    const QStringList renamedFirst{dir + "/a 1.mp3", dir + "/a 2.mp3"};

    // Renames nothing: the script leaves the names as they are.
    ASSERT_EQ(runCli(cleanupArgs(renamedFirst, "\"x\"\"y\":")).exitCode, 0);
    // Killed at its first rename, after the batch was logged.
    EXPECT_TRUE(runCliKilledAt(cleanupArgs(second), "rename", 1).killed);
    EXPECT_TRUE(QFile::exists(dir + "/b_1.mp3"));
    EXPECT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
    auto expected = before;
    for (const char *name : {"b_1.mp3", "b_2.mp3", "b_3.mp3"})
        expected.insert(name, contentHash(dir + '/' + name));
    EXPECT_EQ(treeHashes(dir), expected);

    // Killed after two renames: that run is the one undone, the run before stays as it was.
    ASSERT_EQ(runCli(cleanupArgs(first)).exitCode, 0);
    EXPECT_TRUE(runCliKilledAt(cleanupArgs(second), "rename", 3).killed);
    EXPECT_EQ(namesIn(dir), (QStringList{"a 1.mp3", "a 2.mp3", "b 1.mp3", "b 2.mp3", "b_3.mp3"}));
    ASSERT_EQ(runCli(cleanupArgs(renamedFirst, "\"x\"\"y\":")).exitCode, 0);
    EXPECT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
    EXPECT_EQ(namesIn(dir), (QStringList{"a 1.mp3", "a 2.mp3", "b_1.mp3", "b_2.mp3", "b_3.mp3"}));
    EXPECT_FALSE(cleanupLogExists());
}


// Killed before each n-th rename (the batches of logged pairs included):
// the undo always brings back every name.
TEST_F(CleanupUndo, ARunKilledAtEveryStepIsUndoneCompletely)
{
    const KillFixture f(home.music(), 600);
    int midRun = 0;
    const int kills = killAtEveryStep(f.arguments(), "rename", [] {}, [&](int n) {
        const int renamed = f.checkEachFileOnce();
        EXPECT_EQ(renamed, n - 1) << "the kill came before rename " << n;
        midRun += renamed > 0;
        ASSERT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
        ASSERT_EQ(hashesByPath(f.dir), f.original) << "after the kill at rename " << n;
    }, 37);
    EXPECT_GE(kills, 16);
    EXPECT_GT(midRun, 0);
}

// One smoke test at random moments, for what the fault points cannot reach.
TEST_F(CleanupUndo, ARunKilledAtRandomMomentsIsAlwaysUndoneCompletely)
{
    const KillFixture f(home.music(), 3000);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli(f.arguments()).exitCode, 0);
    const qint64 runTime = qMax<qint64>(timer.elapsed(), 20);
    ASSERT_EQ(runCli({"cleanup", "--undo"}).exitCode, 0);
    ASSERT_EQ(hashesByPath(f.dir), f.original);

    const quint32 seed = testSeed();
    QRandomGenerator random(seed);
    for (int round = 0; round < 3; ++round) {
        runCliKilledAfter(f.arguments(), random.bounded(runTime));
        f.checkEachFileOnce();
        ASSERT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
        ASSERT_EQ(hashesByPath(f.dir), f.original) << "round " << round << ", seed " << seed;
    }
}
