// The quick scans and conversions of names give what Qt's general routines give,
// wherever in a block of eight units the interesting character stands.
#include "platform/NativeName.h"
#include "platform/PathParts.h"
#include "platform/Utf16Scan.h"

#include "support/QtPrinters.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace kaz;

namespace {

// Each special text at every offset 0..18 of plain ASCII, and alone.
QStringList placed(const QStringList &specials)
{
    QStringList texts;
    for (const QString &special : specials) {
        texts.append(special);
        for (int before = 0; before <= 18; ++before)
            texts.append(QString(before, QLatin1Char('a')) + special + QStringLiteral("bcdefghijk").left(before % 11));
    }
    return texts;
}

} // namespace

TEST(Utf16Scan, AgreesWithQtWhereverTheCharacterStands)
{
    const QStringList texts = placed({QString(), QStringLiteral("x"), QStringLiteral("\n"), QStringLiteral("\r"),
                                      QStringLiteral("\x7f"), QStringLiteral("\x1f"), QStringLiteral("~"),
                                      QStringLiteral("ä"), QStringLiteral("€uro"), QStringLiteral("\u0085"),
                                      QString::fromUcs4(U"\U0001F3B5"), QString(QChar(0xD83C)), QString(QChar(0xDFB5)),
                                      QStringLiteral("Straße ö")});
    for (const QString &text : texts) {
        SCOPED_TRACE(QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2).toHex().toStdString());
        EXPECT_EQ(containsEither(text, u'\n', u'\r'), text.contains(u'\n') || text.contains(u'\r'));
        const bool printable = std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u' ' && c <= u'~'; });
        EXPECT_EQ(allUnitsWithin(text, u' ', u'~'), printable);
        // A lone surrogate becomes U+FFFD, as the encoder makes it.
        const QByteArray utf8 = QStringEncoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless).encode(text);
        QByteArray bytes("prefix");
        appendUtf8(bytes, text);
        EXPECT_EQ(bytes, QByteArray("prefix" + utf8));
        EXPECT_EQ(NativeName(text).bytes(), utf8);
        EXPECT_EQ(isAscii(utf8), std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; }));
        for (const char16_t unit : {u'\n', u'a', u'b'})
            EXPECT_EQ(lastIndexOfUnit(text, unit), text.lastIndexOf(QChar(unit)));
    }
}

TEST(PathParts, CleanAbsolutePathIsWhatCleanPathLeaves)
{
    // Only a path that cleanPath() leaves as it is may count as clean; the
    // others go through cleanPath(), so a false "not clean" costs only time.
    const QStringList paths = placed({QStringLiteral("/a"), QStringLiteral("//"), QStringLiteral("/./"),
                                      QStringLiteral("/../"), QStringLiteral("/.x/"), QStringLiteral("/..x/"),
                                      QStringLiteral("/x./"), QStringLiteral("/x../"), QStringLiteral("/..."),
                                      QStringLiteral("/."), QStringLiteral("/.."), QStringLiteral("/"),
                                      QStringLiteral("/.hidden"), QStringLiteral("/ä/./ö")});
    for (const QString &tail : paths) {
        for (const QString &path : QStringList{QStringLiteral("/m") + tail, tail, QStringLiteral("/") + tail}) {
            if (isCleanAbsolutePath(path)) {
                EXPECT_EQ(QDir::cleanPath(path), path);
            }
        }
    }
    for (const char *clean : {"/m/a.mp3", "/m/.hidden/x", "/m/x./..y/...", "/m/Queen/ä.mp3", "/m/a b/c"})
        EXPECT_TRUE(isCleanAbsolutePath(QString::fromUtf8(clean))) << clean;
    for (const char *unclean : {"", "m/a", "/m/", "/m//a", "/m/./a", "/m/../a", "/m/.", "/m/..", "//m"})
        EXPECT_FALSE(isCleanAbsolutePath(QString::fromUtf8(unclean))) << unclean;
}
