#include "ScriptEditing.h"

namespace kaz {
namespace {

// Where the last entry starts: after the ":" before the final character.
qsizetype lastEntryStart(const QString &script)
{
    if (script.size() < 2)
        return 0;
    return script.lastIndexOf(QLatin1Char(':'), script.size() - 2) + 1;
}

} // namespace

QString removeLastEntry(const QString &script)
{
    return script.left(lastEntryStart(script));
}

QString lastEntry(const QString &script)
{
    return script.mid(lastEntryStart(script));
}

QString appendEntry(const QString &script, const QString &entry)
{
    // Whole entries only: "5\"\":" is not held by "3-5\"\":".
    if (entry.isEmpty() || QString(QLatin1Char(':') + script).contains(QString(QLatin1Char(':') + entry)))
        return script;
    if (!script.isEmpty() && !script.endsWith(QLatin1Char(':')))
        return script + QLatin1Char(':') + entry;
    return script + entry;
}

QString stringEntry(const QString &selectedText)
{
    return QLatin1Char('"') + selectedText + QLatin1String("\"\"\":");
}

QString rangeEntry(int start, int length)
{
    return QStringLiteral("%1-%2\"\":").arg(start + 1).arg(start + length);
}

QString insertionEntry(int start)
{
    return QStringLiteral("%1\"\":").arg(start + 1);
}

} // namespace kaz
