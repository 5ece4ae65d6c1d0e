#include "CleanupLog.h"

#include "platform/WorkFiles.h"

namespace kaz {

CleanupLogWriter::CleanupLogWriter()
{
    m_file.setFileName(cleanupLogPath());
    // Unbuffered: every pair reaches the file with its own write.
    m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

bool CleanupLogWriter::record(const QString &oldPath, const QString &newPath)
{
    if (!isOpen() || hasLineBreak(oldPath) || hasLineBreak(newPath))
        return false;
    m_end = m_file.pos();
    const QByteArray pair = oldPath.toUtf8() + "\r\n" + newPath.toUtf8() + "\r\n";
    if (m_file.write(pair) == pair.size())
        return true;
    retract();
    return false;
}

void CleanupLogWriter::retract()
{
    m_file.resize(m_end);
    m_file.seek(m_end);
}

QList<CleanupLogEntry> readCleanupLog()
{
    QFile file(cleanupLogPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    // Only lines that were ended count: the last piece is what follows the
    // final line break.
    lines.removeLast();
    QList<CleanupLogEntry> entries;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        QByteArray oldLine = lines[i];
        QByteArray newLine = lines[i + 1];
        if (oldLine.endsWith('\r'))
            oldLine.chop(1);
        if (newLine.endsWith('\r'))
            newLine.chop(1);
        entries.append({QString::fromUtf8(oldLine), QString::fromUtf8(newLine)});
    }
    return entries;
}

QString cleanupLogPath()
{
    return workFilePath(workfile::CleanupUndo);
}

bool cleanupLogExists()
{
    return QFile::exists(cleanupLogPath());
}

void removeCleanupLog()
{
    removeWorkFile(workfile::CleanupUndo);
}

} // namespace kaz
