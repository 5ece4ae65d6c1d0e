#pragma once

#include <QFile>
#include <QList>
#include <QString>

#include <utility>

namespace kaz {

// The undo log of the last cleanup run ("cleanup_undo.kaz" in the program
// folder): a pair of lines per rename, the old path and the new one. Each
// pair goes to the file with one write before its rename is made, so that a
// run killed at any moment can be undone; a pair whose rename failed is
// taken back. The rename run's logs are a different pair of files.
class CleanupLogWriter
{
public:
    // Starts the log anew.
    CleanupLogWriter();

    bool isOpen() const { return m_file.isOpen(); }
    // False when the pair cannot be logged (a path with a line break, a
    // full disk): the rename must then not be made.
    bool record(const QString &oldPath, const QString &newPath);
    // Takes back the last pair after its rename failed.
    void retract();
    // Logs many pairs with one write, before any of their renames.
    bool recordBatch(const QList<std::pair<QString, QString>> &pairs);
    // Takes back the pairs of the last batch from index on: their renames
    // were not made.
    void retractBatchFrom(qsizetype index);

private:
    void cutTo(qint64 end);

    QFile m_file;
    qint64 m_end = 0;
    QList<qint64> m_batch; // where each pair of the last batch starts
};

struct CleanupLogEntry {
    QString oldPath;
    QString newPath;
};

// The pairs of the log in run order; an incomplete last pair (a write cut
// short) is left out. Empty when there is no log.
QList<CleanupLogEntry> readCleanupLog();
QString cleanupLogPath();
bool cleanupLogExists();
void removeCleanupLog();

} // namespace kaz
