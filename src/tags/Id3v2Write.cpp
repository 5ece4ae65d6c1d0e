#include "Id3v2Write.h"

#include "Genres.h"
#include "Id3v1.h"
#include "Id3v2.h"

#include <QStringDecoder>

#include <array>

namespace kaz::id3v2 {
namespace {

enum Encoding : quint8 { Latin1 = 0, Utf16 = 1, Utf16BigEndian = 2, Utf8 = 3 };

struct Frame {
    QByteArray id;
    qsizetype at = 0;   // in the tag, header first
    qsizetype size = 0; // header included
    QByteArrayView data;
};

quint32 bigEndian(QByteArrayView b, qsizetype at)
{
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 | quint32(quint8(b[at + 2])) << 8
        | quint32(quint8(b[at + 3]));
}

QByteArray sizeBytes(quint32 size, bool syncSafe)
{
    QByteArray b(4, '\0');
    for (int i = 3; i >= 0; --i) {
        b[i] = char(syncSafe ? (size & 0x7f) : (size & 0xff));
        size >>= syncSafe ? 7 : 8;
    }
    return b;
}

bool isFrameId(QByteArrayView id)
{
    for (char c : id) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// The frames of a tag of version 2.3 or 2.4 as they lie, or why they cannot be
// written back.
std::optional<QList<Frame>> framesOf(QByteArrayView tag, int version, QString *refusal)
{
    const qsizetype end = tag.size();
    QList<Frame> frames;
    for (qsizetype at = 10; at + 10 <= end && tag[at] != 0;) {
        const QByteArrayView id = tag.sliced(at, 4);
        quint32 size = bigEndian(tag, at + 4);
        if (version == 4) {
            if (size & 0x80808080) {
                *refusal = QStringLiteral("a frame size that is not sync-safe");
                return std::nullopt;
            }
            size = (size & 0x7f) | (size & 0x7f00) >> 1 | (size & 0x7f0000) >> 2 | (size & 0x7f000000) >> 3;
        }
        if (!isFrameId(id) || qint64(size) > end - at - 10) {
            *refusal = QStringLiteral("frames that cannot be read safely");
            return std::nullopt;
        }
        const quint8 format = quint8(tag[at + 9]);
        // Compressed or encrypted in 2.3; compressed, encrypted or unsynchronised in 2.4.
        if ((version == 3 && (format & 0xc0)) || (version == 4 && (format & 0x0e))) {
            *refusal = QStringLiteral("compressed, encrypted or unsynchronised frames");
            return std::nullopt;
        }
        frames.append({id.toByteArray(), at, qsizetype(size) + 10, tag.sliced(at + 10, size)});
        at += 10 + qsizetype(size);
    }
    return frames;
}

bool fitsLatin1(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

QByteArray encoded(const QString &text, quint8 encoding)
{
    switch (encoding) {
    case Latin1:
        return text.toLatin1();
    case Utf8:
        return text.toUtf8();
    default: {
        const bool big = encoding == Utf16BigEndian;
        QByteArray b = big ? QByteArray() : QByteArray("\xff\xfe", 2);
        for (QChar c : text) {
            const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xff);
            b += big ? hi : lo;
            b += big ? lo : hi;
        }
        return b;
    }
    }
}

QString decodedText(QByteArrayView b, quint8 encoding)
{
    if (encoding == Latin1)
        return QString::fromLatin1(b);
    if (encoding == Utf8)
        return QString::fromUtf8(b);
    auto decoder = QStringDecoder(encoding == Utf16BigEndian ? QStringConverter::Utf16BE : QStringConverter::Utf16);
    return decoder(b);
}

qsizetype terminatorWidth(quint8 encoding)
{
    return encoding == Utf16 || encoding == Utf16BigEndian ? 2 : 1;
}

// The encoding a frame of this version written anew uses: the old one where
// it is valid and holds the text.
quint8 encodingFor(const QString &text, int version, std::optional<quint8> old)
{
    if (old && *old <= Utf8 && (version == 4 || *old <= Utf16) && (*old != Latin1 || fitsLatin1(text)))
        return *old;
    if (fitsLatin1(text))
        return Latin1;
    return version == 3 ? Utf16 : Utf8;
}

QByteArray frameBytes(const QByteArray &id, const QByteArray &data, int version)
{
    return id + sizeBytes(quint32(data.size()), version == 4) + QByteArray(2, '\0') + data;
}

struct Comment {
    quint8 encoding = Latin1;
    QByteArray language = "eng";
    QString description;
};

std::optional<Comment> commentHead(QByteArrayView data)
{
    if (data.size() < 4 || quint8(data[0]) > Utf8)
        return std::nullopt;
    Comment c;
    c.encoding = quint8(data[0]);
    c.language = data.sliced(1, 3).toByteArray();
    const qsizetype width = terminatorWidth(c.encoding);
    const QByteArrayView rest = data.sliced(4);
    for (qsizetype i = 0; i + width <= rest.size(); i += width) {
        if (rest[i] == 0 && (width == 1 || rest[i + 1] == 0)) {
            c.description = decodedText(rest.first(i), c.encoding);
            return c;
        }
    }
    return std::nullopt;
}

// The comment KAZ reads: the first without a description, else the first
// whose description is no player's ("iTunNORM").
qsizetype readComment(const QList<Frame> &frames)
{
    qsizetype described = -1;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        if (frames[i].id != "COMM")
            continue;
        const std::optional<Comment> c = commentHead(frames[i].data);
        if (!c)
            continue;
        if (c->description.isEmpty())
            return i;
        if (described < 0 && !c->description.startsWith(QLatin1String("iTun")))
            described = i;
    }
    return described;
}

// Without the trailing codes of 32 or less that a read removes.
struct Field {
    QByteArray id;
    QString text;   // what the frame is to hold; empty: no frame
    bool write = false;
};

} // namespace

QString writeModeName(WriteMode mode)
{
    switch (mode) {
    case WriteMode::Add:
        return QStringLiteral("add");
    case WriteMode::Off:
        return QStringLiteral("off");
    case WriteMode::Update:
        break;
    }
    return QStringLiteral("update");
}

std::optional<WriteMode> writeModeFromName(QStringView name)
{
    for (WriteMode mode : {WriteMode::Update, WriteMode::Add, WriteMode::Off}) {
        if (name.compare(writeModeName(mode), Qt::CaseInsensitive) == 0)
            return mode;
    }
    return std::nullopt;
}

ComposedTag composeTag(QByteArrayView oldTag, const TagValues &values, const TagValues *start,
                       const TextCodec &codec)
{
    ComposedTag result;
    const bool fresh = oldTag.isEmpty();
    const int version = fresh ? 3 : quint8(oldTag.size() > 3 ? oldTag[3] : 0);
    result.version = version;
    const quint8 flags = fresh ? 0 : quint8(oldTag.size() > 5 ? oldTag[5] : 0);
    if (!fresh && (oldTag.size() < kHeaderSize || tagSize(oldTag) != oldTag.size())) {
        result.refusal = QStringLiteral("its ID3v2 tag is cut short");
        return result;
    }
    if (version != 3 && version != 4) {
        result.refusal = QStringLiteral("its ID3v2 tag is of version 2.%1, which is not written").arg(version);
        return result;
    }
    if (flags & 0x80) {
        result.refusal = QStringLiteral("its ID3v2 tag is unsynchronised");
        return result;
    }
    if (flags & 0x50) {
        result.refusal = QStringLiteral("its ID3v2 tag has an extended header or a footer");
        return result;
    }
    QList<Frame> frames;
    if (!fresh) {
        std::optional<QList<Frame>> walked = framesOf(oldTag, version, &result.refusal);
        if (!walked) {
            result.refusal = QStringLiteral("its ID3v2 tag has ") + result.refusal;
            return result;
        }
        frames = std::move(*walked);
    }

    // What the old tag gives, read as every read of it does.
    TagRecord old;
    old.genre = 255;
    if (const std::optional<Id3v2Values> v = fresh ? std::nullopt : parse(oldTag))
        fillRecord(*v, codec, old);
    const quint8 track = id3v1::trackFromText(values.trackText);
    const QString year = id3v1::withoutTrailingBlanks(values.year);
    const QString comment = id3v1::withoutTrailingBlanks(values.comment);
    // Left as it was by the write.
    const TagValues before = start ? *start : TagValues();
    const auto kept = [&](bool same) { return start && same; };
    std::array<Field, 7> fields{{
        {"TIT2", values.title,
         !kept(values.title == before.title) && old.longTitle != values.title && old.title != values.title},
        {"TPE1", values.artist,
         !kept(values.artist == before.artist) && old.longArtist != values.artist && old.artist != values.artist},
        {"TALB", values.album,
         !kept(values.album == before.album) && old.longAlbum != values.album && old.album != values.album},
        {"TRCK", track ? QString::number(track) : QString(),
         !kept(track == id3v1::trackFromText(before.trackText)) && old.track != track},
        {version == 3 ? "TYER" : "TDRC", year, !kept(year == id3v1::withoutTrailingBlanks(before.year)) && old.year != year},
        {"TCON", values.genre == 255 ? QString() : genreName(values.genre),
         !kept(values.genre == before.genre) && old.genre != values.genre},
        {"COMM", comment, !kept(comment == id3v1::withoutTrailingBlanks(before.comment)) && old.comment != comment},
    }};
    // The encoding of the tag's first text frame, for frames it gets anew.
    std::optional<quint8> tagEncoding;
    for (const Frame &f : frames) {
        if (f.id.startsWith('T') && f.id != "TXXX" && !f.data.isEmpty()) {
            tagEncoding = quint8(f.data[0]);
            break;
        }
    }
    const auto textFrame = [&](const Field &field, std::optional<quint8> oldEncoding) {
        const quint8 encoding = encodingFor(field.text, version, oldEncoding);
        return frameBytes(field.id, char(encoding) + encoded(field.text, encoding), version);
    };
    const auto commentFrame = [&](const Field &field, const Comment &c, bool keepEncoding) {
        const quint8 encoding
            = encodingFor(field.text + c.description, version, keepEncoding ? std::optional(c.encoding) : tagEncoding);
        QByteArray data(1, char(encoding));
        data += c.language.size() == 3 ? c.language : QByteArray("eng");
        // In UTF-16 the description and the text have a byte-order mark each.
        data += encoded(c.description, encoding) + QByteArray(terminatorWidth(encoding), '\0');
        data += encoded(field.text, encoding);
        return frameBytes("COMM", data, version);
    };

    const qsizetype commentAt = readComment(frames);
    QByteArray body;
    std::array<bool, 7> placed{};
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const Frame &f = frames[i];
        qsizetype slot = -1;
        for (qsizetype s = 0; s < 6; ++s) {
            if (fields[s].write && f.id == fields[s].id)
                slot = s;
        }
        if (fields[6].write && i == commentAt)
            slot = 6;
        if (slot < 0) {
            body += oldTag.sliced(f.at, f.size);
            continue;
        }
        const Field &field = fields[slot];
        if (placed[slot] || field.text.isEmpty()) {
            placed[slot] = true;
            continue; // a second frame of the id, or an emptied field
        }
        placed[slot] = true;
        if (slot == 6)
            body += commentFrame(field, commentHead(f.data).value_or(Comment()), true);
        else
            body += textFrame(field, f.data.isEmpty() ? std::nullopt : std::optional(quint8(f.data[0])));
    }
    for (qsizetype s = 0; s < 7; ++s) {
        const Field &field = fields[s];
        if (!field.write || placed[s] || field.text.isEmpty())
            continue;
        body += s == 6 ? commentFrame(field, Comment(), false) : textFrame(field, tagEncoding);
    }

    const qint64 room = fresh ? 0 : oldTag.size() - kHeaderSize;
    const qint64 padding = body.size() <= room ? room - body.size() : kNewPadding;
    const qint64 total = body.size() + padding;
    if (total > kMaxWrittenTag - kHeaderSize) {
        result.refusal = QStringLiteral("its ID3v2 tag would be larger than 16 MB");
        return result;
    }
    result.bytes = QByteArray("ID3", 3) + char(version) + '\0' + char(flags) + sizeBytes(quint32(total), true);
    result.bytes += body;
    result.bytes += QByteArray(padding, '\0');
    return result;
}

} // namespace kaz::id3v2
