// One run at a time over the program folder's work files: the lock is held
// until its holder ends, a killed holder does not block, and a program folder
// that cannot take the lock is told apart from a busy one.
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "platform/RunLock.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

TEST(RunLock, HeldUntilItsHolderEnds)
{
    TempHome home;
    {
        const RunLock first;
        ASSERT_TRUE(first.acquired()) << qPrintable(first.problem());
        const RunLock second;
        EXPECT_FALSE(second.acquired());
        EXPECT_TRUE(second.problem().isEmpty()) << "busy is no problem of the folder";
    }
    EXPECT_TRUE(RunLock().acquired());
}

TEST(RunLock, AHolderKilledMidRunDoesNotBlock)
{
    TempHome home;
    QDir().mkpath(programFolder());
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const RunLock lock;
        if (!lock.acquired())
            ::_exit(2);
        ::kill(::getpid(), SIGKILL);
        ::_exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the holder was killed while it held the lock, exit " << WEXITSTATUS(status);
    EXPECT_TRUE(QFile::exists(programFolder() + QStringLiteral("/run.lock"))) << "its lock file is left behind";
    const RunLock next;
    EXPECT_TRUE(next.acquired()) << qPrintable(next.problem());
}

TEST(RunLock, AProgramFolderThatIsNoFolderIsAProblemNotABusyRun)
{
    TempHome home;
    const QString folder = programFolder();
    QDir().mkpath(folder.left(folder.lastIndexOf(QLatin1Char('/'))));
    ASSERT_TRUE(writeAll(folder, "not a folder"));
    const RunLock lock;
    EXPECT_FALSE(lock.acquired());
    EXPECT_TRUE(lock.problem().contains(folder)) << qPrintable(lock.problem());
}
