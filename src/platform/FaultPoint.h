#pragma once

namespace kaz {

// The kill tests' hook into the runs. With KAZ_FAULT_AT="STEP:N" in the
// environment the process kills itself with SIGKILL the N-th time it passes
// faultPoint(STEP) ("*" counts every step); with KAZ_FAULT_SIGNAL=INT it
// sends itself SIGINT instead, as Ctrl+C would. Without the variable a call
// costs one test of a flag, so the calls stay in every build.
void faultPoint(const char *step);

} // namespace kaz
