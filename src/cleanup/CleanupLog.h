#pragma once

#include <QFile>
#include <QList>
#include <QString>

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

private:
    QFile m_file;
    qint64 m_end = 0;
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
