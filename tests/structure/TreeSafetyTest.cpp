// Whole trees moved safely: a sorted tree with covers reorganised into
// itself, links and pipes never followed, opened or left behind, folders the
// runs make removed by the undo, and runs and undos killed at every step.
#include "StructureFixtures.h"

#include "support/KillAtStep.h"

#include "platform/WorkFiles.h"
#include "rename/Undo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// Every entry below dir by relative path: a link with its target, a folder,
// a file with its content hash, or a pipe. Links are listed, not followed.
QMap<QString, QByteArray> snapshot(const QString &dir)
{
    QMap<QString, QByteArray> entries;
    QDirIterator it(dir, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries.insert(info.filePath().mid(dir.size() + 1),
                       info.isSymLink() ? "link " + QFile::encodeName(info.symLinkTarget())
                       : info.isDir()   ? QByteArray("folder")
                       : info.isFile()  ? contentHash(info.filePath())
                                        : QByteArray("pipe"));
    }
    return entries;
}

void makePipe(const QString &path)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

void makeLink(const QString &target, const QString &path)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

// A collection below a temporary home: the base folder and, beside it, a
// folder that no run may touch (links point into it).
class Tree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        base = home.music() + "/base";
        outside = home.music() + "/outside";
        QDir().mkpath(base);
        putFile(outside, "secret.jpg", "22 bytes outside data");
        putFile(outside + "/shelf", "keep.txt", "kept");
        fixture.settings.artistRepeatings = 2;
    }

    // Sorted as a build with the test settings leaves it, the same song
    // name in two albums, with covers and notes.
    void sortedTree()
    {
        const QString x = base + "/Album/A/X", y = base + "/Album/B/Y";
        for (const char *name : {"01 Intro.mp3", "02 Song.mp3", "03 Song.mp3"})
            putSong(x, name, "A", "X");
        putFile(x, "cover.jpg", "jpeg of X");
        putFile(x, "notes.txt", "notes of X");
        putSong(y, "01 Intro.mp3", "B", "Y");
        putSong(y, "02 Other.mp3", "B", "Y");
        putFile(y, "cover.jpg", "jpeg of Y");
        putSong(base + "/Various", "loose C.mp3", "C", "Z");
        putSong(base + "/Various", "loose D.mp3", "D", "W");
    }

    // Links to a file and a folder outside, and a pipe, in album folders.
    void linksAndPipe()
    {
        makeLink(outside + "/secret.jpg", base + "/Album/A/X/secret.jpg");
        makeLink(outside + "/shelf", base + "/Album/B/Y/shelf");
        makePipe(base + "/Album/B/Y/pipe");
    }

    // The songs of sortedTree() all in the base folder, with a link and a pipe.
    void flatTree()
    {
        for (const char *name : {"a1.mp3", "a2.mp3", "a3.mp3"})
            putSong(base, name, "A", "X");
        for (const char *name : {"b1.mp3", "b2.mp3"})
            putSong(base, name, "B", "Y");
        putSong(base, "loose.mp3", "C", "Z");
        makeLink(outside + "/secret.jpg", base + "/linked.mp3");
        makePipe(base + "/pipe.mp3");
    }

    void configureCli()
    {
        ASSERT_EQ(runCli({"config", "set", "ArtistRepeatings", "2"}).exitCode, 0);
        ASSERT_EQ(runCli({"config", "set", "VariousDir", "Various"}).exitCode, 0);
    }

    void expectOutsideUntouched() const { EXPECT_EQ(snapshot(outside), outsideBefore); }

    TempHome home;
    QString base, outside;
    StructureFixture fixture;
    QMap<QString, QByteArray> outsideBefore;
};

} // namespace

TEST_F(Tree, ASortedTreeReorganisedBySameSettingsComesBackAndNewSettingsMoveTheCovers)
{
    sortedTree();
    const auto sorted = snapshot(base);

    StructureOutcome outcome = fixture.reorganize(base);
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join('\n').toStdString();
    EXPECT_TRUE(outcome.moveComplete);
    EXPECT_EQ(snapshot(base), sorted) << "same names, same bytes, covers and notes restored";
    EXPECT_EQ(undoLastRun(fixture.state, nullptr, Language::English).failures, QStringList());
    EXPECT_EQ(snapshot(base), sorted);

    fixture.settings.createAlbumAndSamplerDirs = false;
    outcome = fixture.reorganize(base);
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join('\n').toStdString();
    EXPECT_EQ(readAll(base + "/A/X/cover.jpg"), "jpeg of X");
    EXPECT_EQ(readAll(base + "/A/X/notes.txt"), "notes of X");
    EXPECT_EQ(readAll(base + "/B/Y/cover.jpg"), "jpeg of Y");
    EXPECT_TRUE(QFile::exists(base + "/A/X/01 Intro.mp3"));
    EXPECT_TRUE(QFile::exists(base + "/B/Y/01 Intro.mp3")) << "the name the break numbered comes back";
    EXPECT_FALSE(QFileInfo::exists(base + "/Album"));

    const UndoOutcome undo = undoLastRun(fixture.state, nullptr, Language::English);
    EXPECT_TRUE(undo.failures.isEmpty()) << undo.failures.join('\n').toStdString();
    EXPECT_EQ(snapshot(base), sorted) << "the undo removes the folders the run made";
}

TEST_F(Tree, LinksAndPipesStayWhereTheyAreAndNothingOutsideIsTouched)
{
    sortedTree();
    linksAndPipe();
    outsideBefore = snapshot(outside);
    const auto before = snapshot(base);
    configureCli();

    // Reorganise: the songs and covers move out and back; the link, the
    // folder link and the pipe keep their folders, which the run reports.
    CliResult r = runCli({"structure", "reorganize", "--yes", "--lang", "en", base});
    EXPECT_TRUE(endedWith(r, 1, "wasn´t able to move all"));
    EXPECT_EQ(snapshot(base), before);
    expectOutsideUntouched();
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);
    EXPECT_EQ(snapshot(base), before);

    // Full break: every regular file comes up, links and the pipe stay.
    EXPECT_EQ(runCli({"structure", "break", "--full", "--yes", base}).exitCode, 1);
    EXPECT_EQ(readAll(base + "/cover.jpg"), "jpeg of X");
    EXPECT_TRUE(QFileInfo(base + "/Album/A/X/secret.jpg").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(base + "/Album/B/Y/pipe"));
    expectOutsideUntouched();
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_EQ(snapshot(base), before);
}

// Neither the build nor its undo goes through a link put in their way.
TEST_F(Tree, ABuildAndItsUndoNeverGoThroughALinkedFolder)
{
    flatTree();
    makeLink(outside + "/shelf", base + "/Album");
    outsideBefore = snapshot(outside);
    const auto before = snapshot(base);
    configureCli();

    EXPECT_TRUE(endedWith(runCli({"structure", "build", base}), 1, "symbolic link"));
    EXPECT_TRUE(QFile::exists(base + "/a1.mp3")) << "songs for the album folders stay";
    EXPECT_TRUE(QFile::exists(base + "/Various/loose.mp3"));
    expectOutsideUntouched();
    EXPECT_EQ(runCli({"undo", "--yes"}).exitCode, 0);
    EXPECT_EQ(snapshot(base), before) << "Various, made by the run, is gone again";

    ASSERT_TRUE(QFile::remove(base + "/Album"));
    ASSERT_EQ(runCli({"structure", "build", base}).exitCode, 0);
    ASSERT_TRUE(QFile::exists(base + "/Album/B/Y/b1.mp3"));
    // A folder the undo would go through is carried outside, a link in its place.
    ASSERT_TRUE(QDir().rename(base + "/Album/B", outside + "/B"));
    makeLink(outside + "/B", base + "/Album/B");
    outsideBefore = snapshot(outside);
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 1, "symbolic link"));
    EXPECT_TRUE(QFile::exists(base + "/a1.mp3"));
    expectOutsideUntouched();
}

// A folder the run made and checked, swapped for a link to a folder outside
// while the run goes on: the moves into it are refused, none goes through.
TEST_F(Tree, AFolderSwappedForALinkDuringTheRunIsNotGoneThrough)
{
    flatTree();
    QString swapped;
    fixture.hooks.processEvents = [&] {
        for (const QString &album : QStringList{base + "/Album/A/X", base + "/Album/B/Y"}) {
            if (!swapped.isEmpty() || !QFileInfo(album).isDir() || QFileInfo(album).isSymLink())
                continue;
            ASSERT_TRUE(QDir().rename(album, outside + "/carried"));
            makeLink(outside + "/carried", album);
            swapped = album;
        }
    };
    const StructureOutcome outcome = fixture.build(base);
    ASSERT_FALSE(swapped.isEmpty()) << "the run made no album folder";
    EXPECT_TRUE(outcome.failures.join('\n').contains("symbolic link")) << outcome.failures.join('\n').toStdString();
    EXPECT_EQ(QDir(outside + "/carried").entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList())
        << "a move went through the link";
    const QString first = swapped.endsWith("/X") ? "a1.mp3" : "b1.mp3";
    EXPECT_TRUE(QFile::exists(base + '/' + first)) << "a song for the swapped folder stays where it was";
    EXPECT_TRUE(QFile::exists(base + "/Various/loose.mp3")) << "the other moves are made";
}

// Kills each run at every step (every move, folder made or removed, picture
// block written or cut), undoes it, and checks the tree as it was.
TEST_F(Tree, RunsKilledAtEveryStepAreUndoneCompletely)
{
    struct Case { const char *name; QStringList arguments; bool sorted; };
    configureCli();
    const QList<Case> cases{
        {"build", {"structure", "build", base}, false},
        {"break", {"structure", "break", "--yes", base}, true},
        {"full break", {"structure", "break", "--full", "--yes", base}, true},
        {"reorganize", {"structure", "reorganize", "--yes", base}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(QDir(base).removeRecursively());
        QDir().mkpath(base);
        if (c.sorted) {
            sortedTree();
            linksAndPipe();
        } else {
            flatTree();
        }
        outsideBefore = snapshot(outside);
        const auto before = snapshot(base);
        const int kills = killAtEveryStep(c.arguments, "*", [] {}, [&](int n) {
            const CliResult undo = runCli({"undo", "--yes"});
            ASSERT_EQ(undo.exitCode, 0) << "killed at step " << n << ": " << undo.err.constData();
            ASSERT_EQ(snapshot(base), before) << "killed at step " << n;
            ASSERT_EQ(snapshot(outside), outsideBefore) << "killed at step " << n;
        });
        EXPECT_GT(kills, 5);
        ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);
        ASSERT_EQ(snapshot(base), before);
        EXPECT_FALSE(QFileInfo::exists(workFilePath(workfile::UndoNew)));
    }
}

// An undo killed at every step is finished by the next one, also where a
// file moved out and back into the same folder and a cover was disguised
// and restored under its own name.
TEST_F(Tree, AnUndoKilledAtEveryStepIsFinishedByTheNext)
{
    sortedTree();
    linksAndPipe();
    outsideBefore = snapshot(outside);
    const auto before = snapshot(base);
    configureCli();
    fixture.settings.createAlbumAndSamplerDirs = false; // the reorganisation moves everything
    ASSERT_EQ(runCli({"config", "set", "useful1", "false"}).exitCode, 0);
    const int kills = killAtEveryStep(
        {"undo", "--yes"}, "*", [&] { runCli({"structure", "reorganize", "--yes", base}); },
        [&](int n) {
            const CliResult undo = runCli({"undo", "--yes"});
            ASSERT_EQ(undo.exitCode, 0) << "undo killed at step " << n << ": " << undo.err.constData();
            ASSERT_EQ(snapshot(base), before) << "undo killed at step " << n;
            ASSERT_EQ(snapshot(outside), outsideBefore);
        });
    EXPECT_GT(kills, 10);
    EXPECT_EQ(snapshot(base), before);
}
