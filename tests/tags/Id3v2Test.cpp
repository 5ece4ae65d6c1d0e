// ID3v2 tags at the start of a file: each version and encoding read into the
// one tag record, ID3v1 winning where both are there, broken tags read as
// none, and the conversion that writes an ID3v1 tag without touching the
// start of the file.
#include "support/Id3v2Fixture.h"
#include "TagFileFixture.h"

#include "tags/Id3v2.h"
#include "tags/Id3v2Conversion.h"

#include <QProcess>

using namespace kaz;
using namespace kaz::test;

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
     {2, Id3v2Spec::Latin1, false, false, 0,
      Frames{{"TT2", "Über Song"}, {"TP1", "Artist"}, {"TAL", "Album"},
             {"TYE", "1999"}, {"TRK", "7"}, {"TCO", "(17)"},
             {"COM", "short note"}}},
     "Über Song", "Über Song", "Artist", "Album",
     "1999", "07", "short note", 17},
    {"v2.3 UTF-16 with BOM, unsynchronised, a character outside the code page",
     {3, Id3v2Spec::Utf16Bom, true, false, 64,
      Frames{{"TIT2", "Ωmega"}, {"TPE1", "Motörhead"}, {"TALB", "Ace"},
             {"TYER", "1980"}, {"TRCK", "12"}, {"TCON", "(17)Rock"}}},
     "?mega", "?mega", "Motörhead", "Ace",
     "1980", "12", QString(), 17},
    {"v2.4 UTF-8, recording date, track of total, extended header, unsynchronised, long title",
     {4, Id3v2Spec::Utf8, true, true, 0,
      Frames{{"TIT2", kLongTitle}, {"TPE1", "Sigur Rós"}, {"TALB", "()"},
             {"TDRC", "2001-05-04"}, {"TRCK", "3/12"},
             {"TCON", "(17)Rock"}, {"COMM", "a comment longer than the thirty of ID3v1"}}},
     kLongTitle, kLongTitle.left(30), "Sigur Rós", "()", "2001",
     "03", "a comment longer than the th", 17},
    {"v2.4 genre by name, another by an unknown name",
     {4, Id3v2Spec::Latin1, false, false, 0, Frames{{"TIT2", "T"}, {"TCON", "trance"}}},
     "T", "T", QString(), QString(), QString(), "0", QString(), 31},
    {"v2.4 a genre the list does not know",
     {4, Id3v2Spec::Utf16BigEndian, false, false, 0, Frames{{"TPE1", "X"}, {"TCON", "Made-up Genre"}}},
     QString(), QString(), "X", QString(), QString(), "0", QString(), 255},
};

using Id3v2 = TagFile;

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
        EXPECT_EQ(t.longTitle, c.longTitle);
        EXPECT_EQ(t.title, c.title);
        EXPECT_EQ(t.longArtist, c.artist);
        EXPECT_EQ(t.longAlbum, c.album);
        EXPECT_EQ(t.year, c.year);
        EXPECT_EQ(t.trackText, c.trackText);
        EXPECT_EQ(t.comment, c.comment);
        EXPECT_EQ(int(t.genre), c.genre);
        EXPECT_EQ(t.hasArtistOrAlbum, !QString(c.artist + c.album).isEmpty());

        const TagRecord off = read(bytes, false);
        EXPECT_FALSE(off.hasTag());
        EXPECT_TRUE(off.longTitle.isEmpty());
        EXPECT_FALSE(off.id3v2.has_value());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(Id3v2, AnId3v1TagWins)
{
    const QByteArray bytes = id3v2Tag(kReadCases[2].spec)
                             + mp3WithTag(values("V1 title", "V1 artist"));
    const TagRecord t = read(bytes, true, true);
    EXPECT_TRUE(t.tagged);
    EXPECT_FALSE(t.fromId3v2);
    EXPECT_EQ(t.longTitle, "V1 title");
    ASSERT_TRUE(t.id3v2.has_value()); // reported beside it, as the tag holds it
    EXPECT_EQ(t.id3v2->title, kLongTitle);
    EXPECT_EQ(t.id3v2->recordingDate, "2001-05-04");
    EXPECT_EQ(t.id3v2->track, "3/12");
    EXPECT_EQ(t.id3v2->comment, "a comment longer than the thirty of ID3v1");
}

TEST_F(Id3v2, BrokenOrHostileTagsReadAsNone)
{
    const QByteArray good = id3v2Tag(kReadCases[2].spec);
    QByteArray tooLong = good;
    tooLong[6] = 0x7f; // the size says more than the file holds
    QByteArray badVersion = good;
    badVersion[3] = 5;
    QByteArray notSyncsafe = good;
    notSyncsafe[8] = char(0x80);
    QByteArray zeroFrames = QByteArray("ID3\x04\x00\x00\x00\x00\x00\x20", 10) + QByteArray(32, '\0');
    QByteArray noise("ID3\x03\x00\x00\x00\x00\x01\x00", 10);
    for (int i = 0; i < 128; ++i)
        noise += char((i * 37 + 11) & 0xff);
    const QByteArray cases[] = {tooLong, badVersion, notSyncsafe, zeroFrames, noise, good.left(8), QByteArray("ID3")};
    for (const QByteArray &head : cases) {
        const TagRecord t = read(head + audio, true);
        EXPECT_FALSE(t.fromId3v2) << head.toHex().left(40).constData();
        EXPECT_FALSE(id3v2::parse(head).has_value());
    }
    // A frame that claims far more than the tag holds is cut at the tag's end.
    QByteArray hugeFrame = id3v2Tag({4, Id3v2Spec::Utf8, false, false, 0, Frames{{"TIT2", "x"}}});
    hugeFrame[14] = 0x7f;
    const TagRecord t = read(hugeFrame + audio, true);
    EXPECT_LE(t.longTitle.size(), 1);
}

// mutagen writes the tags here: a second, independent writer.
TEST_F(Id3v2, TagsWrittenByMutagenReadTheSame)
{
    const QString python = systemPythonWithMutagen();
    if (python.isEmpty())
        GTEST_SKIP() << "python3-mutagen is not installed";
    const char *script = R"(
import sys
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TDRC, TRCK, TCON, COMM
for path, version, enc in ((sys.argv[1], 3, 1), (sys.argv[2], 4, 3)):
    t = ID3()
    t.add(TIT2(encoding=enc, text='Títle – long enough to need the Lyrics3 block'))
    t.add(TPE1(encoding=enc, text='Ärtist'))
    t.add(TALB(encoding=enc, text='Album'))
    t.add(TDRC(encoding=enc, text='2001-05-04'))
    t.add(TRCK(encoding=enc, text='3/12'))
    t.add(TCON(encoding=enc, text='(17)Rock'))
    t.add(COMM(encoding=enc, lang='eng', desc='', text='note'))
    t.add(COMM(encoding=enc, lang='eng', desc='iTunNORM', text=' 0000 0000'))
    t.save(path, v2_version=version)
)";
    const QString v23 = home.music() + "/v23.mp3";
    const QString v24 = home.music() + "/v24.mp3";
    writeAll(v23, audio);
    writeAll(v24, audio);
    QProcess p;
    p.start(python, {"-c", QString::fromUtf8(script), v23, v24});
    ASSERT_TRUE(p.waitForFinished(30000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    for (const auto &[file, version] : {std::pair{v23, 3}, std::pair{v24, 4}}) {
        TagContext context;
        context.useId3v2 = true;
        const TagRecord t = readTag(file, context);
        ASSERT_TRUE(t.fromId3v2) << version;
        EXPECT_EQ(t.id3v2->version, version);
        // "–" is in Windows-1252; the record holds the whole title.
        EXPECT_EQ(t.longTitle, "Títle – long enough to need the Lyrics3 block");
        EXPECT_EQ(t.longArtist, "Ärtist");
        EXPECT_EQ(t.year, "2001");
        EXPECT_EQ(t.trackText, "03");
        EXPECT_EQ(t.genre, 17);
        EXPECT_EQ(t.comment, "note");
    }
}

TEST_F(Id3v2, ConversionWritesOnlyTheEndOfTheFile)
{
    const QByteArray original = id3v2Tag(kReadCases[2].spec) + audio;
    writeAll(path, original);
    TagContext context;
    ConversionResult r = convertFromId3v2(path, false, context);
    ASSERT_EQ(r.outcome, ConversionOutcome::Written) << r.status.errorText().toStdString();
    QByteArray now = readAll(path);
    EXPECT_EQ(now.left(original.size()), original); // ID3v2 tag and audio byte for byte
    TagRecord t = readTag(path, {});
    EXPECT_TRUE(t.tagged);
    EXPECT_TRUE(t.hasLyrics3); // the long title
    EXPECT_EQ(t.longTitle, kLongTitle);
    EXPECT_EQ(t.year, "2001");
    EXPECT_EQ(t.trackText, "03");
    EXPECT_EQ(t.genre, 17);
    // Kept, replaced and left files: see Id3v2Cli.FromV2ConvertsLeavesAndCounts.
}
