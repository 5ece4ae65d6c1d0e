#include "browser/FileListing.h"
#include "browser/ListingJob.h"
#include "browser/FolderCommands.h"
#include "platform/WorkFiles.h"
#include "rename/Undo.h"
#include "browser/FolderRecovery.h"

#include "platform/Paths.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>


using namespace kaz;
using namespace kaz::test;

using FileListing = HomeTest;
using FolderCommands = HomeTest;

namespace {

void touch(const QString &path, const QByteArray &bytes = "x")
{
    ASSERT_TRUE(writeAll(path, bytes));
}

} // namespace

TEST_F(FileListing, MasksAndTagFilter)
{
    touch(dir + "/b tagged.mp3", mp3WithTag(values("Song", "Band")));
    touch(dir + "/a plain.MP3", mp3Frames(3));
    touch(dir + "/cover.jpg");
    touch(dir + "/README");
    touch(dir + "/mix.xmp3");
    touch(dir + "/.hidden.mp3", mp3Frames(3));
    QDir(dir).mkdir("sub.mp3");

    EXPECT_EQ(listFolderFiles(dir, MaskState::Mp3, TagFilter::All), QStringList({"a plain.MP3", "b tagged.mp3"}));
    EXPECT_EQ(listFolderFiles(dir, MaskState::Mp3, TagFilter::Tagged), QStringList({"b tagged.mp3"}));
    EXPECT_EQ(listFolderFiles(dir, MaskState::Mp3, TagFilter::Untagged), QStringList({"a plain.MP3"}));
    // "inv (*.mp3)" drops every name ending in MP3, with or without a dot.
    EXPECT_EQ(listFolderFiles(dir, MaskState::NotMp3, TagFilter::Tagged), QStringList({"cover.jpg", "README"}));
    EXPECT_EQ(listFolderFiles(dir, MaskState::All, TagFilter::Untagged).size(), 5);
}

TEST_F(FileListing, FilterReportsProgressOverEveryFile)
{
    for (int i = 0; i < 5; ++i)
        touch(home.music() + QStringLiteral("/%1.mp3").arg(i), mp3Frames(2));
    QList<qint64> positions;
    int pumps = 0;
    RunHooks hooks;
    hooks.progress = [&](qint64 pos, qint64 total) {
        EXPECT_EQ(total, 5);
        positions << pos;
    };
    hooks.processEvents = [&] { ++pumps; };
    EXPECT_EQ(listFolderFiles(home.music(), MaskState::Mp3, TagFilter::Untagged, hooks).size(), 5);
    EXPECT_EQ(positions, QList<qint64>({1, 2, 3, 4, 5, 0}));
    EXPECT_EQ(pumps, 5);
}

namespace {

// Everything a listing job finds, once it is finished.
QStringList allFound(ListingJob &job)
{
    while (!job.finished())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return job.takeFound();
}

} // namespace

TEST_F(FileListing, JobOnItsThreadListsAsTheFolderListingDoes)
{
    for (int i = 0; i < 300; ++i)
        touch(dir + QStringLiteral("/%1 %2.mp3").arg(i % 2 ? "b" : "A").arg(i, 3, 10, QLatin1Char('0')),
              i % 3 ? mp3Frames(1) : mp3WithTag(values("Song", "Band")));
    touch(dir + "/cover.jpg");
    for (MaskState mask : {MaskState::Mp3, MaskState::NotMp3, MaskState::All})
        for (TagFilter filter : {TagFilter::All, TagFilter::Tagged, TagFilter::Untagged})
            for (bool sorted : {false, true}) {
                QStringList expected = listFolderFiles(dir, mask, filter);
                if (sorted)
                    letterSort(expected);
                ListingJob job({dir, mask, filter, false, sorted});
                EXPECT_EQ(allFound(job), expected) << int(mask) << int(filter) << sorted;
                EXPECT_EQ(job.position(), job.total());
            }
}

TEST_F(FileListing, CancelledJobEndsWithTheStartOfTheList)
{
    for (int i = 0; i < 2000; ++i)
        touch(dir + QStringLiteral("/%1.mp3").arg(i, 4, 10, QLatin1Char('0')), mp3WithTag(values("Song", "Band")));
    const QStringList all = listFolderFiles(dir, MaskState::Mp3, TagFilter::Tagged);
    ListingJob job({dir, MaskState::Mp3, TagFilter::Tagged});
    QStringList found = job.takeFound();
    job.cancel();
    found += allFound(job);
    EXPECT_TRUE(job.cancelled());
    EXPECT_EQ(found, all.mid(0, found.size()));
    EXPECT_LE(job.position(), 2000);
}

TEST_F(FileListing, LetterSortKeysAndOrder)
{
    struct Case { const char *name; const char *key; } cases[] = {{"01 - Zebra.mp3", "Zebra.mp3"}, {"(Live) Apple.mp3", "Live) Apple.mp3"}, {"123.mp3", "mp3"},
                 {"...", ""}, {"Äpfel.mp3", "pfel.mp3"}, {"  b.mp3", "b.mp3"}};
    for (const Case &c : cases)
        EXPECT_EQ(letterSortKey(QString::fromUtf8(c.name)), QString::fromUtf8(c.key)) << c.name;

    QStringList names{"01 - Zebra.mp3", "[Intro] Apple.mp3", "b song.mp3", "G song.mp3", "07 b song.mp3", "!!!"};
    letterSort(names);
    // Keys compare byte by byte: upper case before lower case, equal keys keep their order,
    // a name without letters (empty key) first.
    EXPECT_EQ(names, QStringList({"!!!", "G song.mp3", "[Intro] Apple.mp3", "01 - Zebra.mp3", "b song.mp3",
                                  "07 b song.mp3"}));
}

TEST(FolderRecovery, FindsRenamedFolderOrGoesOneLevelBack)
{
    TempHome home;
    const QString music = home.music();
    QDir(music).mkpath("Rock");
    QDir(music).mkpath("Jazz");

    EXPECT_EQ(parentFolder("/a/b/c/"), "/a/b/");
    EXPECT_EQ(parentFolder("/"), "/");

    // Unchanged folder: opened as it is, lists removed.
    writeSiblingList(music + "/Rock");
    EXPECT_EQ(readAll(programFolder() + "/DIR.KAZ"), QByteArray("Jazz\r\nRock\r\n"));
    FolderRecovery same = recoverFolder(music + "/Rock");
    EXPECT_FALSE(same.vanished);
    EXPECT_EQ(same.folder, music + "/Rock");
    EXPECT_FALSE(QFile::exists(programFolder() + "/DIR.KAZ"));

    // Renamed while in the background: the only new sibling is taken.
    writeSiblingList(music + "/Rock");
    ASSERT_TRUE(QDir(music).rename("Rock", "Rock & Roll"));
    FolderRecovery renamed = recoverFolder(music + "/Rock");
    EXPECT_TRUE(renamed.renamed);
    EXPECT_EQ(renamed.folder, music + "/Rock & Roll");
    EXPECT_FALSE(QFile::exists(programFolder() + "/DIR2.KAZ"));

    // Two new siblings (no guess, one level back, the missing folder named) is
    // the window's test, with its message; several levels gone: the nearest parent.
    const FolderRecovery back = recoverFolder(music + "/gone/deeper/still");
    EXPECT_TRUE(back.vanished);
    EXPECT_EQ(back.folder, music);
    EXPECT_EQ(back.missing, music + "/gone/deeper/still");
}

TEST_F(FolderCommands, NameChecksRenameAndDelete)
{
    const QString music = home.music();
    QDir(music).mkpath("Old/inner");
    QDir(music).mkpath("Other");

    for (const char *bad : {"", ".", "..", "a/b", "Other"})
        EXPECT_FALSE(isUsableFolderName(music, QString::fromUtf8(bad), "Old")) << bad;
    EXPECT_FALSE(isUsableFolderName(music, QString(300, 'x'), "Old"));
    EXPECT_TRUE(isUsableFolderName(music, "OLD", "Old"));
    EXPECT_TRUE(isUsableFolderName(music, "New name", "Old"));

    // Never onto an existing folder; a refused rename keeps the undo logs of
    // the last run, a done one drops them (their paths went stale).
    const QString undoOld = workFilePath(workfile::UndoOld);
    const QString undoNew = workFilePath(workfile::UndoNew);
    ASSERT_TRUE(writeAll(undoOld, music.toUtf8() + "/Old/a.mp3\r\n"));
    ASSERT_TRUE(writeAll(undoNew, music.toUtf8() + "/Old/b.mp3\r\n"));
    EXPECT_FALSE(renameFolder(music + "/Old", music + "/Other"));
    EXPECT_TRUE(undoInformationExists());
    EXPECT_TRUE(renameFolder(music + "/Old", music + "/New"));
    EXPECT_TRUE(QDir(music + "/New/inner").exists());
    EXPECT_FALSE(undoInformationExists());

    // A tree holding a file stays whole; an empty tree goes.
    touch(music + "/New/inner/song.mp3");
    EXPECT_FALSE(deleteEmptyFolderTree(music + "/New"));
    EXPECT_TRUE(QFile::exists(music + "/New/inner/song.mp3"));
    QFile::remove(music + "/New/inner/song.mp3");
    EXPECT_TRUE(deleteEmptyFolderTree(music + "/New"));
    EXPECT_FALSE(QDir(music + "/New").exists());
}
