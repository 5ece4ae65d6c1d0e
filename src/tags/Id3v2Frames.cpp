// Most tags in a collection are plain ID3v2.3 or 2.4 tags of a few text
// frames; parsing every frame of them through TagLib costs more than reading
// the file. This reader takes those tags on its own and gives up on
// everything it does not know to read exactly as TagLib does, so that a tag
// reads the same whichever of the two read it.
#include "Id3v2Frames.h"

#include <QStringDecoder>

namespace kaz::id3v2 {
namespace {

constexpr qsizetype kHeader = 10;

enum Encoding : quint8 { Latin1 = 0, Utf16 = 1, Utf16BigEndian = 2, Utf8 = 3 };

quint32 bigEndian(QByteArrayView b, qsizetype at)
{
    return quint32(quint8(b[at])) << 24 | quint32(quint8(b[at + 1])) << 16 | quint32(quint8(b[at + 2])) << 8
        | quint32(quint8(b[at + 3]));
}

bool isFrameId(QByteArrayView b, qsizetype at)
{
    if (at < 0 || at + 4 > b.size())
        return false;
    for (qsizetype i = at; i < at + 4; ++i) {
        const char c = b[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Characters outside the Basic Multilingual Plane, noncharacters and broken
// bytes come out of TagLib otherwise than out of Qt: such a text is left to
// TagLib.
bool isPlain(const QString &s)
{
    for (QChar c : s) {
        if (c.isSurrogate() || c.unicode() >= 0xfffe)
            return false;
    }
    return true;
}

// A text of one encoding, cut at its first NUL as TagLib's strings are;
// nothing when TagLib could read it otherwise.
std::optional<QString> decoded(QByteArrayView b, quint8 encoding)
{
    QString s;
    switch (encoding) {
    case Latin1:
        s = QString::fromLatin1(b);
        break;
    case Utf8: {
        // A leading byte-order mark stays a character, as in TagLib; a cut
        // sequence is an error.
        QStringDecoder utf8(QStringConverter::Utf8,
                            QStringConverter::Flag::ConvertInitialBom | QStringConverter::Flag::Stateless);
        s = utf8(b);
        if (utf8.hasError())
            return std::nullopt;
        break;
    }
    case Utf16:
    case Utf16BigEndian: {
        qsizetype at = 0;
        bool big = encoding == Utf16BigEndian;
        if (encoding == Utf16) {
            // Without a byte-order mark the text is empty.
            if (b.size() < 2)
                return QString();
            const quint8 first = quint8(b[0]), second = quint8(b[1]);
            if (first == 0xff && second == 0xfe)
                big = false;
            else if (first == 0xfe && second == 0xff)
                big = true;
            else
                return QString();
            at = 2;
        }
        const qsizetype units = (b.size() - at) / 2; // an odd last byte is dropped
        s.resize(units);
        QChar *out = s.data();
        for (qsizetype i = 0; i < units; ++i, at += 2) {
            const quint8 hi = quint8(b[big ? at : at + 1]), lo = quint8(b[big ? at + 1 : at]);
            out[i] = QChar(char16_t(hi << 8 | lo));
        }
        break;
    }
    default:
        return std::nullopt;
    }
    if (!isPlain(s))
        return std::nullopt;
    if (const qsizetype nul = s.indexOf(QChar(0)); nul >= 0)
        s.truncate(nul);
    return s;
}

qsizetype delimiterWidth(quint8 encoding)
{
    return encoding == Utf16 || encoding == Utf16BigEndian ? 2 : 1;
}

// The first text delimiter at or after from, at the text's alignment.
qsizetype findDelimiter(QByteArrayView b, qsizetype from, qsizetype width)
{
    for (qsizetype i = from; i + width <= b.size(); i += width) {
        if (b[i] == 0 && (width == 1 || b[i + 1] == 0))
            return i;
    }
    return -1;
}

// A text frame's body: the encoding byte and one text. Trailing NULs go;
// a frame of several texts is left to TagLib.
std::optional<QString> textFrame(QByteArrayView data)
{
    if (data.size() < 2)
        return QString();
    const quint8 encoding = quint8(data[0]);
    if (encoding > Utf8)
        return std::nullopt;
    const qsizetype width = delimiterWidth(encoding);
    qsizetype length = data.size() - 1;
    while (length > 0 && data[length] == 0)
        --length;
    while (length % width != 0)
        ++length;
    const QByteArrayView texts = data.sliced(1).first(qMin(length, data.size() - 1));
    QByteArrayView only;
    int count = 0;
    qsizetype start = 0;
    while (start < texts.size()) {
        const qsizetype end = findDelimiter(texts, start, width);
        const QByteArrayView piece = texts.sliced(start, (end < 0 ? texts.size() : end) - start);
        if (!piece.isEmpty()) {
            only = piece;
            ++count;
        }
        if (end < 0)
            break;
        start = end + width;
    }
    if (count > 1)
        return std::nullopt;
    return count == 0 ? QString() : decoded(only, encoding);
}

struct Comment {
    QString description, text;
};

// A comment frame's body: encoding, language, description, text.
std::optional<Comment> commentFrame(QByteArrayView data)
{
    if (data.size() < 5)
        return Comment{};
    const quint8 encoding = quint8(data[0]);
    if (encoding > Utf8)
        return std::nullopt;
    const QByteArrayView rest = data.sliced(4);
    const qsizetype width = delimiterWidth(encoding);
    const qsizetype end = findDelimiter(rest, 0, width);
    if (end < 0 || end + width >= rest.size())
        return Comment{}; // no text after the description: neither counts
    const std::optional<QString> description = decoded(rest.first(end), encoding);
    const std::optional<QString> text = decoded(rest.sliced(end + width), encoding);
    if (!description || !text)
        return std::nullopt;
    return Comment{*description, *text};
}

// "(17)Rock", "(17)", "17" and names are read alike; other parentheses
// ("(RX)", "()x") are left to TagLib.
bool isPlainGenre(const QString &field)
{
    if (!field.startsWith(QLatin1Char('(')))
        return true;
    const qsizetype close = field.indexOf(QLatin1Char(')'));
    if (close <= 0)
        return true;
    if (close < 2 || close > 4)
        return false;
    for (qsizetype i = 1; i < close; ++i) {
        if (field.at(i) < QLatin1Char('0') || field.at(i) > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

std::optional<FrameTexts> readCommonFrames(QByteArrayView bytes)
{
    if (bytes.size() < kHeader || !bytes.startsWith("ID3"))
        return std::nullopt;
    const int version = quint8(bytes[3]);
    if ((version != 3 && version != 4) || bytes[5] != 0)
        return std::nullopt;
    quint32 size = 0;
    for (int i = 6; i < 10; ++i) {
        if (quint8(bytes[i]) & 0x80)
            return std::nullopt;
        size = size << 7 | quint8(bytes[i]);
    }
    const qsizetype tagBody = size;
    const QByteArrayView body = bytes.sliced(kHeader, qMin(tagBody, bytes.size() - kHeader));
    // Where the bytes end before the tag, a test past them has no answer.
    const auto frameIdAt = [&](qsizetype at) -> std::optional<bool> {
        if (at + 4 <= tagBody && at + 4 > body.size())
            return std::nullopt;
        return isFrameId(body, at);
    };

    FrameTexts texts;
    texts.version = version;
    bool seen[7] = {};
    std::optional<Comment> comment;
    bool commentDone = false;
    for (qsizetype at = 0; at < tagBody - kHeader;) {
        if (at + kHeader > body.size())
            return std::nullopt; // the bytes end first
        if (body[at] == 0)
            break; // padding
        if (!isFrameId(body, at))
            return std::nullopt;
        const QByteArrayView id = body.sliced(at, 4);
        quint32 frameSize = bigEndian(body, at + 4);
        if (version == 4) {
            if (frameSize & 0x80808080)
                return std::nullopt;
            frameSize = (frameSize & 0x7f) | (frameSize & 0x7f00) >> 1 | (frameSize & 0x7f0000) >> 2
                | (frameSize & 0x7f000000) >> 3;
            // Some writers put plain sizes into 2.4 tags; TagLib then guesses
            // by where the next frame starts.
            if (frameSize > 127) {
                const std::optional<bool> next = frameIdAt(at + kHeader + frameSize);
                if (!next)
                    return std::nullopt;
                if (!*next) {
                    const std::optional<bool> plainNext = frameIdAt(at + kHeader + qsizetype(bigEndian(body, at + 4)));
                    if (!plainNext || *plainNext)
                        return std::nullopt;
                }
            }
        }
        // Empty, cut (or past the bytes), compressed, encrypted, grouped or unsynchronised.
        if (frameSize == 0 || qsizetype(frameSize) > body.size() - at - kHeader || body[at + 9] != 0)
            return std::nullopt;
        const QByteArrayView data = body.sliced(at + kHeader, frameSize);
        at += kHeader + frameSize;

        static const char *const kIds[] = {"TIT2", "TPE1", "TALB", "TDRC", "TRCK", "TCON"};
        QString *const slots[] = {&texts.title, &texts.artist, &texts.album, &texts.recordingDate, &texts.track};
        int slot = -1;
        for (int i = 0; i < 6; ++i) {
            if (id == kIds[i])
                slot = i;
        }
        if (version == 3 && id == "TYER")
            slot = 3;
        if (version == 4 && id == "TRDC")
            slot = 3;
        if (version == 3 && id == "TDAT")
            return std::nullopt; // TagLib folds it into the date
        if (id == "COMM") {
            if (commentDone)
                continue;
            // Players park their own data in described comments ("iTunNORM").
            const std::optional<Comment> c = commentFrame(data);
            if (!c)
                return std::nullopt;
            if (c->description.isEmpty()) {
                comment = c;
                commentDone = true;
            } else if (!comment && !c->description.startsWith(QLatin1String("iTun"))) {
                comment = c;
            }
            continue;
        }
        if (slot < 0 || seen[slot])
            continue;
        seen[slot] = true;
        const std::optional<QString> text = textFrame(data);
        if (!text)
            return std::nullopt;
        if (slot < 5) {
            *slots[slot] = *text;
        } else if (!text->isEmpty()) {
            if (!isPlainGenre(*text))
                return std::nullopt;
            texts.genreFields = QStringList{*text};
        }
    }
    if (comment)
        texts.comment = comment->text;
    return texts;
}

} // namespace kaz::id3v2
