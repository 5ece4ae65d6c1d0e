#pragma once

#include "TestSupport.h"

#include <functional>

namespace kaz::test {

// Kill tests without timing luck: the program kills itself at a chosen pass
// of a named step (KAZ_FAULT_AT, see platform/FaultPoint.h).

struct KilledRun {
    bool killed = false; // false: the run got past the N-th pass and ended normally
    CliResult result;
};

// Runs kaz-cli with KAZ_FAULT_AT=STEP:N.
KilledRun runCliKilledAt(const QStringList &arguments, const QString &step, int n, const QByteArray &input = {});

// Runs kaz-cli and kills it after delayMs unless it ends first. Only for the
// one smoke test per run kind that kills at random moments, to reach what
// the fault points do not.
KilledRun runCliKilledAfter(const QStringList &arguments, qint64 delayMs);

// Kills the run at pass 1, 1 + stride, 1 + 2 * stride, ... of the step until a
// run ends on its own. After each kill, recover(n) restores the files (replay,
// undo) and checks them; it may fail with gtest assertions. setUp() is called
// before every run, also the last, unkilled one. Returns the number of kills.
int killAtEveryStep(const QStringList &arguments, const QString &step,
                    const std::function<void()> &setUp, const std::function<void(int n)> &recover, int stride = 1);

struct TailKills {
    int kills = 0;
    int mixed = 0; // kills after which some files were new and some old
};

// Kills a run that rewrites the ends of the files at every stride-th "tail"
// step. After each kill the next command replays the journal, and then each
// file must hold its old bytes or those the whole run gives it; the files are
// put back before every run. Fails the test where a file holds anything else.
TailKills killTailWritesAtEveryStep(const QStringList &arguments, const QStringList &files, int stride = 1);

} // namespace kaz::test
