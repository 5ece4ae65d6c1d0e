// The ID3v2 tag a write composes: values whole in their frames, every other
// frame byte for byte, the size kept where the frames fit.
#include "support/Id3v2Fixture.h"

#include "tags/Id3v2.h"
#include "tags/Id3v2Write.h"

#include <gtest/gtest.h>

using namespace kaz;
using namespace kaz::test;

namespace {

const QByteArray kPrivate = id3v2Frame(3, "PRIV", QByteArray("kaz.test\0\x01\x02\xff", 12));

TagValues longValues()
{
    TagValues v;
    v.title = QStringLiteral("A title far longer than thirty characters, whole");
    v.artist = QStringLiteral("Ärzte");
    v.album = QStringLiteral("Альбом");
    v.year = QStringLiteral("1999");
    v.comment = QStringLiteral("note");
    v.trackText = QStringLiteral("07");
    v.genre = 17;
    return v;
}

// A tag of the version with a title in the encoding, an unknown frame, and padding.
QByteArray tagWith(int version, Id3v2Spec::Encoding encoding, int padding, const QByteArray &extra = {})
{
    Id3v2Spec spec;
    spec.version = version;
    spec.encoding = encoding;
    spec.frames = {{"TIT2", QStringLiteral("Old")}, {"COMM", QStringLiteral("old note")}};
    const QByteArray plain = id3v2Tag(spec);
    const QByteArray body = plain.mid(10) + extra + (version == 3 ? kPrivate : id3v2Frame(4, "PRIV", kPrivate.mid(10)));
    return id3v2TagOf(version, body + QByteArray(padding, '\0'));
}

} // namespace

TEST(Id3v2Compose, ValuesGoInWholeInAnEncodingThatHoldsThemAndOtherFramesStay)
{
    struct Case {
        int version;
        Id3v2Spec::Encoding encoding;
        quint8 expectedForCyrillic; // the encoding byte of TALB
    };
    for (const Case c : {Case{3, Id3v2Spec::Latin1, 1}, Case{3, Id3v2Spec::Utf16Bom, 1}, Case{4, Id3v2Spec::Latin1, 3},
                         Case{4, Id3v2Spec::Utf16BigEndian, 2}, Case{4, Id3v2Spec::Utf8, 3}}) {
        SCOPED_TRACE(QStringLiteral("v2.%1 encoding %2").arg(c.version).arg(c.encoding).toStdString());
        for (int padding : {0, 600}) {
            const QByteArray old = tagWith(c.version, c.encoding, padding);
            const id3v2::ComposedTag tag = id3v2::composeTag(old, longValues(), nullptr, defaultTextCodec());
            ASSERT_TRUE(tag.refusal.isEmpty()) << tag.refusal.toStdString();
            EXPECT_EQ(tag.version, c.version);
            EXPECT_EQ(quint8(tag.bytes[3]), c.version);
            // Fits: the old size; else padding for the next edit.
            if (padding)
                EXPECT_EQ(tag.bytes.size(), old.size());
            else
                EXPECT_GE(tag.bytes.size(), old.size() + id3v2::kNewPadding);
            const std::optional<Id3v2Values> v = id3v2::parse(tag.bytes);
            ASSERT_TRUE(v);
            EXPECT_EQ(v->title, longValues().title);
            EXPECT_EQ(v->artist, longValues().artist);
            EXPECT_EQ(v->album, longValues().album);
            EXPECT_EQ(v->recordingDate, QStringLiteral("1999"));
            EXPECT_EQ(v->track, QStringLiteral("7"));
            EXPECT_EQ(v->genre, QStringLiteral("Rock"));
            EXPECT_EQ(v->comment, QStringLiteral("note"));
            // The private frame byte for byte; the album's encoding holds Cyrillic.
            EXPECT_TRUE(tag.bytes.contains(c.version == 3 ? kPrivate : id3v2Frame(4, "PRIV", kPrivate.mid(10))));
            const qsizetype album = tag.bytes.indexOf("TALB");
            ASSERT_GT(album, 0);
            EXPECT_EQ(quint8(tag.bytes[album + 10]), c.expectedForCyrillic);
            // The year frame of the version.
            EXPECT_TRUE(tag.bytes.contains(c.version == 3 ? "TYER" : "TDRC"));
            EXPECT_FALSE(tag.bytes.contains(c.version == 3 ? "TDRC" : "TYER"));
        }
    }
}

TEST(Id3v2Compose, UnchangedFieldsKeepTheirFramesAndEmptiedOnesGo)
{
    const QByteArray track = id3v2Frame(3, "TRCK", QByteArray("\x00" "3/12", 5));
    const QByteArray described = id3v2Frame(3, "COMM", QByteArray("\x00" "deu" "Notiz\0" "alt", 13));
    const QByteArray old = id3v2TagOf(3, id3v2Frame(3, "TIT2", QByteArray("\x00Same", 5)) + track + described
                                             + QByteArray(200, '\0'));
    TagValues v;
    v.title = QStringLiteral("Same");
    v.trackText = QStringLiteral("03");
    v.comment = QStringLiteral("neu");
    v.genre = 255;
    const id3v2::ComposedTag tag = id3v2::composeTag(old, v, nullptr, defaultTextCodec());
    ASSERT_TRUE(tag.refusal.isEmpty());
    EXPECT_TRUE(tag.bytes.contains(track)) << "a track that reads as 3 is left as it stands";
    // The comment keeps its language and description.
    EXPECT_TRUE(tag.bytes.contains(id3v2Frame(3, "COMM", QByteArray("\x00" "deu" "Notiz\0" "neu", 13))));
    EXPECT_EQ(tag.bytes.size(), old.size());

    // A value the write left as it started keeps the ID3v2 tag's own (an
    // ID3v1 tag's shorter or plainer value is not copied over it).
    TagValues before = v;
    before.title = QStringLiteral("Same, as the ID3v1 tag has it");
    before.comment = QStringLiteral("alt");
    TagValues fromId3v1 = before;
    fromId3v1.comment = QStringLiteral("neu");
    const id3v2::ComposedTag onlyComment = id3v2::composeTag(old, fromId3v1, &before, defaultTextCodec());
    EXPECT_TRUE(onlyComment.bytes.contains(id3v2Frame(3, "TIT2", QByteArray("\x00Same", 5))));
    EXPECT_TRUE(onlyComment.bytes.contains("neu"));

    // Nothing changed: the same bytes.
    v.comment = QStringLiteral("alt");
    EXPECT_EQ(id3v2::composeTag(old, v, nullptr, defaultTextCodec()).bytes, old);

    // An emptied title loses its frame; a new comment gets "eng" and no description.
    v.title.clear();
    const QByteArray plain = id3v2TagOf(3, id3v2Frame(3, "TIT2", QByteArray("\x00Gone", 5)) + QByteArray(100, '\0'));
    const id3v2::ComposedTag cleared = id3v2::composeTag(plain, v, nullptr, defaultTextCodec());
    EXPECT_FALSE(cleared.bytes.contains("TIT2"));
    EXPECT_TRUE(cleared.bytes.contains(id3v2Frame(3, "COMM", QByteArray("\x00" "eng" "\0" "alt", 8))));
}

TEST(Id3v2Compose, TagsThatCannotBeWrittenBackAreRefused)
{
    Id3v2Spec spec;
    spec.frames = {{"TIT2", QStringLiteral("x")}};
    const auto refusal = [](const QByteArray &tag) {
        return id3v2::composeTag(tag, longValues(), nullptr, defaultTextCodec()).refusal;
    };
    spec.unsynchronise = true;
    EXPECT_FALSE(refusal(id3v2Tag(spec)).isEmpty());
    spec.unsynchronise = false;
    spec.extendedHeader = true;
    EXPECT_FALSE(refusal(id3v2Tag(spec)).isEmpty());
    spec.extendedHeader = false;
    spec.version = 2;
    spec.frames = {{"TT2", QStringLiteral("x")}};
    EXPECT_FALSE(refusal(id3v2Tag(spec)).isEmpty());
    // Compressed (2.3) and encrypted (2.4) frames, and a frame running past the tag.
    EXPECT_FALSE(refusal(id3v2TagOf(3, id3v2Frame(3, "APIC", "xxxx", char(0x80)))).isEmpty());
    EXPECT_FALSE(refusal(id3v2TagOf(4, id3v2Frame(4, "APIC", "xxxx", char(0x04)))).isEmpty());
    EXPECT_FALSE(refusal(id3v2TagOf(3, id3v2Frame(3, "TIT2", QByteArray("\0xxxx", 5)).left(14))).isEmpty());
    // Grouped frames are kept as they are.
    EXPECT_TRUE(refusal(id3v2TagOf(3, id3v2Frame(3, "GEOB", "xxxxx", char(0x20)))).isEmpty());

    // No tag yet: an ID3v2.3 tag with padding.
    const id3v2::ComposedTag fresh = id3v2::composeTag({}, longValues(), nullptr, defaultTextCodec());
    EXPECT_TRUE(fresh.refusal.isEmpty());
    EXPECT_TRUE(fresh.bytes.startsWith(QByteArray("ID3\x03\x00\x00", 6)));
    EXPECT_EQ(id3v2::parse(fresh.bytes)->title, longValues().title);
}

TEST(Id3v2Compose, ModeNames)
{
    for (id3v2::WriteMode mode : {id3v2::WriteMode::Update, id3v2::WriteMode::Add, id3v2::WriteMode::Off})
        EXPECT_EQ(id3v2::writeModeFromName(id3v2::writeModeName(mode)), mode);
    EXPECT_FALSE(id3v2::writeModeFromName(u"on"));
}
