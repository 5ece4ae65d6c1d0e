#pragma once

#include "TagRecord.h"

#include "platform/FileOps.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QString>

namespace kaz::picture {

// A picture file is any file (a cover, a text) that a structure operation
// carries along disguised as an MP3 file: its name ends in ".MP3" and a
// picture block is appended to it, sixteen "0" characters, a Lyrics3 block
// when a value is longer than 30 characters, and an ID3v1 tag whose title is
// the file's former name and whose comment begins with the marker.
inline const QString kMarker = QStringLiteral("~!MP3-PICTURE!~");

// Whether a comment begins with the marker.
bool hasMarker(const QString &comment);

// The block for a file of that name, with artist, album and the prepared
// comment of the first MP3 file of its folder.
QByteArray renderBlock(const QString &name, const QString &artist, const QString &album,
                       const QString &preparedComment, const TextCodec &codec = defaultTextCodec());

// The tag a file of fileSize bytes reads as once the block is appended.
TagRecord tagAfterAppending(const QByteArray &block, qint64 fileSize, const TextCodec &codec = defaultTextCodec());

// The size of the picture block at the end of a file whose tag was just read;
// 0 when its trailer is no picture block (a song whose comment happens to
// begin with the marker is no picture file).
qint64 blockSize(const QString &path, const TagRecord &tag);

// Appends a block; on failure the file is cut back to its former length.
// append and cut write only to a regular file: never through a symbolic
// link, and a pipe or device is refused without being waited for.
FsStatus append(const QString &path, const QByteArray &block);

// Cuts size bytes off the end of a file.
FsStatus cut(const QString &path, qint64 size);

// Takes the picture block off a file that got its former name back (its
// tag's title is that name); false when it carried none.
bool stripIfRestored(const QString &path, const TextCodec &codec = defaultTextCodec());

} // namespace kaz::picture
