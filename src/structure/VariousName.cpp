#include "VariousName.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>

namespace kaz {

bool variousNameUsable(const QString &name)
{
    if (name.trimmed().isEmpty() || name.startsWith(QLatin1Char('.')) || name.contains(QLatin1Char('/'))
        || name.startsWith(QLatin1Char('\\')) || name.endsWith(QLatin1Char('\\')))
        return false;
    for (QChar c : name) {
        if (c.unicode() < 32)
            return false;
    }
    QDir program(programFolder());
    if (!program.exists() && !QDir().mkpath(program.path()))
        return false;
    const QString test = QStringLiteral("~") + name;
    if (QFileInfo(program.filePath(test)).isDir())
        return true;
    if (!program.mkdir(test))
        return false;
    program.rmdir(test);
    return true;
}

} // namespace kaz
