#include "UndoLogWriter.h"

#include "platform/FolderListing.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QFile>

#include <string>
#include <string_view>

namespace kaz {
namespace {

QByteArray line(const QString &path)
{
    return path.toUtf8() + "\r\n";
}

// False when the path holds a line break: its line would read back as two.
bool appendLine(std::string &lines, const QString &path)
{
    const std::size_t start = lines.size();
    appendNativeBytes(lines, path);
    const std::string_view added = std::string_view(lines).substr(start);
    lines += "\r\n";
    return added.find('\n') == std::string_view::npos && added.find('\r') == std::string_view::npos;
}

} // namespace

UndoLogWriter::UndoLogWriter(bool append)
    : m_append(append)
    , m_old(workFilePath(workfile::UndoOld), workFilePath(workfile::UndoOldSetAside))
    , m_new(workFilePath(workfile::UndoNew), workFilePath(workfile::UndoNewSetAside))
{
}

bool UndoLogWriter::open()
{
    if (!m_started) {
        m_started = true;
        // The last run's logs are set aside, never truncated: when they
        // cannot be moved, this run logs (and so renames) nothing.
        if (!m_append && !m_old.setAsideLast()) {
            m_problem = m_old.problem();
            return false;
        }
        if (!m_append && !m_new.setAsideLast()) {
            m_problem = m_new.problem();
            m_old.restoreSetAside(); // the first log goes back to its partner
            return false;
        }
        if (!m_old.open(m_append))
            m_problem = m_old.problem();
        else if (!m_new.open(m_append))
            m_problem = m_new.problem();
        else if (m_append)
            alignForAppend();
    }
    return m_old.isOpen() && m_new.isOpen();
}

UndoLogWriter::~UndoLogWriter()
{
    if (!m_started)
        return;
    // A continued run keeps what it appended; the logs it went on from were
    // never set aside.
    const bool kept = m_append || m_count > 0;
    m_new.finish(kept);
    m_old.finish(kept);
    // An unfinished undo of the last logs is over once new ones stand; a run
    // that logged nothing (a full disk) leaves it to be finished.
    if (kept)
        removeWorkFile(workfile::UndoProgress);
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
    const QList<qint64> oldEnds = lineEnds(m_old.path());
    const QList<qint64> newEnds = lineEnds(m_new.path());
    const qsizetype pairs = qMin(oldEnds.size(), newEnds.size());
    m_count = pairs;
    m_old.cutTo(pairs ? oldEnds[pairs - 1] : 0);
    m_new.cutTo(pairs ? newEnds[pairs - 1] : 0);
}

bool UndoLogWriter::record(const QString &oldPath, const QString &newPath)
{
    if (hasLineBreak(oldPath) || hasLineBreak(newPath) || !open())
        return false;
    m_oldEnd = m_old.end();
    m_newEnd = m_new.end();
    // The old path first: a line of "undo1.kaz" without its partner in
    // "undo2.kaz" is never read back.
    if (!m_old.append(line(oldPath)))
        m_problem = m_old.problem();
    else if (!m_new.append(line(newPath)))
        m_problem = m_new.problem();
    else {
        ++m_count;
        return true;
    }
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
    m_oldEnd = m_old.end();
    m_newEnd = m_new.end();
    m_batchOld.clear();
    m_batchNew.clear();
    std::string oldLines, newLines;
    oldLines.reserve(std::size_t(pairs.size()) * 96);
    newLines.reserve(std::size_t(pairs.size()) * 96);
    for (const auto &[oldPath, newPath] : pairs) {
        m_batchOld.append(m_oldEnd + qint64(oldLines.size()));
        m_batchNew.append(m_newEnd + qint64(newLines.size()));
        if (!appendLine(oldLines, oldPath) || !appendLine(newLines, newPath))
            return false;
    }
    if (!m_old.append(QByteArray::fromRawData(oldLines.data(), qsizetype(oldLines.size()))))
        m_problem = m_old.problem();
    else if (!m_new.append(QByteArray::fromRawData(newLines.data(), qsizetype(newLines.size()))))
        m_problem = m_new.problem();
    else {
        m_count += pairs.size();
        return true;
    }
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

void UndoLogWriter::cutBack()
{
    m_new.cutTo(m_newEnd);
    m_old.cutTo(m_oldEnd);
}

} // namespace kaz
