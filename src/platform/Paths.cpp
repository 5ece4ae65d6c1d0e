#include "Paths.h"

#include <QDir>

namespace kaz {
namespace {

QString xdgFolder(const char *variable, const char *fallbackBelowHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::cleanPath(QDir::homePath() + QLatin1Char('/') + QLatin1String(fallbackBelowHome));
}

} // namespace

QString configFolder()
{
    return xdgFolder("XDG_CONFIG_HOME", ".config") + QStringLiteral("/kaz");
}

QString programFolder()
{
    return xdgFolder("XDG_DATA_HOME", ".local/share") + QStringLiteral("/kaz");
}

QString applicationsFolder()
{
    return xdgFolder("XDG_DATA_HOME", ".local/share") + QStringLiteral("/applications");
}

QString runtimeFolder()
{
    const QString value = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!value.isEmpty() && QDir(value).exists())
        return QDir::cleanPath(value);
    return configFolder();
}

} // namespace kaz
