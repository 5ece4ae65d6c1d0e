#pragma once

#include <QByteArray>

namespace kaz {

// A replacement of a file's bytes from offset on, as a journal keeps it: the
// old bytes themselves and hashes of the new ones, enough to tell whether the
// file still holds what an interrupted replacement left there.
struct ReplacedBytes {
    qint64 offset = 0;
    QByteArray oldBytes;
    qint64 newLength = 0;
    // SHA-256 over the new bytes up to the length of the old ones, and over
    // the rest of them (empty when the new bytes are no longer).
    QByteArray newHeadHash;
    QByteArray newRestHash;
    // The bytes end the file (the file's size changes with them); else the
    // replacement keeps the length and what follows is not looked at.
    bool reachesEnd = true;

    void hashNew(QByteArrayView newBytes);
    bool hasHashes() const { return !newHeadHash.isEmpty(); }
};

enum class WriteLeft {
    OldBytes,     // the file holds the old bytes (untouched, or put back whole)
    Interrupted,  // what the writer or a put-back left midway, or the new bytes
    SomethingElse // changed since: putting the old bytes back could undo someone's edit
};

// What the open file holds where the bytes were replaced. A write is taken
// to leave each of its steps whole (the new bytes over the old, then the new
// length; the old bytes put back, then the old length); anything between
// those states is something else. Without hashes only the old bytes are
// recognised.
WriteLeft whatTheWriteLeft(int fd, const ReplacedBytes &replaced);

} // namespace kaz
