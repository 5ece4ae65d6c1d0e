#pragma once

#include "TagRecord.h"
#include "platform/TextCodec.h"

#include <QByteArrayView>
#include <QString>

#include <array>

namespace kaz::id3v1 {

inline constexpr int kTagSize = 128;
// Bytes read from the end of a file for one tag read: the tag and the
// 16 bytes in front of it (Lyrics3 size digits and end mark).
inline constexpr int kTailSize = 144;

// True when the 3 bytes start with "TAG" in any letter case.
bool hasTagHeader(QByteArrayView tag);

// Fills the ID3v1 fields of the record from the 128 tag bytes.
void parse(QByteArrayView tag, const TextCodec &codec, TagRecord &record);
// The same without the year and the comment (they stay empty): the texts a
// file name is made of.
void parseNameFields(QByteArrayView tag, const TextCodec &codec, TagRecord &record);

// The texts of the tag parsed before, for a run over many files: the songs
// of an album follow each other, and a field whose bytes are those of the
// tag before gets its text shared instead of decoded again.
class FieldMemory
{
public:
    QString decode(int field, QByteArrayView bytes, const TextCodec &codec);

private:
    struct Field {
        const TextCodec *codec = nullptr; // none: nothing remembered yet
        std::array<char, 30> bytes{};
        qsizetype size = 0;
        QString text;
    };
    std::array<Field, 5> m_fields;
};

// parse() with the texts of the tag before at hand; the same record.
void parse(QByteArrayView tag, const TextCodec &codec, TagRecord &record, FieldMemory &memory);

// The 128 bytes of a tag holding the values (texts cut to their widths).
QByteArray render(const TagValues &values, const TextCodec &codec);

// The text without the blanks and 0 bytes that pad a field to its width.
QString withoutTrailingBlanks(QString text);
// The year as shown: without the blanks and 0 bytes that pad an empty one.
QString visibleYear(QString year);
// The comment as shown: a track number of 33 or more stays at the end of the
// comment as read, behind its 0 byte; this is the comment without the two.
QString commentWithoutTrack(const TagRecord &tag);

// "07" for 7, "123" for 123.
QString trackTextFor(int track);
// The track byte a track text stands for; 0 when it holds no number 1..255.
quint8 trackFromText(const QString &text);

} // namespace kaz::id3v1
