#pragma once

#include "platform/AheadLog.h"

#include <QList>
#include <QString>

#include <utility>

namespace kaz {

// Writes the two undo logs of a run: "undo1.kaz" gets the path before a
// rename, "undo2.kaz" the path after it, line i of one matching line i of
// the other. Each pair is written before the rename is made and goes to the
// disk at once, so that a run killed at any moment can still be undone; a
// pair whose rename then failed is taken back. The logs of the run before
// are replaced only when this run renames something: they are set aside at
// the first pair and come back when no rename was made after all.
class UndoLogWriter
{
public:
    // Touches nothing yet: with the first pair the logs are recreated (each
    // run starts them anew), or with append the lines go on after those of a
    // run this one continues (a structure step followed by its rename run),
    // so that one undo reverses both.
    explicit UndoLogWriter(bool append = false);
    ~UndoLogWriter();
    UndoLogWriter(const UndoLogWriter &) = delete;
    UndoLogWriter &operator=(const UndoLogWriter &) = delete;

    // False when the pair cannot be logged (a path with a line break, a
    // full disk): the rename must then not be made.
    bool record(const QString &oldPath, const QString &newPath);
    // Takes back the last pair after its rename failed.
    void retract();
    // Logs a folder the run is about to make, as the pair "folder/" and
    // "folder/": the undo removes it once it is empty again. (An undo that
    // does not know such lines finds the file "already there".)
    bool recordFolder(const QString &folder);
    // Records many pairs at once, before any of their renames, with one
    // write per log.
    bool recordBatch(const QList<std::pair<QString, QString>> &pairs);
    // Takes back the pairs of the last batch from index on: their renames
    // were not made.
    void retractBatchFrom(qsizetype index);
    qint64 count() const { return m_count; }
    // Why the last pair could not be logged: the log and the system's error.
    QString problem() const { return m_problem; }

private:
    bool open();
    void cutBack();
    void alignForAppend();

    bool m_append = false;
    bool m_started = false;
    AheadLog m_old;
    AheadLog m_new;
    qint64 m_oldEnd = 0;
    qint64 m_newEnd = 0;
    // Where each pair of the last batch starts in the two logs.
    QList<qint64> m_batchOld;
    QList<qint64> m_batchNew;
    qint64 m_count = 0;
    QString m_problem;
};

} // namespace kaz
