#pragma once

#include "FileOps.h"
#include "InterruptedWrite.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kaz {

// What a file held from a given offset on before its end was replaced: enough
// to put the old end back after the writer was killed halfway. Written to the
// program folder, flushed, before the file is touched, and removed after the
// file holds its new end.
struct TailJournalEntry {
    QByteArray path; // as the file system has it
    quint64 device = 0;
    quint64 inode = 0;
    qint64 offset = 0;
    qint64 oldSize = 0;
    qint64 newSize = 0;
    QByteArray oldTail; // the bytes from offset to oldSize
    // Hashes of the new end (ReplacedBytes); empty in journals of earlier
    // versions, whose files are then only recognised when they hold the old end.
    QByteArray newHeadHash;
    QByteArray newRestHash;

    // Sets the hashes of the new end (offset and oldTail set).
    void hashNewTail(QByteArrayView newTail);
    ReplacedBytes replaced() const;

    // Header line, old tail, and a hash over both, so that a journal cut off
    // by a kill is recognised (the file was not yet touched then).
    QByteArray render() const;
    static std::optional<TailJournalEntry> parse(const QByteArray &bytes);
    // The entry at the start of bytes, which may go on; length: its size.
    static std::optional<TailJournalEntry> parseFirst(QByteArrayView bytes, qsizetype *length);
};

// A journal of a batch of writes (TailWriteBatch): their number, then the
// entries. A journal that is not whole parses as nothing (it was cut off
// before its flush, when no file had been touched); one of a single entry
// as earlier versions wrote it parses too.
QByteArray renderTailJournal(const QList<TailJournalEntry> &entries);
std::optional<QList<TailJournalEntry>> parseTailJournal(const QByteArray &bytes);

// Puts back the old end of every file whose end replacement was interrupted
// (journals of writers that are no longer running) and removes the journals.
// Only a file that still holds what the interrupted write left gets its old
// end back; one changed since (or, with a journal of an earlier version
// without hashes, one that does not hold its old end) is left as it is and
// reported. Returns the number of files put back; problems (such files, and
// a file that could not be repaired, its journal kept for the next try) go
// to problems.
int recoverInterruptedTailWrites(QStringList *problems = nullptr);

} // namespace kaz
