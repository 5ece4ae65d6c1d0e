// One run at a time over the program folder's work files: the lock is held
// until its holder ends, a killed holder does not block, whatever its lock
// file holds, and a program folder that cannot take the lock is told apart
// from a busy one.
#include "support/HoldingProcess.h"
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "platform/RunLock.h"

#include <QDir>
#include <QFile>

#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

TEST(RunLock, HeldUntilItsHolderEndsWhateverTheLockFileHolds)
{
    TempHome home;
    {
        const RunLock first;
        ASSERT_TRUE(first.acquired()) << qPrintable(first.problem());
        const RunLock second;
        EXPECT_FALSE(second.acquired());
        EXPECT_TRUE(second.problem().isEmpty()) << "busy is no problem of the folder";
    }
    QDir().mkpath(programFolder());
    const QString path = programFolder() + "/run.lock";
    // A run killed while it made the file leaves it empty; other leftovers
    // may hold anything, a live process id among them.
    const QList<QByteArray> leftovers{QByteArray(), QByteArray::fromHex("00ff") + " garbage",
                                      QByteArray::number(qint64(::getpid())) + "\nkaz\nhost\n"};
    for (const QByteArray &contents : leftovers) {
        ASSERT_TRUE(writeAll(path, contents));
        const RunLock lock;
        EXPECT_TRUE(lock.acquired()) << contents.toHex().constData() << qPrintable(lock.problem());
    }
    // A holder in another process is named by its process id.
    HoldingProcess holder([] { return (new RunLock)->acquired(); });
    ASSERT_TRUE(holder.took());
    const RunLock busy;
    EXPECT_FALSE(busy.acquired());
    EXPECT_EQ(busy.holder(), QString::number(holder.pid()));
    // Killed mid-run, the holder leaves its lock file but blocks no one.
    holder.kill();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_TRUE(RunLock().acquired()) << "the kernel let go of the dead holder's lock";

    // A program folder that is no folder is a problem, not a busy run.
    TempHome other;
    const QString folder = programFolder();
    QDir().mkpath(folder.left(folder.lastIndexOf(QLatin1Char('/'))));
    ASSERT_TRUE(writeAll(folder, "not a folder"));
    const RunLock lock;
    EXPECT_FALSE(lock.acquired());
    EXPECT_TRUE(lock.problem().contains(folder)) << qPrintable(lock.problem());
}
