// Tag text in a code page chosen by name: each byte is one character, and
// what the code page cannot hold comes back as "?".
#include "support/TestSupport.h"

#include "platform/TextCodec.h"

using namespace kaz;

TEST(TextCodec, CodePagesByNameEveryByteOneCharacterOthersQuestionMarks)
{
    // Whether the name gives a code page of its own, the name the codec
    // reports, a byte that differs between code pages and what it stands for there.
    struct Case { const char *name; bool known; const char *kept; char byte; char16_t character; } cases[] = {
        {"", true, "windows-1252", '\x80', u'€'},
        {"windows-1252", true, "windows-1252", '\x80', u'€'},
        {"CP1252", true, "windows-1252", '\x80', u'€'},
        {"ISO-8859-15", true, "ISO-8859-15", '\xA4', u'€'},
        {"ISO-8859-1", true, "ISO-8859-1", '\xA4', u'¤'},
        {"KOI8-R", true, "KOI8-R", '\xC1', u'а'},
        // Unknown or not one byte per character: Windows-1252 instead.
        {"no-such-code-page", false, "windows-1252", '\x80', u'€'},
        {"UTF-8", false, "windows-1252", '\x80', u'€'},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = !c.known;
        const TextCodec codec = TextCodec::forName(QString::fromLatin1(c.name), &ok);
        EXPECT_EQ(ok, c.known);
        EXPECT_EQ(codec.name(), QString::fromLatin1(c.kept));
        const QString decoded = codec.decode(QByteArrayView(&c.byte, 1));
        ASSERT_EQ(decoded.size(), 1);
        EXPECT_EQ(decoded.at(0).unicode(), c.character);
        EXPECT_EQ(codec.encode(decoded), QByteArray(1, c.byte));
    }

    // Every byte is one character and comes back; what the code page cannot hold becomes "?".
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    for (const char *name : {"windows-1252", "ISO-8859-15", "KOI8-R", "ISO-8859-1"}) {
        SCOPED_TRACE(name);
        const TextCodec codec = TextCodec::forName(QString::fromLatin1(name));
        const QString text = codec.decode(all);
        ASSERT_EQ(text.size(), 256);
        for (int b = 0; b < 256; ++b) {
            const QChar c = text.at(b);
            // No byte turns into an invisible control code above 0x7F.
            EXPECT_FALSE(c.unicode() >= 0x80 && c.unicode() < 0xA0) << b;
            const QByteArray back = codec.encode(QString(c));
            EXPECT_EQ(back, c == QChar(QChar::ReplacementCharacter) ? QByteArray("?") : QByteArray(1, char(b))) << b;
        }
    }
    // Characters outside the code page become question marks.
    const TextCodec western = TextCodec::forName("windows-1252");
    const TextCodec cyrillic = TextCodec::forName("KOI8-R");
    EXPECT_EQ(western.encode(u"Жук 日本 😀"), QByteArray("??? ?? ?"));
    EXPECT_EQ(cyrillic.decode(cyrillic.encode(u"Жук")), "Жук");
    EXPECT_EQ(cyrillic.encode(u"é"), QByteArray("?"));
}
