// Build, break and reorganise on real files, each undone completely.
#include "StructureFixtures.h"
#include "support/gui/RecordingPlayer.h"

#include "platform/Messages.h"
#include "platform/RunLock.h"
#include "platform/WorkFiles.h"
#include "rename/RenameRun.h"
#include "rename/Undo.h"
#include "rename/WorkListReader.h"
#include "tags/PictureBlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <functional>

using namespace kaz;
using namespace kaz::test;

// A test in a temporary home with a run that answers from a script.
class StructureTest : public HomeTest
{
protected:
    StructureFixture f;
};

using StructureBreak = StructureTest;
using StructureBuild = StructureTest;
using StructureReorganize = StructureTest;

namespace {

void expectUndoRestores(StructureFixture &f, const QString &dir, const QMap<QString, QByteArray> &before)
{
    const QStringList oldPaths = WorkListReader::readAll(workFilePath(workfile::UndoOld));
    const QStringList newPaths = WorkListReader::readAll(workFilePath(workfile::UndoNew));
    EXPECT_EQ(oldPaths.size(), newPaths.size());
    const UndoOutcome undone = undoLastRun(f.state, &f.prompter, Language::English);
    EXPECT_TRUE(undone.failures.isEmpty()) << undone.failures.join('\n').toStdString();
    EXPECT_EQ(hashesByPath(dir), before);
}

} // namespace

// Folder names from tags are made safe, a name with a line break stays, and
// a playing player is stopped first.
TEST_F(StructureBuild, SortsByTagsAndUndoes)
{
    eightSongs(dir);
    eightSongs(dir, "..", ".hidden", "d");
    putSong(dir, "bad\nname.mp3", "..", ".hidden");
    for (int i = 0; i < 8; ++i)
        putSong(dir, QStringLiteral("s%1.mp3").arg(i), QStringLiteral("Artist %1").arg(i), "Hits");
    for (int i = 0; i < 4; ++i)
        putSong(dir, QStringLiteral("b%1.mp3").arg(i), "B", QStringLiteral("Single %1").arg(i));
    putSong(dir, "loose.mp3", "C", "One");
    putSong(dir, "nothing.mp3", "", "");
    putFile(dir, "untagged.mp3", mp3Frames(3));
    putFile(dir, "notes.txt", "text");
    const auto before = hashesByPath(dir);
    RecordingPlayer player;
    player.playing = true;
    f.player = &player;

    const StructureOutcome outcome = f.build(dir);
    EXPECT_TRUE(outcome.failures.isEmpty());
    EXPECT_EQ(outcome.moved.size(), 29u);
    for (const char *file : {"Album/A/X/x0.mp3", "Sampler/Hits/s7.mp3", "Album/B/Various/b3.mp3", "Various/loose.mp3",
                             "nothing.mp3", "untagged.mp3", "notes.txt", "Album/__/_hidden/d0.mp3", "bad\nname.mp3"})
        EXPECT_TRUE(treeHashes(dir).contains(file)) << file;
    EXPECT_EQ(outcome.lineBreakPaths, QStringList{dir + "/bad\nname.mp3"});
    EXPECT_EQ(player.calls, QStringList({"stop", "clear"}));
    EXPECT_EQ(f.prompter.shown, QStringList{message(Msg::WinampStopped, Language::English)});
    EXPECT_TRUE(f.state.filesTouched);
    expectUndoRestores(f, dir, before);
    EXPECT_EQ(QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(StructureBuild, PictureFilesGetTheirNamesBackAndSongsWithTheMarkerStaySongs)
{
    eightSongs(dir, "A", "X", "x", "Live CD2");
    const QByteArray cover = "\x89PNG cover bytes";
    const QByteArray block = picture::renderBlock("cover.png", "A", "X", "CD 2");
    putFile(dir, "cover.MP3", cover + block);
    // A song whose comment merely begins with the marker.
    putSong(dir, "tricky.mp3", "A", "X", picture::kMarker + "CD2");
    const QByteArray tricky = readAll(dir + "/tricky.mp3");
    // Picture names that would leave the folder are kept or made safe.
    putFile(dir, "dots.MP3", QByteArray("dots") + picture::renderBlock("..", "A", "X", " "));
    putFile(dir, "escape.MP3", QByteArray("escape") + picture::renderBlock("../../evil.txt", "A", "X", " "));

    const StructureOutcome outcome = f.build(dir);
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join('\n').toStdString();
    EXPECT_EQ(readAll(dir + "/Album/A/X/CD 2/cover.png"), cover);
    EXPECT_EQ(readAll(dir + "/Album/A/X/CD 2/tricky.mp3"), tricky);
    EXPECT_EQ(outcome.unsafePictureNames, QStringList{dir + "/dots.MP3"});
    EXPECT_TRUE(QFile::exists(dir + "/Album/A/X/dots.MP3"));
    EXPECT_EQ(readAll(dir + "/Album/A/X/.._.._evil.txt"), "escape");
    EXPECT_FALSE(QFile::exists(home.path() + "/evil.txt"));
}

// Many albums, so that the moves span batches and more folders than the run
// keeps open; one target in the middle is taken.
TEST_F(StructureBuild, AFailedMoveLeavesTheFileAndTheLogsTrue)
{
    const int albums = 90;
    for (int i = 0; i < albums; ++i)
        eightSongs(dir, QStringLiteral("A%1").arg(i), "X", QStringLiteral("a%1_").arg(i));
    putFile(dir + "/Album/A40/X", "a40_3.mp3", "already here"); // taken: never replaced
    const auto before = hashesByPath(dir);
    const StructureOutcome outcome = f.build(dir);
    ASSERT_EQ(outcome.failures.size(), 1) << outcome.failures.join('\n').toStdString();
    EXPECT_EQ(outcome.moved.size(), size_t(albums * 8 - 1));
    EXPECT_TRUE(QFile::exists(dir + "/a40_3.mp3"));
    EXPECT_EQ(readAll(dir + "/Album/A40/X/a40_3.mp3"), "already here");
    EXPECT_TRUE(QFile::exists(dir + "/Album/A89/X/a89_7.mp3"));
    // The moves made and the folders made (two per album but the one there).
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::UndoNew)).size(), albums * 8 - 1 + 2 * (albums - 1));
    expectUndoRestores(f, dir, before);
}

TEST_F(StructureBreak, NumberedNamesSafeAndFullMode)
{
    putSong(dir + "/One", "Track01.mp3", "A", "X");
    putSong(dir + "/Two", "Track01.mp3", "B", "Y");
    putSong(dir + "/Two/Deeper", "Track02.mp3", "B", "Y");
    putSong(dir + "/Mixed", "Track03.mp3", "C", "Z");
    putFile(dir + "/Mixed", "cover.jpg", "jpg");
    putSong(dir + "/NoTags", "Track04.mp3", "", "");
    QDir().mkpath(home.path() + "/elsewhere");
    putSong(home.path() + "/elsewhere", "outside.mp3", "D", "W");
    QFile::link(home.path() + "/elsewhere", dir + "/link");
    const auto before = hashesByPath(dir);

    StructureOutcome outcome = f.breakUp(dir, BreakMode::Safe);
    EXPECT_FALSE(outcome.moveComplete);
    EXPECT_EQ(f.prompter.shown, QStringList{message(Msg::NotAllMoved, Language::English)});
    for (const char *file : {"Track01.mp3", "Track01 (2).mp3", "Track02.mp3", "Mixed/Track03.mp3", "Mixed/cover.jpg",
                             "NoTags/Track04.mp3"})
        EXPECT_TRUE(treeHashes(dir).contains(file)) << file;
    EXPECT_FALSE(QFileInfo::exists(dir + "/One"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/Two"));
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/elsewhere/outside.mp3")); // the link is not followed
    expectUndoRestores(f, dir, before);

    StructureFixture full;
    outcome = full.breakUp(dir, BreakMode::Full);
    for (const char *file : {"cover.jpg", "Track04.mp3", "Track03.mp3"})
        EXPECT_TRUE(treeHashes(dir).contains(file)) << file;
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/elsewhere/outside.mp3"));
    expectUndoRestores(full, dir, before);
}

TEST_F(StructureReorganize, EachCoverEndsInItsOwnAlbumByteForByte)
{
    for (int i = 0; i < 8; ++i) {
        putSong(dir + "/old/a", QStringLiteral("a%1.mp3").arg(i), "Abba", "Arrival");
        putSong(dir + "/old/b", QStringLiteral("b%1.mp3").arg(i), "Beatles", "Help");
    }
    putFile(dir + "/old/a", "cover.jpg", "cover of Arrival");
    putFile(dir + "/old/b", "cover.jpg", "cover of Help");
    putFile(dir + "/old/b", "notes.jpeg", "five-letter extension");
    putFile(dir + "/old/b", "An extraordinarily long file name for a picture.png", "long");
    putSong(dir, "base.mp3", "Abba", "Arrival");
    const auto before = hashesByPath(dir);

    const StructureOutcome outcome = f.reorganize(dir);
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join('\n').toStdString();
    EXPECT_TRUE(outcome.moveComplete);
    EXPECT_EQ(readAll(dir + "/Album/Abba/Arrival/cover.jpg"), "cover of Arrival");
    EXPECT_EQ(readAll(dir + "/Album/Beatles/Help/cover.jpg"), "cover of Help");
    EXPECT_EQ(readAll(dir + "/Album/Beatles/Help/notes.jpeg"), "five-letter extension");
    EXPECT_EQ(readAll(dir + "/Album/Beatles/Help/An extraordinarily long file name for a picture.png"), "long");
    EXPECT_TRUE(QFile::exists(dir + "/Album/Abba/Arrival/base.mp3"));
    EXPECT_FALSE(QFileInfo::exists(dir + "/old"));
    expectUndoRestores(f, dir, before);
}

// A build of an empty folder and a break without subfolders move nothing
// and leave the last run's undo.
TEST_F(StructureBreak, NothingToMoveKeepsTheLastUndo)
{
    writeAll(workFilePath(workfile::UndoOld), "/old/path\r\n");
    writeAll(workFilePath(workfile::UndoNew), "/new/path\r\n");
    EXPECT_TRUE(f.build(dir).moved.empty());
    putSong(dir, "a.mp3", "A", "X");
    const StructureOutcome outcome = f.breakUp(dir, BreakMode::Safe);
    EXPECT_TRUE(outcome.moved.empty());
    EXPECT_TRUE(outcome.moveComplete);
    EXPECT_TRUE(f.prompter.shown.isEmpty());
    EXPECT_EQ(readAll(workFilePath(workfile::UndoNew)), "/new/path\r\n");
}

TEST_F(StructureBuild, ARenameRunContinuingTheLogsIsUndoneWithTheBuild)
{
    eightSongs(dir);
    const auto before = hashesByPath(dir);
    const StructureOutcome built = f.build(dir);
    RenameRequest rename;
    for (const MovedFile &m : built.moved)
        rename.selection << m.to;
    rename.startFolder = dir + "/";
    rename.continueUndoLogs = true;
    const RenameOutcome renamed = renaming(rename, RenameEnvironment(), f.state);
    EXPECT_EQ(renamed.renamed, 8);
    EXPECT_TRUE(QFile::exists(dir + "/Album/A/X/A - X - x0.mp3.mp3"));
    // Eight moves, the three folders the build made, eight renames.
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::UndoNew)).size(), 19);
    expectUndoRestores(f, dir, before);
}

// Each run holds the run lock from its start to its end; while another run
// holds it, none moves a file or touches the undo logs, the command line's
// included.
TEST_F(StructureBuild, EachRunHoldsTheRunLockAndABusyOneMovesNothing)
{
    putSong(dir + "/Old", "a.mp3", "A", "X");
    eightSongs(dir);
    writeAll(workFilePath(workfile::UndoNew), "/new/path\r\n");
    const auto before = hashesByPath(dir);
    using Run = std::function<StructureOutcome()>;
    const std::pair<const char *, Run> runs[] = {
        {"build", [&] { return f.build(dir); }},
        {"full break", [&] { return f.breakUp(dir, BreakMode::Full); }},
        {"reorganize", [&] { return f.reorganize(dir); }},
        {"break", [&] { return f.breakUp(dir, BreakMode::Safe); }},
    }; // in this order each has files to move
    {
        const RunLock other; // as if the window were running
        ASSERT_TRUE(other.acquired());
        for (const auto &[name, run] : runs) {
            const StructureOutcome outcome = run();
            EXPECT_TRUE(outcome.busy) << name;
            EXPECT_TRUE(outcome.moved.empty()) << name;
        }
        EXPECT_TRUE(endedWith(runCli({"structure", "build", "--lang", "en", dir}), 1, "Another KAZ run"));
        EXPECT_EQ(hashesByPath(dir), before);
        EXPECT_EQ(readAll(workFilePath(workfile::UndoNew)), "/new/path\r\n");
    }
    for (const auto &[name, run] : runs) {
        int looks = 0, free = 0;
        f.hooks.processEvents = [&] {
            ++looks;
            free += RunLock().acquired() ? 1 : 0;
        };
        const StructureOutcome outcome = run();
        EXPECT_FALSE(outcome.busy) << name;
        EXPECT_FALSE(outcome.moved.empty()) << name;
        EXPECT_GT(looks, 0) << name;
        EXPECT_EQ(free, 0) << name << ": the lock was free in the middle of the run";
        EXPECT_TRUE(RunLock().acquired()) << name << ": the lock is let go at the end";
    }
}
