#include "shell/SingleInstance.h"

#include "platform/Messages.h"
#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QFile>

#include <csignal>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// Another instance in its own process: it tries the lock, writes '1' or '0'
// into the result pipe, and holds whatever it got until the hold pipe closes.
struct Instance {
    pid_t pid = -1;
    int result = -1;
    int hold = -1;

    static Instance start(const QString &lockPath)
    {
        int resultPipe[2], holdPipe[2];
        if (::pipe(resultPipe) != 0 || ::pipe(holdPipe) != 0)
            return {};
        const pid_t pid = ::fork();
        if (pid == 0) {
            // Only its own pipe ends stay open, so that ending one instance never waits on another.
            for (int fd = 3; fd < 1024; ++fd) {
                if (fd != resultPipe[1] && fd != holdPipe[0])
                    ::close(fd);
            }
            SingleInstance guard(lockPath);
            const char got = guard.tryLock() ? '1' : '0';
            if (::write(resultPipe[1], &got, 1) != 1)
                ::_exit(2);
            char c;
            while (::read(holdPipe[0], &c, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(resultPipe[1]);
        ::close(holdPipe[0]);
        return {pid, resultPipe[0], holdPipe[1]};
    }

    bool gotLock() const
    {
        char c = 0;
        return ::read(result, &c, 1) == 1 && c == '1';
    }

    void end(bool kill)
    {
        if (kill)
            ::kill(pid, SIGKILL);
        ::close(hold);
        ::close(result);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
};

} // namespace

TEST(SingleInstance, ExactlyOneOfTwoStartsGetsTheLock)
{
    TempHome home;
    const QString lock = SingleInstance::defaultLockPath();
    Instance a = Instance::start(lock);
    Instance b = Instance::start(lock);
    ASSERT_GT(a.pid, 0);
    ASSERT_GT(b.pid, 0);
    EXPECT_EQ(int(a.gotLock()) + int(b.gotLock()), 1);
    a.end(false);
    b.end(false);

    // Within one process too; the lock is free again once its holder is gone.
    {
        SingleInstance first;
        ASSERT_TRUE(first.tryLock());
        SingleInstance second;
        EXPECT_FALSE(second.tryLock());
    }
    SingleInstance third;
    EXPECT_TRUE(third.tryLock());
}

TEST(SingleInstance, AKilledInstanceDoesNotBlockButALiveOneDoesHoweverOld)
{
    TempHome home;
    const QString lock = SingleInstance::defaultLockPath();
    Instance running = Instance::start(lock);
    ASSERT_TRUE(running.gotLock());

    // A lock file hours old still belongs to the running instance.
    const struct timeval past[2] = {{::time(nullptr) - 7200, 0}, {::time(nullptr) - 7200, 0}};
    ASSERT_EQ(::utimes(QFile::encodeName(lock).constData(), past), 0);
    SingleInstance second;
    EXPECT_FALSE(second.tryLock());

    running.end(true);
    ASSERT_TRUE(QFile::exists(lock)); // left behind by the killed instance
    EXPECT_TRUE(second.tryLock());
}

TEST(SingleInstance, SecondStartTellsTheUserOnlyWithoutArguments)
{
    TempHome home;
    SingleInstance running;
    ASSERT_TRUE(running.tryLock());

    ScriptedPrompter prompter;
    SingleInstance fromContextMenu;
    EXPECT_FALSE(claimSingleInstance(fromContextMenu, {"-open", home.music()}, prompter));
    EXPECT_TRUE(prompter.shown.isEmpty());

    SingleInstance plain;
    EXPECT_FALSE(claimSingleInstance(plain, {}, prompter));
    EXPECT_EQ(prompter.shown, QStringList{"  KAZ is already running!  "});
}
