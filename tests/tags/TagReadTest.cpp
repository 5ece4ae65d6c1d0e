// Reading tags from real files: the trimming, track and Lyrics3 rules, and
// input that lies about itself.
#include "TagFileFixture.h"
#include "support/Id3v2Fixture.h"

#include "platform/Messages.h"
#include "tags/Id3v1.h"

using namespace kaz;
using namespace kaz::test;

namespace {

QByteArray rawTag(const QByteArray &title, const QByteArray &comment = QByteArray(30, ' '), char genre = 17,
                  const QByteArray &year = "2001", const QByteArray &header = "TAG")
{
    return header + title.leftJustified(30, ' ', true) + QByteArray("Artist").leftJustified(30, ' ')
           + QByteArray("Album").leftJustified(30, ' ') + year.leftJustified(4, ' ', true)
           + comment.leftJustified(30, ' ', true) + genre;
}

QByteArray field(const char *id, const QByteArray &value)
{
    return id + QByteArray::number(value.size()).rightJustified(5, '0') + value;
}

QByteArray block(const QByteArray &fields)
{
    const QByteArray body = "LYRICSBEGIN" + fields;
    return body + QByteArray::number(body.size()).rightJustified(6, '0') + "LYRICS200";
}

using TagRead = TagFile;

} // namespace

TEST_F(TagRead, ShortOrUnreadableFilesAreUntaggedWithAMessage)
{
    TagRecord t = read(QByteArray(143, 'x'));
    EXPECT_FALSE(t.tagged);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0], message(Msg::FileTooShort, Language::English) + path);

    // Files of 128 to 143 bytes that end in a tag are tagged (a tag written
    // into an empty file), without a message.
    for (const int lead : {16, 15, 1, 0}) {
        prompter.shown.clear();
        t = read(QByteArray(lead, 'x') + rawTag("Small"));
        EXPECT_TRUE(t.tagged) << lead;
        EXPECT_EQ(t.title, "Small");
        EXPECT_TRUE(prompter.shown.isEmpty());
    }
    t = read(rawTag("Small").left(127));
    EXPECT_FALSE(t.tagged);
    EXPECT_EQ(prompter.shown.size(), 1);

    // Unreadable input is reported, not shown as short; taginfo reads the header.
    prompter.shown.clear();
    TagContext context;
    context.prompter = &prompter;
    for (const QString &unreadable : {QString(home.music() + "/nope.mp3"), home.music()}) {
        FsStatus status;
        EXPECT_FALSE(readTag(unreadable, context, &status).tagged);
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(taginfo(unreadable));
    }
    // taginfo looks only at the header.
    writeAll(path, QByteArray(143, 'x'));
    EXPECT_FALSE(taginfo(path));
    writeAll(path, rawTag("t"));
    EXPECT_TRUE(taginfo(path));
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(TagRead, HeaderTrimmingAndCodePage)
{
    const QByteArray blank(30, ' ');
    const struct { QByteArray tag; bool tagged; QString title; } cases[] = {
        {rawTag("x", blank, 1, "2001", "tAg"), true, "x"}, // the header in any case
        {rawTag("x", blank, 1, "2001", "TAX"), false, ""},
        {{}, false, ""},
        // Trailing control and blank characters are trimmed.
        {rawTag(blank), true, ""},
        {rawTag(QByteArray("AB") + QByteArray(28, '\0')), true, "AB"},
        {rawTag(" A B \t\x01"), true, " A B"},
        // Windows-1252; its bytes without a character become a visible replacement.
        {rawTag("M\xf6tley Cr\xfc\x65 \x80 \x93x\x94"), true, "Mötley Crüe € “x”"},
        {rawTag("A\x81" "B\x8d\x8f\x90\x9d" "Z\x80"), true, "A\uFFFDB\uFFFD\uFFFD\uFFFD\uFFFDZ\u20AC"},
    };
    for (const auto &c : cases) {
        const TagRecord t = read(audio + c.tag);
        EXPECT_EQ(t.tagged, c.tagged) << c.tag.constData();
        EXPECT_EQ(QStringList({t.title, t.longTitle}), QStringList(2, c.title));
    }
    // The year is taken as it stands.
    EXPECT_EQ(read(audio + rawTag("x", blank, 1, "19 9")).year, "19 9");
}

// A folder's files read one after another share the texts of the tag before:
// only where the bytes, and the code page, are the same.
TEST_F(TagRead, ASeriesReadsAsEachFileAlone)
{
    const QByteArray blank(30, ' ');
    const TextCodec greek = TextCodec::forName(QStringLiteral("ISO-8859-7"));
    const struct { QByteArray tag; const TextCodec *codec; } series[] = {
        {rawTag("One", "CD1"), &defaultTextCodec()},
        {rawTag("Two", "CD1"), &defaultTextCodec()},
        {rawTag("Two", "CD1 \x01"), &defaultTextCodec()}, // trimmed to the same bytes
        {rawTag("Two\xe4", "CD2", 1, "19 9"), &defaultTextCodec()},
        {rawTag("Two\xe4", "CD2", 1, "19 9"), &greek},
        {rawTag("", blank, 1, ""), &greek},
        {rawTag("", blank, 1, ""), &defaultTextCodec()},
    };
    id3v1::FieldMemory memory;
    for (const auto &s : series) {
        ASSERT_TRUE(writeAll(path, audio + s.tag));
        TagContext context;
        context.codec = s.codec;
        const TagRecord alone = readTag(path, context);
        const TagRecord inSeries = readTag(ReadOnlyFile(path), path, context, memory);
        EXPECT_EQ(QStringList({inSeries.title, inSeries.artist, inSeries.album, inSeries.year, inSeries.comment,
                               inSeries.longTitle, inSeries.trackText}),
                  QStringList({alone.title, alone.artist, alone.album, alone.year, alone.comment, alone.longTitle,
                               alone.trackText}))
            << s.tag.toHex().constData();
    }
}

TEST_F(TagRead, TrackByteRules)
{
    struct Case {QByteArray comment; QString trackText; int track; QString comment_; };
    const QByteArray base = QByteArray("Nice").leftJustified(28, ' ');
    const Case cases[] = {
        {base + '\0' + '\x07', "07", 7, "Nice"},
        {base + '\0' + '\x0c', "12", 12, "Nice"},
        {base + '\0' + char(123), "123", 123, "Nice" + QString(24, QLatin1Char(' ')) + QChar(0) + QLatin1Char('{')},
        {base + '\0' + 'A', "65", 65, "Nice" + QString(24, QLatin1Char(' ')) + QChar(0) + QLatin1Char('A')},
        {base + ' ' + '\x07', "0", 0, "Nice"}, // no 0 byte: no track
        {base + '\0' + '\0', "0", 0, "Nice"},
    };
    for (const Case &c : cases) {
        const TagRecord t = read(audio + rawTag("t", c.comment));
        EXPECT_EQ(t.trackText, c.trackText) << c.comment.toHex().constData();
        EXPECT_EQ(t.track, c.track);
        EXPECT_EQ(t.comment, c.comment_);
    }
}

// A small file is read whole, a larger one at both ends: the same tags either
// way, and from the same bytes in memory (what the fuzz targets read). The
// ID3v1 tag wins over the ID3v2 tag, which is reported beside it.
TEST_F(TagRead, SmallAndLargeFilesReadAlike)
{
    TagContext both;
    both.useId3v2 = true;
    both.reportId3v2 = true;
    const Id3v2Spec spec{.frames = {{"TIT2", "Start"}, {"TPE1", "Band"}}};
    const QByteArray title45(45, 't');
    const QByteArray end = block(field("ETT", title45)) + rawTag(title45.left(30));
    for (const int frames : {1, 6, 7, 20}) {
        const QByteArray bytes = id3v2Tag(spec) + audio.repeated(frames) + end;
        const TagRecord t = read(bytes, true, true);
        SCOPED_TRACE(bytes.size());
        EXPECT_EQ(t.fileSize, bytes.size());
        EXPECT_TRUE(t.tagged);
        EXPECT_TRUE(t.hasLyrics3);
        EXPECT_FALSE(t.fromId3v2);
        EXPECT_EQ(t.longTitle, QString::fromLatin1(title45));
        ASSERT_TRUE(t.id3v2.has_value());
        EXPECT_EQ(t.id3v2->title, "Start");
        EXPECT_EQ(t.id3v2->artist, "Band");
        const TagRecord m = readTag(ReadOnlyFile(ReadOnlyFile::InMemory{bytes}), "memory.mp3", both);
        EXPECT_EQ(m.fileSize, t.fileSize);
        EXPECT_EQ(m.lyrics3Size, t.lyrics3Size);
        EXPECT_EQ(m.longTitle, t.longTitle);
        EXPECT_EQ(m.id3v2, t.id3v2);
    }
}

// Bytes that are not exactly a block are audio; a start mark that is not
// where the size digits say is reported, digits that say nothing usable are not.
TEST_F(TagRead, Lyrics3LongFieldsReplaceShortOnesBrokenBlocksAreIgnored)
{
    const QByteArray good = block(field("EAR", QByteArray(40, 'a')));
    const auto withSize = [&](const QByteArray &digits) { return QByteArray(good).replace(good.size() - 15, 6, digits); };
    const struct { const char *what; QByteArray block; bool reported; } cases[] = {
        {"no start mark", QByteArray(good).replace(0, 11, "LYRICSBEGXN"), true},
        {"size digits not digits", withSize("00x050"), false},
        {"size past the file's start", withSize("999999"), false},
        {"size too small", withSize("000020"), true},
        {"fields that do not tile", block("ett00010short" + QByteArray("LYRxx") + "IND00002" + "10" + "EAL99999tail"), true},
        {"bytes after the last field", block(field("EAR", "abc") + "xx"), true},
        {"last field cut short", block(field("EAR", "abc").chopped(1)), true},
        {"field length not digits", block("EAR0x003abc"), true},
    };
    for (const auto &c : cases) {
        prompter.shown.clear();
        const TagRecord t = read(audio + c.block + rawTag("t"));
        EXPECT_TRUE(t.tagged) << c.what;
        EXPECT_FALSE(t.hasLyrics3) << c.what;
        EXPECT_EQ(t.longArtist, "Artist") << c.what;
        EXPECT_EQ(prompter.shown.size(), c.reported ? 1 : 0) << c.what;
    }
    EXPECT_EQ(prompter.shown, QStringList{message(Msg::Lyrics3Corrupt, Language::English)}); // of the last case

    // A block at the very start of the file, or one byte after it, is a block.
    EXPECT_TRUE(read(good + rawTag("t")).hasLyrics3);
    EXPECT_EQ(read("x" + good + rawTag("t")).longArtist, QString(40, QLatin1Char('a')));
    // Lower-case identifiers and unknown fields are fine when they tile.
    const TagRecord t = read(audio + block(field("ett", "A title over thirty characters long") + field("XYZ", "12")
                                           + field("IND", "10")) + rawTag("t"));
    EXPECT_EQ(t.longTitle, "A title over thirty characters long");
    EXPECT_EQ(t.keptLyrics3Fields, QList<QByteArray>{"IND0000210"});

    // Long fields replace short ones, other fields are kept whole.
    prompter.shown.clear();
    const QByteArray title45 = "A title of forty-five characters, no shorter!";
    const QByteArray lyrics = field("LYR", QByteArray(60000, 'l'));
    const QByteArray b = block(field("ETT", title45) + lyrics + field("EAR", "\xc4rzte"));
    const TagRecord l = read(audio + b + rawTag(title45.left(30)));
    EXPECT_TRUE(l.hasLyrics3);
    EXPECT_EQ(l.lyrics3Size, b.size());
    EXPECT_EQ(QStringList({l.longTitle, l.title, l.longArtist, l.longAlbum}),
              QStringList({QString::fromLatin1(title45), QString::fromLatin1(title45.left(30)), "Ärzte", "Album"}));
    EXPECT_EQ(l.keptLyrics3Fields, QList<QByteArray>{lyrics});
    EXPECT_TRUE(prompter.shown.isEmpty());
}
