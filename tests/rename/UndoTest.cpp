#include "RenameFixtures.h"

#include "platform/RunLock.h"
#include "platform/WorkFiles.h"
#include "rename/Undo.h"
#include "rename/UndoLogWriter.h"
#include "rename/WorkListReader.h"
#include "rename/WorkListWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace kaz;
using namespace kaz::test;

// A test in a temporary home with a run that answers from a script.
class Undo : public HomeTest
{
protected:
    RunFixture fixture;
};

namespace {

void writeLog(const char *name, const QStringList &lines)
{
    WorkListWriter writer(workFilePath(name));
    for (const QString &line : lines)
        writer.append(line);
    writer.close();
}

} // namespace

TEST_F(Undo, RestoresChainsOfNamesInReverse)
{
    // The first file moves away from a name that the second file then takes.
    const QString first = putTagged(dir, "Abba - Waterloo.mp3", values("SOS", "Abba"));
    const QString second = putTagged(dir, "x.mp3", values("Waterloo", "Abba"));
    const auto before = treeHashes(dir);

    fixture.run(artistTitle(), dir + '/', {first, second});
    EXPECT_EQ(namesIn(dir), QStringList({"Abba - SOS.mp3", "Abba - Waterloo.mp3"}));
    const UndoOutcome outcome = undoLastRun(fixture.state, &fixture.prompter, Language::English);
    EXPECT_EQ(outcome.restored, 2);
    EXPECT_TRUE(outcome.failures.isEmpty());
    EXPECT_EQ(treeHashes(dir), before);
    EXPECT_TRUE(fixture.prompter.shown.isEmpty()); // same session: no question
    EXPECT_FALSE(undoInformationExists());
    EXPECT_TRUE(undoLastRun(fixture.state, &fixture.prompter, Language::English).noInformation);
}

// Folders the run emptied go; the user's folders, and those the undo did not
// empty, stay.
TEST_F(Undo, RemovesOnlyFoldersTheRunEmptied)
{
    // Logs as a run that moved files into artist and album folders leaves them.
    const QString oldA = dir + "/x.mp3", oldB = dir + "/y.mp3";
    const QString newA = dir + "/Abba/Arrival/x.mp3", newB = dir + "/Abba/Waterloo/y.mp3";
    putTagged(dir + "/Abba/Arrival", "x.mp3", values("1", "Abba"));
    putTagged(dir + "/Abba/Waterloo", "y.mp3", values("2", "Abba"));
    putTagged(dir + "/Kept", "z.mp3", values("3", "Other"));
    putTagged(dir + "/Abba/Waterloo", "stays.mp3", values("4", "Abba"));
    writeLog(workfile::UndoOld, {oldA, oldB});
    writeLog(workfile::UndoNew, {newA, newB});
    fixture.state.filesTouched = true;
    UndoOutcome outcome = undoLastRun(fixture.state, nullptr, Language::English);
    EXPECT_EQ(QList<qint64>({outcome.restored, outcome.foldersRemoved}), QList<qint64>({2, 1}));
    EXPECT_TRUE(QFile::exists(oldA));
    EXPECT_TRUE(QFile::exists(oldB));
    EXPECT_FALSE(QFile::exists(dir + "/Abba/Arrival"));
    EXPECT_TRUE(QFile::exists(dir + "/Abba/Waterloo/stays.mp3"));
    EXPECT_TRUE(QFile::exists(dir + "/Kept/z.mp3"));

    const QString inbox = dir + "/lib/Inbox";
    const QString a = putTagged(inbox, "a.mp3", values("One", "Abba"));
    QDir().mkpath(dir + "/lib/Empty");
    fixture.run(artistTitle(), inbox + '/', {a});
    // The user takes the renamed file elsewhere: the restore fails.
    QFile::rename(inbox + "/Abba - One.mp3", home.path() + "/elsewhere.mp3");
    outcome = undoLastRun(fixture.state, nullptr, Language::English);
    EXPECT_EQ(outcome.foldersRemoved, 0);
    EXPECT_TRUE(QFileInfo::exists(inbox));
    EXPECT_TRUE(QFileInfo::exists(dir + "/lib/Empty"));
}

TEST_F(Undo, LogsOfAnInterruptedRunAreSafe)
{
    const QString renamed = putTagged(dir, "new.mp3", values("1", "a"));
    const QString notYet = putTagged(dir, "still.mp3", values("2", "a"));
    const QString stranger = putTagged(dir, "taken.mp3", values("3", "a"));
    const QByteArray strangerHash = contentHash(stranger);
    // Line 1 was renamed; line 2 was logged but the run died before its
    // rename; line 3's old line lacks its partner and its line end.
    writeLog(workfile::UndoOld, {dir + "/old.mp3", notYet});
    writeLog(workfile::UndoNew, {renamed, dir + "/planned.mp3"});
    ASSERT_TRUE(writeAll(workFilePath(workfile::UndoOld),
                         readAll(workFilePath(workfile::UndoOld)) + (dir + "/half").toUtf8()));

    RunState state;
    state.filesTouched = true;
    const UndoOutcome outcome = undoLastRun(state, nullptr, Language::English);
    EXPECT_EQ(QList<qint64>({outcome.restored, outcome.alreadyThere}), QList<qint64>({1, 1}));
    EXPECT_TRUE(QFile::exists(dir + "/old.mp3"));
    EXPECT_TRUE(QFile::exists(notYet));
    EXPECT_EQ(contentHash(stranger), strangerHash);
    EXPECT_FALSE(undoInformationExists());
}

// Two files of one batch logged with the same new name, then a kill: only
// one got the name. Either way round, every name comes back and the undo
// succeeds; a stranger at an old name still keeps its line.
TEST_F(Undo, TwoLinesWithOneNewNameBothComeBack)
{
    for (const bool firstGotIt : {true, false}) {
        SCOPED_TRACE(firstGotIt);
        QDir(dir).removeRecursively();
        const QString a = dir + "/a.mp3", b = dir + "/b.mp3", taken = dir + "/Abba - One.mp3";
        putTagged(dir, "Abba - One.mp3", values("One", "Abba"));
        putTagged(dir, firstGotIt ? "b.mp3" : "a.mp3", values("One", "Abba", "Other"));
        const auto stays = contentHash(firstGotIt ? b : a);
        writeLog(workfile::UndoOld, {a, b});
        writeLog(workfile::UndoNew, {taken, taken});

        RunState state;
        state.filesTouched = true;
        const UndoOutcome outcome = undoLastRun(state, nullptr, Language::English);
        EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join(' ').toStdString();
        EXPECT_EQ(QList<qint64>({outcome.restored, outcome.alreadyThere}), QList<qint64>({1, 1}));
        EXPECT_EQ(namesIn(dir), QStringList({"a.mp3", "b.mp3"}));
        EXPECT_EQ(contentHash(firstGotIt ? b : a), stays);
        EXPECT_FALSE(undoInformationExists());
    }

    // Another file at an old name: that line stays for a later undo.
    QDir(dir).removeRecursively();
    putTagged(dir, "Abba - One.mp3", values("One", "Abba"));
    putTagged(dir, "a.mp3", values("Stranger", "Abba"));
    putTagged(dir, "b.mp3", values("Two", "Abba"));
    writeLog(workfile::UndoOld, {dir + "/a.mp3", dir + "/b.mp3"});
    writeLog(workfile::UndoNew, {dir + "/Abba - One.mp3", dir + "/Abba - One.mp3"});
    RunState state;
    state.filesTouched = true;
    const UndoOutcome outcome = undoLastRun(state, nullptr, Language::English);
    EXPECT_EQ(outcome.failures.size(), 2);
    EXPECT_TRUE(QFile::exists(dir + "/Abba - One.mp3"));
}

TEST_F(Undo, ARunThatRenamesNothingKeepsTheWayBack)
{
    const QString a = putTagged(dir, "a.mp3", values("One", "Abba"));
    const auto before = treeHashes(dir);
    ASSERT_EQ(fixture.run(artistTitle(), dir + '/', {a}).renamed, 1);
    EXPECT_EQ(fixture.run(artistTitle(), dir + '/', {dir + "/Abba - One.mp3"}).renamed, 0);
    const QString missing = dir + "/gone.mp3"; // a rename that fails
    EXPECT_EQ(fixture.run(artistTitle(), dir + '/', {missing}).renamed, 0);
    EXPECT_EQ(undoLastRun(fixture.state, nullptr, Language::English).restored, 1);
    EXPECT_EQ(treeHashes(dir), before);
}

TEST_F(Undo, OnlyTheRenamedFileCountsAsRestored)
{
    // Something placed at the old path (a link, another file) or at the new
    // path (a folder, a link) is never taken for the renamed file.
    struct Case { const char *name; std::function<void(const QString &oldPath, const QString &newPath)> meddle; };
    const QList<Case> cases{
        {"link at old path", [](const QString &o, const QString &n) { QFile::link(n, o); }},
        {"file at old path", [](const QString &o, const QString &) { writeAll(o, "stranger"); }},
        {"folder at new path",
         [](const QString &, const QString &n) {
             QFile::rename(n, n + ".away");
             QDir().mkpath(n + "/inside");
         }},
        {"link at new path",
         [](const QString &, const QString &n) {
             QFile::rename(n, n + ".away");
             QFile::link(n + ".away", n);
         }},
    };
    for (const Case &c : cases) {
        TempHome home;
        const QString dir = home.music();
        const QString oldPath = putTagged(dir, "a.mp3", values("One", "Abba"));
        const QString newPath = dir + "/Abba - One.mp3";
        RunFixture fixture;
        fixture.run(artistTitle(), dir + '/', {oldPath});
        c.meddle(oldPath, newPath);
        const QStringList names = namesIn(dir);
        const UndoOutcome outcome = undoLastRun(fixture.state, nullptr, Language::English);
        EXPECT_EQ(outcome.restored + outcome.alreadyThere, 0) << c.name;
        EXPECT_EQ(outcome.failures.size(), 1) << c.name;
        EXPECT_EQ(outcome.keptLines, 1) << c.name;
        EXPECT_EQ(namesIn(dir), names) << c.name;
        EXPECT_TRUE(undoInformationExists()) << c.name;
    }
}

// Continuing the undo logs of a run that was stopped between the two lines of a pair.
TEST_F(Undo, ContinuedLogsCutBackToThePairsBothLogsHold)
{
    writeAll(workFilePath(workfile::UndoOld), "/a/1\r\n/a/2\r\n/a/3\r\n/a/4");
    writeAll(workFilePath(workfile::UndoNew), "/b/1\r\n/b/2\r\n");
    {
        UndoLogWriter log(true);
        EXPECT_TRUE(log.record("/a/5", "/b/5"));
        EXPECT_EQ(log.count(), 3);
    }
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::UndoOld)), (QStringList{"/a/1", "/a/2", "/a/5"}));
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::UndoNew)), (QStringList{"/b/1", "/b/2", "/b/5"}));
    // A new run starts the logs anew with its first pair.
    {
        UndoLogWriter fresh;
        EXPECT_TRUE(fresh.record("/a/6", "/b/6"));
        EXPECT_EQ(fresh.count(), 1);
    }
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::UndoOld)), QStringList{"/a/6"});
}

// While another run holds the lock, undo and the command line's rename find
// out and change nothing.
TEST_F(Undo, ABusyRunChangesNothingAndSaysSo)
{
    const QString file = putTagged(dir, "x.mp3", values("Song", "Band"));
    fixture.run(artistTitle(), dir + '/', {file});
    ASSERT_EQ(namesIn(dir), QStringList{"Band - Song.mp3"});
    {
        const RunLock other; // as if the window were renaming right now
        ASSERT_TRUE(other.acquired());
        EXPECT_TRUE(endedWith(runCli({"undo", "--yes", "--lang", "en"}), 1, "Another KAZ run"));
        EXPECT_EQ(runCli({"rename", "--lang", "en", dir + "/Band - Song.mp3", "--fields", "title,none,none"}).exitCode, 1);
        EXPECT_EQ(namesIn(dir), QStringList{"Band - Song.mp3"});
        EXPECT_TRUE(undoInformationExists()); // the last run's undo information is kept
    }
    // Free again: undo goes through.
    EXPECT_EQ(runCli({"undo", "--yes"}).exitCode, 0);
    EXPECT_EQ(namesIn(dir), QStringList{"x.mp3"});
}
