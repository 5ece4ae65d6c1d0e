#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace kaz {

// Turns the 8-bit text of ID3v1 tags and Lyrics3 blocks into Unicode and
// back. Windows-1252 by default; any other 8-bit code page that Qt knows may
// be chosen. Every byte decodes to exactly one character, and a character the
// code page cannot hold is written as "?".
class TextCodec
{
public:
    TextCodec(); // Windows-1252
    // An 8-bit code page by name ("windows-1252", "ISO-8859-15", ...).
    // Falls back to Windows-1252 when Qt does not know the name or the code
    // page is not single-byte; ok tells which happened.
    static TextCodec forName(const QString &name, bool *ok = nullptr);

    QString name() const { return m_name; }
    QString decode(QByteArrayView bytes) const;
    QByteArray encode(QStringView text) const;

private:
    char encodeChar(char16_t c) const;

    QString m_name;
    std::array<char16_t, 256> m_toUnicode{};
};

const TextCodec &defaultTextCodec();

} // namespace kaz
