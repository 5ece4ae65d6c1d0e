#pragma once

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <optional>

namespace kaz::test {

// Work done in a child that starts as a fresh program: the test binary run
// again, so that nothing the tests before did in this process (a value a
// function keeps from its first call, say) reaches the child. An entry is
// registered under a name by a static FreshChildEntry in the test's file.
using FreshChildWork = std::function<int(const QStringList &arguments)>;

struct FreshChildEntry {
    FreshChildEntry(const char *name, FreshChildWork work);
};

struct FreshChildEnd {
    bool killed = false; // ended by a signal
    int exitCode = -1;
};

// Runs the named entry with the arguments in a fresh child whose environment
// is this process's plus the given NAME=VALUE pairs, and waits for its end.
FreshChildEnd runFreshChild(const char *name, const QStringList &arguments, const QList<QByteArray> &environment = {});

// For main(): the exit code of the entry when this process was started as a
// fresh child, nothing otherwise.
std::optional<int> runFreshChildEntry(const QStringList &programArguments);

} // namespace kaz::test
