#include "shell/SingleInstance.h"

#include "support/HoldingProcess.h"
#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QFile>

#include <sys/time.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// An instance in another process, holding the lock if it got it. The lock
// object lives until the process is killed.
bool takeLock(const QString &lock)
{
    return (new SingleInstance(lock))->tryLock();
}

struct SingleInstanceTest : HomeTest { const QString lock = SingleInstance::defaultLockPath(); };

} // namespace

TEST_F(SingleInstanceTest, ExactlyOneOfTwoStartsGetsTheLockAndASecondStartSaysSo)
{
    {
        HoldingProcess a([&] { return takeLock(lock); });
        HoldingProcess b([&] { return takeLock(lock); });
        ASSERT_GT(a.pid(), 0);
        ASSERT_GT(b.pid(), 0);
        EXPECT_EQ(int(a.took()) + int(b.took()), 1);
    }

    // Within one process too; the lock is free again once its holder is gone.
    {
        SingleInstance first;
        ASSERT_TRUE(first.tryLock());
        SingleInstance second;
        EXPECT_FALSE(second.tryLock());
        // A second start tells the user, though only when started without arguments.
        ScriptedPrompter prompter;
        EXPECT_FALSE(claimSingleInstance(second, {"-open", home.music()}, prompter));
        EXPECT_TRUE(prompter.shown.isEmpty());
        EXPECT_FALSE(claimSingleInstance(second, {}, prompter));
        EXPECT_EQ(prompter.shown, QStringList{"  KAZ is already running!  "});
    }
    SingleInstance third;
    EXPECT_TRUE(third.tryLock());
}

TEST_F(SingleInstanceTest, AKilledInstanceDoesNotBlockButALiveOneDoesHoweverOld)
{
    HoldingProcess running([&] { return takeLock(lock); });
    ASSERT_TRUE(running.took());

    // A lock file hours old still belongs to the running instance.
    const struct timeval past[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(lock).constData(), past), 0);
    SingleInstance second;
    EXPECT_FALSE(second.tryLock());

    running.kill();
    ASSERT_TRUE(QFile::exists(lock)); // left behind by the killed instance
    EXPECT_TRUE(second.tryLock());
}
