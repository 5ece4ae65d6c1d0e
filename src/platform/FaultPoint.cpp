#include "FaultPoint.h"

#ifdef KAZ_FAULT_POINTS

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

namespace kaz {

namespace {

struct FaultTarget {
    bool armed = false;
    std::string step;
    long count = 0;
    int signal = SIGKILL;
};

FaultTarget readTarget()
{
    FaultTarget target;
    const char *value = std::getenv("KAZ_FAULT_AT");
    if (!value)
        return target;
    const char *colon = std::strrchr(value, ':');
    if (!colon || colon == value)
        return target;
    char *end = nullptr;
    const long count = std::strtol(colon + 1, &end, 10);
    if (*end != '\0' || count < 1)
        return target;
    target.step.assign(value, colon);
    target.count = count;
    target.armed = true;
    const char *signal = std::getenv("KAZ_FAULT_SIGNAL");
    if (signal && std::strcmp(signal, "INT") == 0)
        target.signal = SIGINT;
    return target;
}

} // namespace

void faultPoint(const char *step)
{
    static const FaultTarget target = readTarget();
    if (!target.armed)
        return;
    if (target.step != "*" && target.step != step)
        return;
    static std::atomic<long> passes{0};
    if (++passes == target.count)
        ::kill(::getpid(), target.signal);
}

} // namespace kaz

#endif
