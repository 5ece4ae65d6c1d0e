#include "Id3v1.h"

#include <algorithm>
#include <cstring>

namespace kaz::id3v1 {
namespace {

QByteArrayView trimmedField(QByteArrayView field)
{
    qsizetype end = field.size();
    // Padding of blanks or zeros is skipped eight bytes at a time.
    for (quint64 word; end >= 8; end -= 8) {
        std::memcpy(&word, field.data() + end - 8, sizeof word);
        if (word != 0x2020202020202020ULL && word != 0)
            break;
    }
    while (end > 0 && uchar(field[end - 1]) <= 32)
        --end;
    return field.first(end);
}

QByteArray padded(QByteArray bytes, int width)
{
    if (bytes.size() < width)
        bytes.append(width - bytes.size(), ' ');
    bytes.truncate(width);
    return bytes;
}

} // namespace

bool hasTagHeader(QByteArrayView tag)
{
    return tag.size() >= 3 && (tag[0] == 'T' || tag[0] == 't') && (tag[1] == 'A' || tag[1] == 'a')
           && (tag[2] == 'G' || tag[2] == 'g');
}

namespace {

// decode(field, bytes) gives the text of field 0 (title) to 4 (comment);
// nameFieldsOnly leaves year and comment empty.
template <typename Decode>
void parseWith(QByteArrayView tag, TagRecord &record, bool nameFieldsOnly, Decode decode)
{
    if (tag.size() < kTagSize)
        return;
    record.title = decode(0, trimmedField(tag.sliced(3, 30)));
    record.artist = decode(1, trimmedField(tag.sliced(33, 30)));
    record.album = decode(2, trimmedField(tag.sliced(63, 30)));
    if (!nameFieldsOnly)
        record.year = decode(3, tag.sliced(93, 4));
    const QByteArrayView comment = tag.sliced(97, 30);
    if (comment[28] == 0 && comment[29] != 0) {
        record.track = quint8(comment[29]);
        record.trackText = trackTextFor(record.track);
    } else {
        record.track = 0;
        record.trackText = QStringLiteral("0");
    }
    if (!nameFieldsOnly)
        record.comment = decode(4, trimmedField(comment));
    record.genre = quint8(tag[127]);
}

} // namespace

void parse(QByteArrayView tag, const TextCodec &codec, TagRecord &record)
{
    parseWith(tag, record, false, [&codec](int, QByteArrayView bytes) { return codec.decode(bytes); });
}

void parseNameFields(QByteArrayView tag, const TextCodec &codec, TagRecord &record)
{
    parseWith(tag, record, true, [&codec](int, QByteArrayView bytes) { return codec.decode(bytes); });
}

void parse(QByteArrayView tag, const TextCodec &codec, TagRecord &record, FieldMemory &memory)
{
    parseWith(tag, record, false,
              [&](int field, QByteArrayView bytes) { return memory.decode(field, bytes, codec); });
}

QString FieldMemory::decode(int field, QByteArrayView bytes, const TextCodec &codec)
{
    Field &f = m_fields[size_t(field)];
    if (bytes.size() > qsizetype(f.bytes.size()))
        return codec.decode(bytes);
    if (f.codec != &codec || bytes != QByteArrayView(f.bytes.data(), f.size)) {
        f.text = codec.decode(bytes);
        f.codec = &codec;
        std::copy(bytes.begin(), bytes.end(), f.bytes.begin());
        f.size = bytes.size();
    }
    return f.text;
}

QByteArray render(const TagValues &values, const TextCodec &codec)
{
    QByteArray tag("TAG");
    tag.reserve(kTagSize);
    tag += padded(codec.encode(values.title), 30);
    tag += padded(codec.encode(values.artist), 30);
    tag += padded(codec.encode(values.album), 30);
    tag += padded(codec.encode(values.year), 4);
    QByteArray comment = padded(codec.encode(values.comment), 30);
    if (const quint8 track = trackFromText(values.trackText)) {
        comment[28] = 0;
        comment[29] = char(track);
    }
    tag += comment;
    tag += char(values.genre);
    return tag;
}

QString withoutTrailingBlanks(QString text)
{
    while (!text.isEmpty() && text.back().unicode() <= 32)
        text.chop(1);
    return text;
}

QString visibleYear(QString year)
{
    return withoutTrailingBlanks(std::move(year));
}

QString commentWithoutTrack(const TagRecord &tag)
{
    QString comment = tag.comment;
    if (tag.track >= 33 && comment.size() >= 2 && comment.at(comment.size() - 2).unicode() == 0)
        comment.chop(2);
    return withoutTrailingBlanks(std::move(comment));
}

QString trackTextFor(int track)
{
    if (track <= 0)
        return QStringLiteral("0");
    if (track > 255)
        return QString::number(track);
    // Made once: every tagged file with a track number asks for one.
    static const QList<QString> texts = [] {
        QList<QString> list;
        for (int n = 0; n <= 255; ++n)
            list.append(n < 10 ? QLatin1Char('0') + QString::number(n) : QString::number(n));
        return list;
    }();
    return texts[track];
}

quint8 trackFromText(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok && n > 0 && n < 256 ? quint8(n) : 0;
}

} // namespace kaz::id3v1
