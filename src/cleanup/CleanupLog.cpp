#include "CleanupLog.h"

#include "platform/SmallFile.h"
#include "platform/Utf16Scan.h"
#include "platform/WorkFiles.h"

#include <QDir>

#include <cerrno>
#include <sys/stat.h>

namespace kaz {
namespace {

// Far more than the log of a million renames.
constexpr qint64 kMaxLogBytes = qint64(1) << 30;

QString setAsidePath()
{
    return workFilePath(workfile::CleanupUndoSetAside);
}

bool lstatPath(const QString &path, struct stat *st)
{
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

int renamePath(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

// The two lines of a pair; false, with bytes cut back, when a path holds a
// line break and would not stand on one line.
bool appendPair(QByteArray &bytes, const QString &oldPath, const QString &newPath)
{
    const qsizetype start = bytes.size();
    bytes.resize(start + 3 * (oldPath.size() + newPath.size()) + 4);
    char *end = writeUtf8Line(bytes.data() + start, oldPath);
    if (end) {
        *end++ = '\r';
        *end++ = '\n';
        end = writeUtf8Line(end, newPath);
    }
    if (!end) {
        bytes.resize(start);
        return false;
    }
    *end++ = '\r';
    *end++ = '\n';
    bytes.resize(end - bytes.constData());
    return true;
}

QByteArray pairBytes(const QString &oldPath, const QString &newPath)
{
    QByteArray bytes;
    appendUtf8(bytes, oldPath);
    bytes += "\r\n";
    appendUtf8(bytes, newPath);
    bytes += "\r\n";
    return bytes;
}

// A rename of the log stands: its file is at the new path, the old one is free.
bool anyRenameStands(const QList<CleanupLogEntry> &entries)
{
    struct stat st {};
    for (const CleanupLogEntry &entry : entries)
        if (lstatPath(entry.newPath, &st) && !lstatPath(entry.oldPath, &st))
            return true;
    return false;
}

} // namespace

CleanupLogWriter::CleanupLogWriter()
    : m_log(cleanupLogPath(), setAsidePath())
{
}

CleanupLogWriter::~CleanupLogWriter()
{
    if (m_started)
        m_log.finish(m_pairs > 0);
}

bool CleanupLogWriter::append(const QByteArray &bytes)
{
    if (!m_started) {
        m_started = true;
        settleCleanupLog();
        if (!m_log.setAsideLast() || !m_log.open(false))
            m_problem = m_log.problem();
    }
    if (!m_log.isOpen())
        return false;
    if (m_log.append(bytes))
        return true;
    m_problem = m_log.problem();
    return false;
}

bool CleanupLogWriter::record(const QString &oldPath, const QString &newPath)
{
    if (hasLineBreak(oldPath) || hasLineBreak(newPath))
        return false;
    m_end = m_log.end();
    if (append(pairBytes(oldPath, newPath))) {
        ++m_pairs;
        return true;
    }
    m_log.cutTo(m_end);
    return false;
}

void CleanupLogWriter::retract()
{
    m_log.cutTo(m_end);
    --m_pairs;
}

bool CleanupLogWriter::recordBatch(const QList<std::pair<QString, QString>> &pairs)
{
    m_batch.clear();
    QByteArray bytes;
    bytes.reserve(pairs.size() * 128);
    QList<qint64> starts;
    starts.reserve(pairs.size());
    for (const auto &[oldPath, newPath] : pairs) {
        starts.append(bytes.size());
        if (!appendPair(bytes, oldPath, newPath))
            return false;
    }
    const qint64 start = m_log.end();
    if (!append(bytes)) {
        m_log.cutTo(start);
        return false;
    }
    for (const qint64 offset : starts)
        m_batch.append(start + offset);
    m_pairs += pairs.size();
    return true;
}

void CleanupLogWriter::retractBatchFrom(qsizetype index)
{
    if (index < 0 || index >= m_batch.size())
        return;
    m_log.cutTo(m_batch[index]);
    m_pairs -= m_batch.size() - index;
    m_batch.resize(index);
}

CleanupLogContents readCleanupLog()
{
    CleanupLogContents contents;
    const QString path = cleanupLogPath();
    QByteArray bytes;
    QString problem;
    if (!readSmallFile(path, kMaxLogBytes, &bytes, &problem)) {
        contents.refused = !problem.isEmpty();
        if (contents.refused)
            contents.problems.append(problem);
        return contents;
    }
    QList<QByteArray> lines = bytes.split('\n');
    // What follows the last line end is a line cut short.
    const bool cut = !lines.takeLast().isEmpty();
    const auto lineText = [&lines](qsizetype i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        return QString::fromUtf8(line);
    };
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const CleanupLogEntry entry{lineText(i), lineText(i + 1), int(i + 1)};
        if (QDir::isAbsolutePath(entry.oldPath) && QDir::isAbsolutePath(entry.newPath))
            contents.entries.append(entry);
        else
            contents.problems.append(QStringLiteral("%1, lines %2 and %3: not full paths; not undone")
                                         .arg(path)
                                         .arg(i + 1)
                                         .arg(i + 2));
    }
    if (lines.size() % 2 == 1 || cut)
        contents.notes.append(cutShortNote(path, lines.size() + (cut ? 1 : 0)));
    return contents;
}

bool rewriteCleanupLog(const QList<CleanupLogEntry> &entries, QString *problem)
{
    if (entries.isEmpty()) {
        removeCleanupLog();
        return true;
    }
    QByteArray bytes;
    for (const CleanupLogEntry &entry : entries)
        bytes += pairBytes(entry.oldPath, entry.newPath);
    return writeSmallFile(cleanupLogPath(), bytes, problem);
}

void settleCleanupLog()
{
    struct stat st {};
    if (!lstatPath(setAsidePath(), &st) || !S_ISREG(st.st_mode))
        return;
    if (lstatPath(cleanupLogPath(), &st)) {
        const CleanupLogContents killedRun = readCleanupLog();
        if (killedRun.refused)
            return;
        if (anyRenameStands(killedRun.entries)) {
            QFile::remove(setAsidePath());
            return;
        }
        QFile::remove(cleanupLogPath());
    }
    renamePath(setAsidePath(), cleanupLogPath());
}

QString cleanupLogPath()
{
    return workFilePath(workfile::CleanupUndo);
}

bool cleanupLogExists()
{
    struct stat st {};
    return lstatPath(cleanupLogPath(), &st) || lstatPath(setAsidePath(), &st);
}

void removeCleanupLog()
{
    removeWorkFile(workfile::CleanupUndo);
}

} // namespace kaz
