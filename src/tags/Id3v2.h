#pragma once

#include "TagRecord.h"
#include "platform/TextCodec.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kaz {

class ReadOnlyFile;

namespace id3v2 {

// Bytes of the tag header at the start of a file.
inline constexpr int kHeaderSize = 10;
// The most of a tag that is read; frames beyond (large pictures, mostly) are
// left unread.
inline constexpr qint64 kMaxTagBytes = 4 * 1024 * 1024;

// The size of the whole tag (header, body and footer) that a file's first
// ten bytes announce; nothing when they are no ID3v2.2 to 2.4 header.
std::optional<qint64> tagSize(QByteArrayView header);

// Parses a tag from the bytes at the start of a file (header first). A
// broken or hostile tag, or one without any of the fields KAZ uses, gives
// nothing. A compressed frame that inflates past its declared size (or the
// frames of a tag past 16 MB together) is left unread; unreadable, when
// given, is then set.
std::optional<Id3v2Values> parse(QByteArrayView bytes, bool *unreadable = nullptr);
// The same through TagLib alone, which parse() leaves the uncommon tags to
// (tests hold the two against each other).
std::optional<Id3v2Values> parseWithTagLib(QByteArrayView bytes, bool *unreadable = nullptr);

// Reads the tag at the start of an open file: one read of the header, one of
// the tag. The file is never changed.
std::optional<Id3v2Values> read(const ReadOnlyFile &file, bool *unreadable = nullptr);
// The same when the file's first bytes (at least the header, or the whole
// file) are read already: more is read only for a tag that goes beyond them.
std::optional<Id3v2Values> read(const ReadOnlyFile &file, QByteArrayView start, bool *unreadable = nullptr);

// Fills the record's fields from the values as a read of an ID3v1 tag with
// a Lyrics3 block would: texts through the code page (a character it cannot
// hold becomes "?"), values over 30 characters in the long fields.
void fillRecord(const Id3v2Values &values, const TextCodec &codec, TagRecord &record);

} // namespace id3v2
} // namespace kaz
