#pragma once

#include "platform/AheadLog.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace kaz {

// The undo log of the last cleanup run ("cleanup_undo.kaz" in the program
// folder): a pair of lines per rename, the old path and the new one. Each
// pair goes to the file with one write before its rename is made, so that a
// run killed at any moment can be undone; a pair whose rename failed is
// taken back. The rename run's logs are a different pair of files.
//
// The log of the run before is replaced only when this run renames
// something: it is set aside when the first pair is logged and comes back
// when no rename stands at the end (or, after a kill, at the next run or
// undo, see settleCleanupLog()).
class CleanupLogWriter
{
public:
    // Touches nothing yet: the log is started with the first pair.
    CleanupLogWriter();
    ~CleanupLogWriter();
    CleanupLogWriter(const CleanupLogWriter &) = delete;
    CleanupLogWriter &operator=(const CleanupLogWriter &) = delete;

    // False when the pair cannot be logged (a path with a line break, a
    // full disk, something other than a file in the log's place): the
    // rename must then not be made. problem() says why.
    bool record(const QString &oldPath, const QString &newPath);
    // Takes back the last pair after its rename failed.
    void retract();
    // Logs many pairs with one write, before any of their renames.
    bool recordBatch(const QList<std::pair<QString, QString>> &pairs);
    // Takes back the pairs of the last batch from index on: their renames
    // were not made.
    void retractBatchFrom(qsizetype index);
    // The log file and the system's error of the last failure.
    QString problem() const { return m_problem; }

private:
    bool append(const QByteArray &bytes);

    bool m_started = false;
    AheadLog m_log;
    qint64 m_end = 0;
    qint64 m_pairs = 0;
    QList<qint64> m_batch; // where each pair of the last batch starts
    QString m_problem;
};

struct CleanupLogEntry {
    QString oldPath;
    QString newPath;
    int line = 0; // of the old path, from 1
};

struct CleanupLogContents {
    QList<CleanupLogEntry> entries; // in run order
    // Lines that cannot be undone (not a full path), each named by its
    // number, or why the file is no log at all.
    QStringList problems;
    // A last line cut short: a run stopped while logging it, before its rename.
    QStringList notes;
    bool refused = false; // not a regular file or far too large: not read, left alone
};

// The pairs of the log in run order. Only a regular file of sensible size
// is read, and it is opened without waiting (a FIFO in its place never
// hangs a command). Empty when there is no log.
CleanupLogContents readCleanupLog();
// Replaces the log by these pairs (written whole and flushed under another
// name first); no pairs removes it. False, with the reason, when it could
// not be written: the old log then stays.
bool rewriteCleanupLog(const QList<CleanupLogEntry> &entries, QString *problem);
// After a run that was killed: when the log set aside at its first pair is
// still there, the killed run's log stays if one of its renames stands, and
// the one set aside comes back if none does.
void settleCleanupLog();
QString cleanupLogPath();
bool cleanupLogExists();
void removeCleanupLog();

} // namespace kaz
