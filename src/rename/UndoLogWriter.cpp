#include "UndoLogWriter.h"

#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace kaz {
namespace {

bool openLog(QFile &file, const char *name, bool append, QString *problem)
{
    file.setFileName(workFilePath(name));
    // A FIFO or a device in the log's place would wait or write elsewhere.
    if (!isRegularOrMissing(file.fileName(), problem))
        return false;
    // Unbuffered: every line reaches the file with its own write.
    if (file.open(QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate) | QIODevice::Unbuffered))
        return true;
    *problem = file.fileName() + QStringLiteral(": ") + file.errorString();
    return false;
}

QString setAside(const char *name)
{
    return workFilePath(qstrcmp(name, workfile::UndoOld) == 0 ? workfile::UndoOldSetAside : workfile::UndoNewSetAside);
}

bool writeLine(QFile &file, const QString &path)
{
    const QByteArray line = path.toUtf8() + "\r\n";
    return file.write(line) == line.size();
}

} // namespace

bool UndoLogWriter::open()
{
    if (!m_started) {
        m_started = true;
        // An unfinished undo of the last logs is over once new ones begin.
        removeWorkFile(workfile::UndoProgress);
        // The last run's logs are set aside, never truncated: when they
        // cannot be moved, this run logs (and so renames) nothing.
        if (!m_append && !setAsideLastLogs())
            return false;
        if (openLog(m_old, workfile::UndoOld, m_append, &m_problem)
            && openLog(m_new, workfile::UndoNew, m_append, &m_problem) && m_append)
            alignForAppend();
    }
    return m_old.isOpen() && m_new.isOpen();
}

bool UndoLogWriter::setAsideLastLogs()
{
    for (int i : {0, 1}) {
        const char *name = i == 0 ? workfile::UndoOld : workfile::UndoNew;
        const QByteArray log = QFile::encodeName(workFilePath(name)), aside = QFile::encodeName(setAside(name));
        struct stat st {};
        if (::lstat(log.constData(), &st) != 0)
            continue;
        if (::rename(log.constData(), aside.constData()) != 0) {
            m_problem = QFile::decodeName(aside) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
            if (m_setAside[0]) // the first log goes back to its partner
                ::rename(QFile::encodeName(setAside(workfile::UndoOld)).constData(),
                         QFile::encodeName(workFilePath(workfile::UndoOld)).constData());
            m_setAside[0] = false;
            return false;
        }
        m_setAside[i] = true;
    }
    return true;
}

UndoLogWriter::~UndoLogWriter()
{
    if (!m_started)
        return;
    m_old.close();
    m_new.close();
    if (m_append)
        return;
    for (int i : {1, 0}) {
        const char *name = i == 0 ? workfile::UndoOld : workfile::UndoNew;
        if (!m_setAside[i])
            continue;
        if (m_count > 0) {
            QFile::remove(setAside(name));
        } else {
            // Nothing renamed: the last run's logs are still the way back.
            ::rename(QFile::encodeName(setAside(name)).constData(), QFile::encodeName(workFilePath(name)).constData());
        }
    }
}

// A run killed between the two lines of a pair leaves one log a line ahead
// (or a line cut short): both are cut back to the pairs they have in common.
void UndoLogWriter::alignForAppend()
{
    const auto lineEnds = [](const QString &path) {
        QFile file(path);
        QList<qint64> ends;
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            for (qsizetype i = 0; i < bytes.size(); ++i)
                if (bytes[i] == '\n')
                    ends.append(i + 1);
        }
        return ends;
    };
    const QList<qint64> oldEnds = lineEnds(m_old.fileName());
    const QList<qint64> newEnds = lineEnds(m_new.fileName());
    const qsizetype pairs = qMin(oldEnds.size(), newEnds.size());
    m_count = pairs;
    m_old.resize(pairs ? oldEnds[pairs - 1] : 0);
    m_new.resize(pairs ? newEnds[pairs - 1] : 0);
    m_old.seek(m_old.size());
    m_new.seek(m_new.size());
}

bool UndoLogWriter::record(const QString &oldPath, const QString &newPath)
{
    if (hasLineBreak(oldPath) || hasLineBreak(newPath) || !open())
        return false;
    m_oldEnd = m_old.pos();
    m_newEnd = m_new.pos();
    // The old path first: a line of "undo1.kaz" without its partner in
    // "undo2.kaz" is never read back.
    if (writeLine(m_old, oldPath) && writeLine(m_new, newPath)) {
        ++m_count;
        return true;
    }
    noteWriteError();
    cutBack();
    return false;
}

bool UndoLogWriter::recordFolder(const QString &folder)
{
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    return record(path, path);
}

void UndoLogWriter::retract()
{
    cutBack();
    --m_count;
}

bool UndoLogWriter::recordBatch(const QList<std::pair<QString, QString>> &pairs)
{
    if (!open())
        return false;
    m_oldEnd = m_old.pos();
    m_newEnd = m_new.pos();
    m_batchOld.clear();
    m_batchNew.clear();
    QByteArray oldLines, newLines;
    for (const auto &[oldPath, newPath] : pairs) {
        if (hasLineBreak(oldPath) || hasLineBreak(newPath))
            return false;
        m_batchOld.append(m_oldEnd + oldLines.size());
        m_batchNew.append(m_newEnd + newLines.size());
        oldLines += oldPath.toUtf8() + "\r\n";
        newLines += newPath.toUtf8() + "\r\n";
    }
    if (m_old.write(oldLines) == oldLines.size() && m_new.write(newLines) == newLines.size()) {
        m_count += pairs.size();
        return true;
    }
    noteWriteError();
    cutBack();
    m_batchOld.clear();
    m_batchNew.clear();
    return false;
}

void UndoLogWriter::retractBatchFrom(qsizetype index)
{
    if (index < 0 || index >= m_batchOld.size())
        return;
    m_count -= m_batchOld.size() - index;
    m_newEnd = m_batchNew[index];
    m_oldEnd = m_batchOld[index];
    cutBack();
    m_batchOld.resize(index);
    m_batchNew.resize(index);
}

void UndoLogWriter::noteWriteError()
{
    QFile &failed = m_old.error() != QFileDevice::NoError ? m_old : m_new;
    m_problem = failed.fileName() + QStringLiteral(": ") + failed.errorString();
}

void UndoLogWriter::cutBack()
{
    m_new.resize(m_newEnd);
    m_new.seek(m_newEnd);
    m_old.resize(m_oldEnd);
    m_old.seek(m_oldEnd);
}

} // namespace kaz
