#include "Id3v2Fixture.h"

#include <QStringEncoder>

namespace kaz::test {
namespace {

QByteArray encoded(const QString &text, Id3v2Spec::Encoding encoding)
{
    switch (encoding) {
    case Id3v2Spec::Latin1:
        return text.toLatin1();
    case Id3v2Spec::Utf16Bom:
        return "\xff\xfe" + QByteArray(QStringEncoder(QStringEncoder::Utf16LE).encode(text));
    case Id3v2Spec::Utf16BigEndian:
        return QStringEncoder(QStringEncoder::Utf16BE).encode(text);
    case Id3v2Spec::Utf8:
        break;
    }
    return text.toUtf8();
}

QByteArray syncsafe(quint32 n)
{
    const char bytes[] = {char((n >> 21) & 0x7f), char((n >> 14) & 0x7f), char((n >> 7) & 0x7f), char(n & 0x7f)};
    return QByteArray(bytes, 4);
}

QByteArray bigEndian(quint32 n, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char((n >> (8 * i)) & 0xff);
    return out;
}

// A 0 byte after every 0xFF that is followed by 0xE0 or more, or by 0.
QByteArray unsynchronised(const QByteArray &data)
{
    QByteArray out;
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data[i];
        if (uchar(data[i]) == 0xff && (i + 1 == data.size() || uchar(data[i + 1]) >= 0xe0 || data[i + 1] == 0))
            out += '\0';
    }
    return out;
}

QByteArray frameData(const QByteArray &id, const QString &text, Id3v2Spec::Encoding encoding)
{
    QByteArray data(1, char(encoding));
    if (id == "COMM" || id == "COM")
        data += "eng" + QByteArray(encoding == Id3v2Spec::Utf16Bom || encoding == Id3v2Spec::Utf16BigEndian ? 2 : 1,
                                   '\0'); // an empty description
    return data + encoded(text, encoding);
}

} // namespace

QByteArray id3v2Frame(int version, const char *id, const QByteArray &data, char format)
{
    const quint32 n = quint32(data.size());
    return QByteArray(id) + (version == 4 ? syncsafe(n) : bigEndian(n, 4)) + '\0' + format + data;
}

QByteArray id3v2TagOf(int version, const QByteArray &body, char flags)
{
    return QByteArray("ID3") + char(version) + '\0' + flags + syncsafe(quint32(body.size())) + body;
}

QByteArray id3v2Tag(const Id3v2Spec &spec)
{
    QByteArray body;
    if (spec.extendedHeader)
        body += spec.version == 4 ? syncsafe(6) + QByteArray("\x01\x00", 2) : bigEndian(6, 4) + QByteArray(6, '\0');
    for (const auto &[id, text] : spec.frames) {
        QByteArray data = frameData(id, text, spec.encoding);
        if (spec.version == 2) {
            body += id + bigEndian(quint32(data.size()), 3) + data;
            continue;
        }
        const bool frameUnsync = spec.version == 4 && spec.unsynchronise;
        body += id3v2Frame(spec.version, id.constData(), frameUnsync ? unsynchronised(data) : data,
                           frameUnsync ? 2 : 0);
    }
    if (spec.unsynchronise && spec.version < 4)
        body = unsynchronised(body);
    body += QByteArray(spec.padding, '\0');
    return id3v2TagOf(spec.version, body, char((spec.unsynchronise ? 0x80 : 0) | (spec.extendedHeader ? 0x40 : 0)));
}

} // namespace kaz::test
