#pragma once

#include <QStringList>

#include <functional>

namespace kaz::cli {

// One subcommand of kaz-cli. Each command file registers itself with a
// static CliCommand object; main() dispatches by name.
struct CliCommand {
    using Run = std::function<int(const QStringList &arguments)>;

    CliCommand(const char *name, const char *summary, Run run);

    const char *name;
    const char *summary;
    Run run;
};

const QList<const CliCommand *> &commands();

// Exit codes shared by all commands.
enum ExitCode { ExitOk = 0, ExitFileError = 1, ExitUsage = 2 };

} // namespace kaz::cli
