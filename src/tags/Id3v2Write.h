#pragma once

#include "TagRecord.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kaz::id3v2 {

// How a write of tag values treats the ID3v2 tag at the start of a file:
// update the tag of files that have one, also give files without one a tag
// (ID3v2.3), or leave ID3v2 tags alone. The file's end is written alike in
// every mode.
enum class WriteMode { Update, Add, Off };

// "update", "add", "off" (the setting's and the command line's words).
QString writeModeName(WriteMode mode);
std::optional<WriteMode> writeModeFromName(QStringView name);

// The padding a tag written anew gets, so that the next edit fits in place.
inline constexpr int kNewPadding = 2048;
// Tags beyond this size are not rewritten (a journal holds what changes).
inline constexpr qint64 kMaxWrittenTag = 16 * 1024 * 1024;

struct ComposedTag {
    QByteArray bytes; // the whole new tag: header, frames, padding
    QString refusal;  // set: the old tag cannot be written back safely (why)
    int version = 0;  // 3 or 4
};

// The tag that replaces oldTag (whole, header first; empty: the file has
// none, and an ID3v2.3 tag is made) so that it holds values; before: the
// values the write started from (the file's tag as read; null: every value
// is new, as for a new tag beside a tagged file's ID3v1 tag). A field whose value
// is still the one it started from, or which the old tag already gives (read
// as KAZ reads it), keeps its frame's bytes, as does every other frame: the
// ID3v2 tag's own values are not replaced by the shorter ones of an ID3v1
// tag the user did not change. A changed field gets its frame anew in
// the frame's own text encoding where that holds the text (else UTF-16 in
// ID3v2.3, UTF-8 in 2.4), an emptied one loses it. When the frames fit into
// the old tag, the new one has exactly its size; otherwise it gets
// kNewPadding bytes of padding. Tags with unsynchronisation, an extended
// header, a footer, compressed or encrypted frames, frames that cannot be
// walked, or of version 2.2, are refused.
ComposedTag composeTag(QByteArrayView oldTag, const TagValues &values, const TagValues *before,
                       const TextCodec &codec);

} // namespace kaz::id3v2
