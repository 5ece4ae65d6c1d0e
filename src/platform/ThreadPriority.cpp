#include "ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kaz {
namespace {

// On Linux a nice value belongs to a thread when addressed by its id.
id_t threadId()
{
    return static_cast<id_t>(::syscall(SYS_gettid));
}

} // namespace

int niceValue(ThreadPriority priority)
{
    switch (priority) {
    case ThreadPriority::Idle:
        return 19;
    case ThreadPriority::Low:
        return 5;
    case ThreadPriority::High:
        return -5;
    case ThreadPriority::Normal:
        break;
    }
    return 0;
}

void applyThreadPriority(ThreadPriority priority)
{
    ::setpriority(PRIO_PROCESS, threadId(), niceValue(priority));
}

int currentThreadNice()
{
    errno = 0;
    return ::getpriority(PRIO_PROCESS, threadId());
}

} // namespace kaz
