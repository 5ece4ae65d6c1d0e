// The one place that knows TagLib: the ID3v2 tag at the start of a file is
// parsed from bytes read here, never through a file TagLib opens itself, so
// that the file rules of the program (regular files only, no links followed,
// nothing written) hold for it as for every other read.
#include "Id3v2.h"

#include "BoundedInflate.h"
#include "Genres.h"
#include "Id3v1.h"
#include "Id3v2Frames.h"

#include "platform/FileOps.h"

#include <commentsframe.h>
#include <id3v1genres.h>
#include <id3v2extendedheader.h>
#include <id3v2frame.h>
#include <id3v2header.h>
#include <id3v2synchdata.h>
#include <id3v2tag.h>
#include <textidentificationframe.h>

#include <QRegularExpression>

namespace kaz::id3v2 {
namespace {

// TagLib parses a tag's body with the protected parse(); the tag's header is
// set from the bytes first, as its own read() would.
class TagFromBytes : public TagLib::ID3v2::Tag
{
public:
    TagFromBytes(QByteArrayView header, QByteArrayView body)
    {
        this->header()->setData(bytes(header));
        parse(bytes(body));
    }

    static TagLib::ByteVector bytes(QByteArrayView b) { return TagLib::ByteVector(b.data(), uint(b.size())); }
};

// TagLib keeps UTF-16 code units in its wide strings; read as UCS-4
// (QString::fromStdWString) a surrogate pair would break and a leading
// U+FEFF would be taken for a byte-order mark.
QString text(const TagLib::String &s)
{
    const std::wstring units = s.toWString();
    QString out(qsizetype(units.size()), Qt::Uninitialized);
    for (size_t i = 0; i < units.size(); ++i)
        out[qsizetype(i)] = QChar(char16_t(units[i]));
    return out;
}

QString firstText(const TagLib::ID3v2::Tag &tag, const char *id)
{
    const TagLib::ID3v2::FrameList &frames = tag.frameList(id);
    return frames.isEmpty() ? QString() : text(frames.front()->toString());
}

QString commentOf(const TagLib::ID3v2::Tag &tag)
{
    const TagLib::ID3v2::CommentsFrame *first = nullptr;
    for (const TagLib::ID3v2::Frame *f : tag.frameList("COMM")) {
        const auto *c = dynamic_cast<const TagLib::ID3v2::CommentsFrame *>(f);
        if (!c)
            continue;
        if (c->description().isEmpty())
            return text(c->text());
        // Players park their own data in described comments ("iTunNORM").
        if (!first && !c->description().startsWith("iTun"))
            first = c;
    }
    return first ? text(first->text()) : QString();
}

// A genre field: "17", "(17)", "(17)Rock" or a name.
std::optional<std::pair<QString, int>> genreOf(const QString &field)
{
    static const QRegularExpression numbered(QStringLiteral("^\\((\\d{1,3})\\)(.*)$"));
    const QString f = field.trimmed();
    bool isNumber = false;
    int number = f.toInt(&isNumber);
    if (const QRegularExpressionMatch m = numbered.match(f); m.hasMatch()) {
        number = m.captured(1).toInt(&isNumber);
        if (!m.captured(2).isEmpty() && (!isNumber || number > 255))
            return genreOf(m.captured(2));
    }
    if (isNumber) {
        if (number < 0 || number > 255 || genreName(number).isEmpty())
            return std::nullopt;
        return std::pair{genreName(number), number};
    }
    if (f.isEmpty() || f.startsWith(QLatin1Char('(')))
        return std::nullopt; // "(RX)", "(CR)": remix and cover, no genre
    for (int n = 0; n < 256; ++n) {
        if (genreName(n).compare(f, Qt::CaseInsensitive) == 0)
            return std::pair{genreName(n), n};
    }
    return std::pair{f, 255};
}

QStringList genreFields(const TagLib::ID3v2::Tag &tag)
{
    const TagLib::ID3v2::FrameList &frames = tag.frameList("TCON");
    const auto *frame = frames.isEmpty() ? nullptr
                                         : dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame *>(frames.front());
    QStringList fields;
    if (frame) {
        for (const TagLib::String &field : frame->fieldList())
            fields << text(field);
    }
    return fields;
}

// TagLib splits "(17)Rock" into the fields it names, the number going where
// the name is its genre; the common-frame reader leaves that to here.
QStringList splitNumberedGenres(const QStringList &fields)
{
    QStringList split;
    for (const QString &field : fields) {
        const qsizetype close = field.indexOf(QLatin1Char(')'));
        if (!field.startsWith(QLatin1Char('(')) || close <= 0) {
            split << field;
            continue;
        }
        const QString number = field.mid(1, close - 1);
        const QString name = field.mid(close + 1);
        bool isNumber = false;
        const int n = number.toInt(&isNumber);
        if (isNumber && n >= 0 && n <= 255 && text(TagLib::ID3v1::genre(n)) != name)
            split << number;
        if (!name.isEmpty())
            split << name;
    }
    return split;
}

// TagLib's frame header class, which it keeps to its frames.
class FrameAccess : public TagLib::ID3v2::Frame
{
public:
    using Header = TagLib::ID3v2::Frame::Header;
};

// The most that the compressed frames of one tag may inflate to together.
constexpr qint64 kMaxInflatedTagBytes = 16 * 1024 * 1024;

// TagLib inflates a compressed frame whole, whatever it grows to. Each one
// is tried here first, walking the frames as TagLib's tag parser does (with
// its own header classes, so that both see the same frames): a frame that
// inflates past the size it declares, or past what is left of the limit for
// the whole tag, is made an unknown frame without compression, which TagLib
// keeps unread. header and body are changed only then; returns whether a
// frame was.
bool boundCompressedFrames(QByteArray &header, QByteArray &body)
{
    const TagLib::ID3v2::Header tagHeader(TagFromBytes::bytes(header));
    const unsigned version = tagHeader.majorVersion();
    if (version < 3 || version > 4)
        return false; // frames of ID3v2.2 are never compressed
    constexpr int kFrameHeader = 10;
    const bool tagUnsynchronised = tagHeader.unsynchronisation();
    const bool decodedWhole = tagUnsynchronised && version == 3;
    TagLib::ByteVector data = TagFromBytes::bytes(body);
    if (decodedWhole)
        data = TagLib::ID3v2::SynchData::decode(data);
    qint64 position = 0;
    const qint64 length = data.size();
    // Where the walk may differ from TagLib's (its end, a frame that does
    // not fit), it goes on rather than stops: a frame tried for nothing does
    // no harm.
    if (tagHeader.extendedHeader()) {
        TagLib::ID3v2::ExtendedHeader extended;
        extended.setData(data);
        if (extended.size() <= data.size())
            position += extended.size();
    }
    qint64 budget = kMaxInflatedTagBytes;
    bool changed = false;
    for (; position < length - kFrameHeader && data.at(uint(position)) != 0;) {
        const TagLib::ByteVector rest = data.mid(uint(position));
        const FrameAccess::Header frame(rest, version);
        const qint64 size = frame.frameSize();
        if (frame.compression() && !frame.encryption()) {
            TagLib::ByteVector fields = rest.mid(kFrameHeader);
            if (version == 4 && (tagUnsynchronised || frame.unsynchronisation()))
                fields = TagLib::ID3v2::SynchData::decode(rest.mid(kFrameHeader, uint(size)));
            const TagLib::ByteVector sizeBytes = fields.mid(0, 4);
            const qint64 declared = version == 4 ? TagLib::ID3v2::SynchData::toUInt(sizeBytes) : sizeBytes.toUInt(true);
            const TagLib::ByteVector &stream = fields;
            qint64 inflated = 0;
            if (stream.size() > 4
                && inflatesWithin(QByteArrayView(stream.data() + 4, stream.size() - 4), qMin(declared, budget), &inflated)) {
                budget -= inflated;
            } else {
                for (int i = 0; i < 4; ++i)
                    data[int(position) + i] = 'X';
                const int flags = int(position) + 9;
                data[flags] = char(data.at(uint(flags)) & (version == 4 ? ~0x08 : ~0x80));
                changed = true;
            }
        }
        if (size == 0)
            break; // TagLib stops here
        position += size + kFrameHeader;
    }
    if (!changed)
        return false;
    body = QByteArray(data.data(), data.size());
    if (decodedWhole)
        header[5] = char(header.at(5) & ~0x80);
    return true;
}

FrameTexts tagLibFrames(QByteArrayView tag, bool *unreadable)
{
    QByteArray header = tag.first(kHeaderSize).toByteArray();
    QByteArray body = tag.sliced(kHeaderSize).toByteArray();
    if (boundCompressedFrames(header, body) && unreadable)
        *unreadable = true;
    const TagFromBytes parsed(header, body);
    FrameTexts t;
    t.version = int(parsed.header()->majorVersion());
    t.title = firstText(parsed, "TIT2");
    t.artist = firstText(parsed, "TPE1");
    t.album = firstText(parsed, "TALB");
    t.recordingDate = firstText(parsed, "TDRC");
    t.track = firstText(parsed, "TRCK");
    t.comment = commentOf(parsed);
    t.genreFields = genreFields(parsed);
    return t;
}

bool hasAnyField(const Id3v2Values &v)
{
    for (const QString *t : {&v.title, &v.artist, &v.album, &v.recordingDate, &v.track, &v.genre, &v.comment}) {
        if (!t->trimmed().isEmpty())
            return true;
    }
    return false;
}

// A byte-order mark some writers leave at the start of a text (UTF-8 with
// one, a second one in UTF-16) is no character of it.
QString withoutMark(const QString &s)
{
    return s.startsWith(QChar(0xfeff)) ? s.mid(1) : s;
}

std::optional<Id3v2Values> valuesOf(const FrameTexts &t)
{
    Id3v2Values v;
    v.version = t.version;
    v.title = withoutMark(t.title);
    v.artist = withoutMark(t.artist);
    v.album = withoutMark(t.album);
    v.recordingDate = withoutMark(t.recordingDate);
    v.track = withoutMark(t.track);
    v.comment = withoutMark(t.comment);
    for (const QString &field : t.genreFields) {
        if (const auto genre = genreOf(withoutMark(field))) {
            v.genre = genre->first;
            v.genreNumber = genre->second;
            break;
        }
    }
    return hasAnyField(v) ? std::optional(v) : std::nullopt;
}

// Trailing characters of code 32 or less go, as they do from an ID3v1 field.
QString trimmedEnd(QString s)
{
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1).unicode() <= 32)
        --n;
    s.truncate(n);
    return s;
}

int leadingNumber(const QString &s)
{
    int n = 0;
    qsizetype i = 0;
    const QString t = s.trimmed();
    for (; i < t.size() && t.at(i).isDigit() && n < 1000; ++i)
        n = n * 10 + t.at(i).digitValue();
    return n;
}

// The first read: a kilobyte, less the allocator's bookkeeping, which keeps
// its buffer on the allocator's fast path.
constexpr qint64 kFirstRead = 1000;

} // namespace

std::optional<qint64> tagSize(QByteArrayView header)
{
    if (header.size() < kHeaderSize || !header.startsWith("ID3"))
        return std::nullopt;
    const int major = quint8(header[3]);
    if (major < 2 || major > 4 || quint8(header[4]) == 0xff)
        return std::nullopt;
    // The size is four bytes of seven bits each.
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) {
        if (quint8(header[i]) & 0x80)
            return std::nullopt;
        size = (size << 7) | quint8(header[i]);
    }
    const bool footer = major == 4 && (quint8(header[5]) & 0x10);
    return kHeaderSize + size + (footer ? kHeaderSize : 0);
}

namespace {

// The tag in bytes from the start of a file: nothing when the bytes end
// before the tag does (only a tag larger than what is ever read is cut).
std::optional<QByteArrayView> tagIn(QByteArrayView bytes)
{
    const std::optional<qint64> size = tagSize(bytes);
    if (!size || bytes.size() < qMin(*size, kMaxTagBytes))
        return std::nullopt;
    return bytes.first(qMin(*size, qint64(bytes.size())));
}

std::optional<Id3v2Values> valuesOfCommon(FrameTexts texts)
{
    texts.genreFields = splitNumberedGenres(texts.genreFields);
    return valuesOf(texts);
}

} // namespace

std::optional<Id3v2Values> parse(QByteArrayView bytes, bool *unreadable)
{
    const std::optional<QByteArrayView> tag = tagIn(bytes);
    if (!tag)
        return std::nullopt;
    if (std::optional<FrameTexts> texts = readCommonFrames(*tag))
        return valuesOfCommon(std::move(*texts));
    return valuesOf(tagLibFrames(*tag, unreadable));
}

std::optional<Id3v2Values> parseWithTagLib(QByteArrayView bytes, bool *unreadable)
{
    const std::optional<QByteArrayView> tag = tagIn(bytes);
    return tag ? valuesOf(tagLibFrames(*tag, unreadable)) : std::nullopt;
}

std::optional<Id3v2Values> read(const ReadOnlyFile &file, bool *unreadable)
{
    if (!file.isRegular() || file.size() < kHeaderSize)
        return std::nullopt;
    return read(file, file.readAt(0, qMin(file.size(), kFirstRead)), unreadable);
}

std::optional<Id3v2Values> read(const ReadOnlyFile &file, QByteArrayView start, bool *unreadable)
{
    if (!file.isRegular() || file.size() < kHeaderSize)
        return std::nullopt;
    const std::optional<qint64> size = tagSize(start);
    // A tag that claims more than the file holds is broken.
    if (!size || *size > file.size())
        return std::nullopt;
    const qint64 wanted = qMin(*size, kMaxTagBytes);
    if (start.size() >= wanted)
        return parse(start.first(wanted), unreadable);
    // The frames of most tags without pictures end within the first read,
    // padding following.
    if (std::optional<FrameTexts> texts = readCommonFrames(start))
        return valuesOfCommon(std::move(*texts));
    QByteArray head = start.toByteArray();
    head += file.readAt(head.size(), wanted - head.size());
    return parse(QByteArrayView(head).first(qMin(wanted, qint64(head.size()))), unreadable);
}

void fillRecord(const Id3v2Values &values, const TextCodec &codec, TagRecord &record)
{
    const auto codePage = [&codec](const QString &t) { return trimmedEnd(codec.decode(codec.encode(t))); };
    record.longTitle = codePage(values.title);
    record.longArtist = codePage(values.artist);
    record.longAlbum = codePage(values.album);
    record.title = trimmedEnd(record.longTitle.left(30));
    record.artist = trimmedEnd(record.longArtist.left(30));
    record.album = trimmedEnd(record.longAlbum.left(30));
    const QString year = values.recordingDate.trimmed().left(4);
    record.year = year.size() == 4 && leadingNumber(year) > 0 ? year : QString();
    const int track = leadingNumber(values.track);
    record.track = track >= 1 && track <= 255 ? quint8(track) : 0;
    record.trackText = record.track ? id3v1::trackTextFor(record.track) : QStringLiteral("0");
    // With a track number a written tag holds 28 comment characters.
    record.comment = trimmedEnd(codePage(values.comment).left(record.track ? 28 : 30));
    record.genre = quint8(values.genreNumber);
    record.fromId3v2 = true;
}

} // namespace kaz::id3v2
