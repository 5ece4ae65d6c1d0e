// Continuing the undo logs of a run that was stopped between the two lines of a pair.
#include "support/TestSupport.h"

#include "platform/WorkFiles.h"
#include "rename/UndoLogWriter.h"
#include "rename/WorkListReader.h"

using namespace kaz;
using namespace kaz::test;

TEST(UndoLogContinue, CutsBackToThePairsBothLogsHold)
{
    TempHome home;
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
