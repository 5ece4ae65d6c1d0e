#pragma once

#include "TestSupport.h"

namespace kaz::test {

// Runs kaz-cli as on a terminal: standard input, output and error are one
// pseudo-terminal (raw: no line ends are translated), whose bytes come back
// in out. Input, when given, is typed in at the start. A run that outlasts
// the timeout is killed: exit code -1 and err "timed out".
CliResult runCliOnTerminal(const QStringList &arguments, const QByteArray &input = {}, int timeoutMs = 120000);

} // namespace kaz::test
