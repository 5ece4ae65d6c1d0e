#pragma once

#include "TestSupport.h"

namespace kaz::test {

// Runs kaz-cli as on a terminal: standard input, output and error are one
// pseudo-terminal (raw: no line ends are translated), whose bytes come back
// in out; err stays empty. Input, when given, is typed in at the start.
CliResult runCliOnTerminal(const QStringList &arguments, const QByteArray &input = {});

} // namespace kaz::test
