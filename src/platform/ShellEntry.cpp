#include "ShellEntry.h"

#include "SmallFile.h"

#include "Paths.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace kaz {
namespace {

// Quotes an argument of an Exec line: inside double quotes ", `, $ and \ take
// a backslash, and the backslashes are then doubled again by the general
// escaping of desktop entry values; "%" is written "%%".
QString execArgument(const QString &argument)
{
    QString quoted;
    for (QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString shellEntryText(Language language)
{
    return QString::fromUtf8(tr2(language, "Rename contents of directory with KAZ", "Verzeichnisinhalt mit KAZ bearbeiten"));
}

QString shellEntryPath(Language language)
{
    return applicationsFolder() + QLatin1Char('/') + shellEntryText(language) + QStringLiteral(".desktop");
}

bool shellEntryExists()
{
    return QFile::exists(shellEntryPath(Language::English)) || QFile::exists(shellEntryPath(Language::German));
}

QByteArray shellEntryContent(Language language, const QString &executable)
{
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=%1\n"
                                        "Exec=%2 -open %f\n"
                                        "MimeType=inode/directory;\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n")
                             .arg(shellEntryText(language), execArgument(executable));
    return text.toUtf8();
}

bool applyShellRegistration(bool wanted, Language language, const QString &programFolder, const QString &executable,
                            QString *problem)
{
    const Language other = language == Language::English ? Language::German : Language::English;
    QFile::remove(shellEntryPath(other));
    bool ok = true;
    // An entry needs the program's path, and one with a line break cannot be written.
    const bool writable = !executable.isEmpty() && !executable.contains(QLatin1Char('\n'))
                          && !executable.contains(QLatin1Char('\r'));
    if (wanted && writable) {
        ok = writeSmallFile(shellEntryPath(language), shellEntryContent(language, executable), problem);
    } else {
        QFile::remove(shellEntryPath(language));
        ok = !wanted;
    }
    Registry registry;
    registry.setValue(Registry::kKazDirectory, programFolder);
    registry.setValue(Registry::kLanguage, languageKey(language));
    QString registryProblem;
    const bool saved = registry.save(&registryProblem);
    if (!saved && problem)
        *problem = problem->isEmpty() ? registryProblem : *problem + QStringLiteral("\n\r") + registryProblem;
    return saved && ok;
}

} // namespace kaz
