#pragma once

#include "FileOps.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kaz {

// A change of a file at both ends: its first oldHead.size() bytes (which must
// still be oldHead) become newHead, and everything from tailOffset on (an
// offset in the file as it is) becomes newTail.
struct FileEnds {
    QByteArray oldHead;
    QByteArray newHead;
    qint64 tailOffset = 0;
    QByteArray newTail;
};

// Bytes of a file that a write replaces: what was there and what goes there
// (either may reach past the file's end).
struct HeadPatch {
    qint64 offset = 0;
    QByteArray oldBytes;
    QByteArray newBytes;
};

// What the journal of a write at a file's start keeps. In place: the file's
// identity, sizes and the bytes before and after at every changed place, so
// that a replay puts the old bytes back only while each changed byte is still
// old or new (nothing else has touched the file since). Written anew: the
// hidden name of the new file, removed when the kill came before it took the
// old one's place.
struct HeadJournalEntry {
    QByteArray path;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 oldSize = 0;
    qint64 newSize = 0;
    QByteArray temporary; // the new file's name while it is written; empty in place
    QList<HeadPatch> patches;

    QByteArray render() const;
    // The entry at the start of bytes; length: its size. A cut or changed
    // entry (its hash does not match) gives nothing.
    static std::optional<HeadJournalEntry> parseFirst(QByteArrayView bytes, qsizetype *length);
};

QByteArray renderHeadJournal(const QList<HeadJournalEntry> &entries);
// Nothing unless every entry is whole (a journal cut off before its flush,
// when no file had been touched yet).
std::optional<QList<HeadJournalEntry>> parseHeadJournal(const QByteArray &bytes);

// Puts back the old bytes of every file whose in-place write was interrupted,
// removes the unfinished new files of interrupted rewrites, and removes the
// journals (those of writers that are no longer running). Returns the number
// of files put back; files that could not be repaired go to problems.
int recoverInterruptedHeadWrites(QStringList *problems = nullptr);

// Changes at a file's start and end for the files of one run, by group
// commit. A new start that has the old one's size is written in place under
// a journal of the old bytes (one journal and one flush for many files); one
// of another size gives a new file under a hidden name in the same folder
// (the audio copied between the ends), flushed and renamed over the old one
// with its mode (and owner where permitted). A file with several hard links
// is only written in place: when its start would change size, only its end
// is written and the outcome says so. Links are never followed, only regular
// files are written; a failure leaves the file as it was.
class HeadWriteBatch
{
public:
    using Done = TailWriteBatch::Done;

    HeadWriteBatch();
    ~HeadWriteBatch(); // commits what is still queued
    HeadWriteBatch(const HeadWriteBatch &) = delete;
    HeadWriteBatch &operator=(const HeadWriteBatch &) = delete;

    // Queues the change; done gets the outcome at once when the file cannot
    // be written, else when its batch is committed.
    void add(const QString &path, const FileEnds &ends, Done done);
    void commit();

private:
    struct Pending;
    std::vector<Pending> m_pending;
    qint64 m_journalBytes = 0;
};

// HeadWriteBatch for one file.
FsStatus replaceFileEnds(const QString &path, const FileEnds &ends);

} // namespace kaz
