#include "TextCodec.h"

#include <QStringDecoder>

namespace kaz {
namespace {

// Windows-1252 from 0x80 to 0x9F; the five unused bytes are C1 control
// codes here and become the replacement character below.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char16_t kReplacement = 0xFFFD;

// A byte the code page has no character for must not turn into an invisible
// control code (in a file name above all): it shows as the replacement
// character, which is written back as "?".
char16_t visible(char16_t c)
{
    return c >= 0x80 && c < 0xA0 ? kReplacement : c;
}

} // namespace

TextCodec::TextCodec()
    : m_name(QStringLiteral("windows-1252"))
{
    for (int b = 0; b < 256; ++b)
        m_toUnicode[b] = visible((b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : char16_t(b));
}

TextCodec TextCodec::forName(const QString &name, bool *ok)
{
    TextCodec codec;
    const bool isDefault = name.isEmpty() || name.compare(QLatin1String("windows-1252"), Qt::CaseInsensitive) == 0
                           || name.compare(QLatin1String("cp1252"), Qt::CaseInsensitive) == 0;
    if (ok)
        *ok = true;
    if (isDefault)
        return codec;
    std::array<char16_t, 256> table{};
    for (int b = 0; b < 256; ++b) {
        QStringDecoder decoder(name.toLatin1().constData());
        if (!decoder.isValid()) {
            if (ok)
                *ok = false;
            return codec;
        }
        const char byte = char(b);
        const QString s = decoder.decode(QByteArrayView(&byte, 1));
        if (s.size() != 1) {
            if (ok)
                *ok = false;
            return codec;
        }
        table[b] = visible(s.at(0).unicode());
    }
    codec.m_name = name;
    codec.m_toUnicode = table;
    return codec;
}

QString TextCodec::decode(QByteArrayView bytes) const
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(m_toUnicode[uchar(bytes[i])]);
    return out;
}

QByteArray TextCodec::encode(QStringView text) const
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i; // one character outside the code page, one "?"
        out.append(encodeChar(c));
    }
    return out;
}

char TextCodec::encodeChar(char16_t c) const
{
    if (c == kReplacement)
        return '?';
    if (c < 0x100 && m_toUnicode[c] == c)
        return char(c);
    for (int b = 0; b < 256; ++b) {
        if (m_toUnicode[b] == c)
            return char(b);
    }
    return '?';
}

const TextCodec &defaultTextCodec()
{
    static const TextCodec codec;
    return codec;
}

} // namespace kaz
