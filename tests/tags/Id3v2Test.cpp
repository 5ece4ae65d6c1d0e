// ID3v2 tags at the start of a file: each version and encoding read into the
// one tag record (ID3v1 winning where both are there: TagRead), broken tags read as
// none, and the reader of common frames checked against TagLib. The
// conversion to ID3v1: Id3v2Cli.FromV2ConvertsLeavesAndCounts.
#include "support/Id3v2Fixture.h"
#include "TagFileFixture.h"

#include "tags/Id3v2.h"
#include "tags/Id3v2Frames.h"

using namespace kaz;
using namespace kaz::test;

namespace kaz {
void PrintTo(const Id3v2Values &v, std::ostream *os)
{
    *os << "v2." << v.version;
    for (const QString *t : {&v.title, &v.artist, &v.album, &v.recordingDate, &v.track, &v.genre, &v.comment})
        *os << " |" << t->toStdString();
    *os << "| " << v.genreNumber;
}
} // namespace kaz

namespace {

using Frames = QList<std::pair<QByteArray, QString>>;

struct ReadCase {
    const char *name;
    Id3v2Spec spec;
    // What the record holds with the tag-source setting on.
    QString longTitle, title, artist, album, year, trackText, comment;
    int genre;
};

const QString kLongTitle = "A title that is well over thirty characters long";

const ReadCase kReadCases[] = {
    {"v2.2 Latin-1, numeric genre",
     {2, Id3v2Spec::Latin1, false, false, 0, Frames{{"TT2", "Über Song"}, {"TP1", "Artist"}, {"TAL", "Album"},
                                                    {"TYE", "1999"}, {"TRK", "7"}, {"TCO", "(17)"}, {"COM", "short note"}}},
     "Über Song", "Über Song", "Artist", "Album", "1999", "07", "short note", 17},
    {"v2.3 UTF-16 with BOM, unsynchronised, a character outside the code page",
     {3, Id3v2Spec::Utf16Bom, true, false, 64, Frames{{"TIT2", "Ωmega"}, {"TPE1", "Motörhead"}, {"TALB", "Ace"},
                                                      {"TYER", "1980"}, {"TRCK", "12"}, {"TCON", "(17)Rock"}}},
     "?mega", "?mega", "Motörhead", "Ace", "1980", "12", QString(), 17},
    {"v2.4 UTF-8, recording date, track of total, extended header, unsynchronised, long title",
     {4, Id3v2Spec::Utf8, true, true, 0, Frames{{"TIT2", kLongTitle}, {"TPE1", "Sigur Rós"}, {"TALB", "()"},
                                                {"TDRC", "2001-05-04"}, {"TRCK", "3/12"}, {"TCON", "(17)Rock"},
                                                {"COMM", "a comment longer than the thirty of ID3v1"}}},
     kLongTitle, kLongTitle.left(30), "Sigur Rós", "()", "2001", "03", "a comment longer than the th", 17},
    {"v2.4 genre by name, another by an unknown name",
     {4, Id3v2Spec::Latin1, false, false, 0, Frames{{"TIT2", "T"}, {"TCON", "trance"}}},
     "T", "T", QString(), QString(), QString(), "0", QString(), 31},
    {"v2.4 a genre the list does not know",
     {4, Id3v2Spec::Utf16BigEndian, false, false, 0, Frames{{"TPE1", "X"}, {"TCON", "Made-up Genre"}}},
     QString(), QString(), "X", QString(), QString(), "0", QString(), 255},
};

using Id3v2 = TagFile;

// The bytes with the one at index changed.
QByteArray patched(QByteArray bytes, qsizetype index, char value)
{
    bytes[index] = value;
    return bytes;
}

} // namespace

TEST_F(Id3v2, VersionsAndEncodingsReadIntoTheRecordOnlyWithTheSettingOn)
{
    for (const ReadCase &c : kReadCases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = id3v2Tag(c.spec) + audio;
        const TagRecord t = read(bytes, true);
        EXPECT_TRUE(t.hasTag());
        EXPECT_FALSE(t.tagged); // the end of the file holds no tag to replace
        EXPECT_TRUE(t.fromId3v2);
        ASSERT_TRUE(t.id3v2.has_value());
        EXPECT_EQ(t.id3v2->version, c.spec.version);
        EXPECT_EQ(QStringList({t.longTitle, t.title, t.longArtist, t.longAlbum, t.year, t.trackText, t.comment}),
                  QStringList({c.longTitle, c.title, c.artist, c.album, c.year, c.trackText, c.comment}));
        EXPECT_EQ(int(t.genre), c.genre);
        EXPECT_EQ(t.hasArtistOrAlbum, !QString(c.artist + c.album).isEmpty());

        const TagRecord off = read(bytes, false);
        EXPECT_FALSE(off.hasTag());
        EXPECT_FALSE(off.id3v2.has_value());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(Id3v2, BrokenOrHostileTagsReadAsNone)
{
    const QByteArray good = id3v2Tag(kReadCases[2].spec);
    const QByteArray tooLong = patched(good, 6, 0x7f); // the size says more than the file holds
    QByteArray zeroFrames = QByteArray("ID3\x04\x00\x00\x00\x00\x00\x20", 10) + QByteArray(32, '\0');
    QByteArray noise("ID3\x03\x00\x00\x00\x00\x01\x00", 10);
    for (int i = 0; i < 128; ++i)
        noise += char((i * 37 + 11) & 0xff);
    const QByteArray cases[] = {tooLong, patched(good, 3, 5), patched(good, 8, char(0x80)), zeroFrames, noise,
                                good.left(8), QByteArray("ID3")};
    for (const QByteArray &head : cases) {
        const TagRecord t = read(head + audio, true);
        EXPECT_FALSE(t.fromId3v2) << head.toHex().left(40).constData();
        EXPECT_FALSE(id3v2::parse(head).has_value());
    }
    // A frame that claims far more than the tag holds is cut at the tag's end.
    const QByteArray hugeFrame = patched(id3v2Tag({.frames = Frames{{"TIT2", "x"}}}), 14, 0x7f);
    const TagRecord t = read(hugeFrame + audio, true);
    EXPECT_LE(t.longTitle.size(), 1);
}

// The reader of common tags gives what TagLib gives, on every tag of these
// tests and on hostile ones; what it does not take TagLib reads, and a tag
// that is broken for both is no tag.
TEST_F(Id3v2, TheCommonReaderAgreesWithTagLib)
{
    struct Case { const char *name; QByteArray tag; bool common; }; // common: read without TagLib
    const auto frame = [](int version, const char *id, const QByteArray &data, char format = 0) {
        return id3v2Frame(version, id, data, format);
    };
    const auto bytes = [](const char *s, qsizetype n) { return QByteArray(s, n); };
    const QByteArray title4 = frame(4, "TIT2", bytes("\3Song", 5));
    const QByteArray title3 = frame(3, "TIT2", bytes("\0Song", 5));
    QList<Case> cases;
    for (const ReadCase &c : kReadCases)
        cases.append({c.name, id3v2Tag(c.spec), c.spec.version > 2 && !c.spec.unsynchronise && !c.spec.extendedHeader});
    cases += QList<Case>{
        {"v2.3 every frame, the described comments before the plain one",
         id3v2TagOf(3, frame(3, "TPE1", bytes("\1\xff\xfe" "B\0\xe4\0\0\0", 10)) + frame(3, "TALB", bytes("\2\0A", 3))
                      + frame(3, "TYER", bytes("\0" "1999", 5)) + frame(3, "TRCK", bytes("\0" "4/9", 4))
                      + frame(3, "TCON", bytes("\0(17)Pop", 9)) + frame(3, "COMM", bytes("\0engiTunNORM\0 00", 16))
                      + frame(3, "COMM", bytes("\0engmood\0calm", 14)) + frame(3, "COMM", bytes("\0eng\0plain\0", 11))
                      + title3 + frame(3, "TIT2", bytes("\0Second", 7)) + QByteArray(20, '\0')),
         true},
        {"v2.4 genre by name after a number, recording date in TRDC, UTF-8 byte-order mark",
         id3v2TagOf(4, frame(4, "TCON", bytes("\3(300)Pop", 10)) + frame(4, "TRDC", bytes("\3" "2004", 5))
                      + frame(4, "TIT2", bytes("\3\xef\xbb\xbfS\xc3\xbc", 7))),
         true},
        {"UTF-16 of odd length, one without byte-order mark, big-endian, one with two marks",
         id3v2TagOf(3, frame(3, "TIT2", bytes("\1\xfe\xff\0S\0", 6)) + frame(3, "TPE1", bytes("\1A\0B\0", 5))
                      + frame(3, "TALB", bytes("\2\0X\0", 4)) + frame(3, "TRCK", bytes("\1\xff\xfe\xff\xfe" "3\0", 7))),
         true},
        {"a comment without text, an empty text frame, a frame of the encoding byte alone",
         id3v2TagOf(4, frame(4, "COMM", bytes("\3eng", 4)) + frame(4, "COMM", bytes("\3engd\0", 6))
                      + frame(4, "TPE1", bytes("\3\0\0", 3)) + frame(4, "TALB", bytes("\3", 1)) + title4),
         true},
        {"a frame size that runs into the padding", id3v2TagOf(4, title4 + QByteArray(300, '\0')), true},
        {"body shorter than a frame header", id3v2TagOf(4, bytes("TIT2\0\0", 6)), true},
    };
    // TPE1 claims more than the tag holds; 201 as a plain number.
    const QByteArray overflowing =
        patched(id3v2TagOf(4, title4 + frame(4, "TPE1", bytes("\3Band", 5))), 17 + title4.size(), 0x7f);
    const QByteArray plainSize = id3v2TagOf(4, frame(4, "TPE1", QByteArray(1, '\3') + QByteArray(200, 'x')) + title4)
                                     .replace(16, 2, bytes("\0\xc9", 2));
    cases += QList<Case>{
        {"empty frame first", id3v2TagOf(4, frame(4, "TPE1", {}) + title4), false},
        {"frame size past the tag", overflowing, false},
        {"frame size of 2.3 in a 2.4 tag", plainSize, false},
        {"frame size not syncsafe", id3v2TagOf(4, frame(4, "TIT2", bytes("\3x", 2)).replace(4, 4, bytes("\0\0\0\x82", 4))), false},
        {"tag size past the end", patched(id3v2TagOf(4, title4), 8, 0x7f), false},
        {"several texts in one frame", id3v2TagOf(4, frame(4, "TCON", bytes("\3" "17\0Rock", 8)) + title4), false},
        {"genre in other parentheses", id3v2TagOf(4, frame(4, "TCON", bytes("\0(RX)Dance", 10)) + title4), false},
        {"unknown encoding", id3v2TagOf(4, frame(4, "TIT2", bytes("\7Song", 5))), false},
        {"broken UTF-8", id3v2TagOf(4, frame(4, "TIT2", bytes("\3S\xc3", 3)) + frame(4, "TPE1", bytes("\3B", 2))), false},
        {"outside the Basic Multilingual Plane", id3v2TagOf(4, frame(4, "TIT2", bytes("\3\xf0\x9f\x8e\xb5", 5))), false},
        {"lone surrogate in UTF-16", id3v2TagOf(3, frame(3, "TIT2", bytes("\1\xff\xfe\x00\xd8", 5))), false},
        {"year and date of 2.3", id3v2TagOf(3, frame(3, "TYER", bytes("\0" "2001", 5)) + frame(3, "TDAT", bytes("\0" "0405", 5))), false},
        {"compressed frame", id3v2TagOf(4, frame(4, "TIT2", bytes("\3Song", 5), 0x08) + frame(4, "TPE1", bytes("\3B", 2))), false},
        {"frame id of 2.2 in a 2.3 tag", id3v2TagOf(3, frame(3, "TT2\0", bytes("\0Song", 5)) + title3), false},
        {"garbage after a frame", id3v2TagOf(3, title3 + "\x01garbage-bytes"), false},
        {"unsynchronised", id3v2TagOf(3, title3, char(0x80)), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<qint64> size = id3v2::tagSize(c.tag);
        ASSERT_TRUE(size.has_value());
        const std::optional<id3v2::FrameTexts> whole = id3v2::readCommonFrames(c.tag.first(qMin(*size, c.tag.size())));
        EXPECT_EQ(whole.has_value(), c.common);
        // The start of a tag gives what the whole gives, or nothing.
        for (qsizetype n = 10; n < c.tag.size(); ++n) {
            if (const auto start = id3v2::readCommonFrames(c.tag.first(n))) {
                EXPECT_EQ(start, whole) << n;
            }
        }
        const std::optional<Id3v2Values> parsed = id3v2::parse(c.tag);
        EXPECT_EQ(parsed, id3v2::parseWithTagLib(c.tag));
        // Read from a file (the size past the end makes it no tag).
        EXPECT_EQ(read(c.tag + audio, false, true).id3v2, *size > c.tag.size() + audio.size() ? std::nullopt : parsed);
    }
}
