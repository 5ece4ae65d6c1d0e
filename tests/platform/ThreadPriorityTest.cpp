// A long operation's priority: lowering it always works and touches only the
// thread that asked.
#include "support/TestSupport.h"

#include "platform/ThreadPriority.h"

#include <thread>

using namespace kaz;

namespace {

int niceAfter(ThreadPriority priority)
{
    int seen = 0;
    std::thread worker([&] {
        applyThreadPriority(priority);
        seen = currentThreadNice();
    });
    worker.join();
    return seen;
}

} // namespace

TEST(ThreadPriority, LowerPrioritiesAreNicerAndStayInTheirThread)
{
    const int before = currentThreadNice();
    const int normal = niceAfter(ThreadPriority::Normal);
    const int low = niceAfter(ThreadPriority::Low);
    const int idle = niceAfter(ThreadPriority::Idle);
    EXPECT_EQ(idle, 19) << "idle is as nice as a thread can be";
    // Started under "nice", a raise back may be refused; from normal, "low"
    // lies in between.
    if (before == 0) {
        EXPECT_EQ(normal, 0);
        EXPECT_GT(low, normal);
        EXPECT_LT(low, idle);
    }
    EXPECT_EQ(currentThreadNice(), before) << "other threads keep their priority";

    // A raise the system refuses is no failure: the thread runs on.
    const int high = niceAfter(ThreadPriority::High);
    EXPECT_LE(high, normal);
}
