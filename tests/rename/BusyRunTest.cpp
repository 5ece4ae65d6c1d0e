// While another run holds the lock, undo and the command line's rename find
// out and change nothing.
#include "RenameFixtures.h"

#include "platform/RunLock.h"
#include "rename/Undo.h"

using namespace kaz;
using namespace kaz::test;

using BusyRun = HomeTest;

TEST_F(BusyRun, ABusyRunChangesNothingAndSaysSo)
{
    const QString file = putTagged(dir, "x.mp3", values("Song", "Band"));
    RunFixture fixture;
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
