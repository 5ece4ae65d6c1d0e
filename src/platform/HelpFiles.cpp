#include "HelpFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace kaz {

QString helpFolder()
{
    QStringList candidates;
    const QString overridden = qEnvironmentVariable("KAZ_HELP_DIR");
    if (!overridden.isEmpty())
        candidates << overridden;
    if (QCoreApplication::instance()) {
        const QString bin = QCoreApplication::applicationDirPath();
        candidates << bin + QStringLiteral("/../share/kaz/help");
    }
    for (const QString &c : candidates)
        if (QFileInfo(c + QStringLiteral("/kaz-en.html")).isFile())
            return QDir::cleanPath(c);
    return {};
}

QString helpPage(Language language)
{
    const QString folder = helpFolder();
    if (folder.isEmpty())
        return {};
    return folder + (language == Language::English ? QStringLiteral("/kaz-en.html") : QStringLiteral("/kaz-de.html"));
}

QString helpAnchor(int context)
{
    return QStringLiteral("context-%1").arg(context);
}

} // namespace kaz
