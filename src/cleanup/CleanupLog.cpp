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
    cutTo(m_end);
}

bool CleanupLogWriter::recordBatch(const QList<std::pair<QString, QString>> &pairs)
{
    m_batch.clear();
    if (!isOpen())
        return false;
    const qint64 start = m_file.pos();
    QByteArray bytes;
    for (const auto &[oldPath, newPath] : pairs) {
        if (hasLineBreak(oldPath) || hasLineBreak(newPath))
            return false;
        m_batch.append(start + bytes.size());
        bytes += oldPath.toUtf8() + "\r\n" + newPath.toUtf8() + "\r\n";
    }
    if (m_file.write(bytes) == bytes.size())
        return true;
    cutTo(start);
    m_batch.clear();
    return false;
}

void CleanupLogWriter::retractBatchFrom(qsizetype index)
{
    if (index < 0 || index >= m_batch.size())
        return;
    cutTo(m_batch[index]);
    m_batch.resize(index);
}

void CleanupLogWriter::cutTo(qint64 end)
{
    m_file.resize(end);
    m_file.seek(end);
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
