#include "WorkFiles.h"

#include "Paths.h"
#include "Utf16Scan.h"

#include <QDir>
#include <QFile>

namespace kaz {

QString workFilePath(const char *name)
{
    const QString folder = programFolder();
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + QLatin1String(name);
}

bool hasLineBreak(QStringView path)
{
    return containsEither(path, u'\n', u'\r');
}

void removeWorkFile(const char *name)
{
    QFile::remove(workFilePath(name));
}

QString cutShortNote(const QString &logPath, qsizetype line)
{
    return QStringLiteral("%1, line %2: cut short by a stopped run; nothing to undo for it").arg(logPath).arg(line);
}

} // namespace kaz
