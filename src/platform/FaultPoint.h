#pragma once

namespace kaz {

// The kill tests' hook into the runs, built only with KAZ_FAULT_POINTS (the
// test builds). There, with KAZ_FAULT_AT="STEP:N" in the environment, the
// process kills itself with SIGKILL the N-th time it passes faultPoint(STEP)
// ("*" counts every step); with KAZ_FAULT_SIGNAL=INT it sends itself SIGINT
// instead, as Ctrl+C would. In the installed programs a call is nothing.
#ifdef KAZ_FAULT_POINTS
void faultPoint(const char *step);
#else
inline void faultPoint(const char *) {}
#endif

} // namespace kaz
