#include "CliCommand.h"

namespace kaz::cli {
namespace {

QList<const CliCommand *> &registry()
{
    static QList<const CliCommand *> list;
    return list;
}

} // namespace

CliCommand::CliCommand(const char *name, const char *summary, Run run)
    : name(name)
    , summary(summary)
    , run(std::move(run))
{
    registry().append(this);
}

const QList<const CliCommand *> &commands()
{
    return registry();
}

} // namespace kaz::cli
