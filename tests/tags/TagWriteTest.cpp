// Writing tags: exact bytes, sizes, kept Lyrics3 fields, audio untouched.
#include "TagFileFixture.h"
#include "support/SmallVolume.h"

#include "tags/Id3v1.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

namespace {

using TagWrite = TagFile;

TagOverride artistOnly(const QString &artist)
{
    TagOverride o;
    o.artist = artist;
    return o;
}

TagOverride titleOnly(const QString &title)
{
    TagOverride o;
    o.title = title;
    return o;
}

} // namespace

TEST_F(TagWrite, AnUntaggedFileGrowsByOneTagATaggedOneKeepsItsSizeAndUnsetValues)
{
    writeAll(path, audio);
    TagOverride o;
    o.title = "Jóga";
    o.year = "1997";
    o.genre = 52;
    EXPECT_TRUE(set(o).status.ok());
    const QByteArray bytes = readAll(path);
    ASSERT_EQ(bytes.size(), audio.size() + 128);
    EXPECT_EQ(bytes.left(audio.size()), audio);
    const QByteArray tag = bytes.right(128);
    EXPECT_EQ(tag.left(33), "TAG" + QByteArray("J\xf3ga").leftJustified(30, ' '));
    EXPECT_EQ(tag.mid(93, 4), "1997");
    EXPECT_EQ(uchar(tag[127]), 52);

    // The track survives a write from names, as do all values not set.
    writeAll(path, mp3WithTag(values("Old", "Band", "LP", "1990", "note", "07", 9)));
    EXPECT_TRUE(set(titleOnly("New")).status.ok());
    EXPECT_EQ(readAll(path), mp3WithTag(values("New", "Band", "LP", "1990", "note", "07", 9)));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // Small files get their tag replaced, never a second one.
    writeAll(path, {});
    o = {};
    o.title = "First";
    o.album = "Album";
    set(o);
    EXPECT_EQ(readAll(path).size(), 128);
    set(artistOnly("Second"));
    EXPECT_EQ(readAll(path).size(), 128);
    const TagRecord t = readTag(path, {});
    EXPECT_EQ(QStringList({t.title, t.artist, t.album}), QStringList({"First", "Second", "Album"}));

    // 10 bytes of something, then a tag.
    writeAll(path, QByteArray(10, 'x') + readAll(path));
    set(artistOnly("Third"));
    EXPECT_EQ(readAll(path).size(), 138);
    EXPECT_TRUE(readAll(path).startsWith(QByteArray(10, 'x')));
    EXPECT_EQ(readTag(path, {}).album, "Album");
}

TEST_F(TagWrite, LongArtistCreatesTheExactLyrics3BlockShortValuesAnEmptyOne)
{
    writeAll(path, audio);
    const QString artist = "An Artist Name Of 31 Characters";
    ASSERT_EQ(artist.size(), 31);
    set(artistOnly(artist));
    const QByteArray bytes = readAll(path);
    const QByteArray expected = "LYRICSBEGIN" + QByteArray("EAR00031") + artist.toLatin1() + "000050LYRICS200";
    ASSERT_EQ(bytes.size(), audio.size() + expected.size() + 128);
    EXPECT_EQ(bytes.mid(audio.size(), expected.size()), expected);
    EXPECT_EQ(readTag(path, {}).longArtist, artist);

    // Short values and no kept field at all: the bare block.
    set(artistOnly("Short"));
    EXPECT_EQ(readAll(path), audio + "LYRICSBEGIN000011LYRICS200" + readAll(path).right(128));

    // A value is cut at the 99,999 bytes its five length digits can say.
    TagOverride huge;
    huge.title = QString(100000, QLatin1Char('t'));
    huge.artist = QString(99999, QLatin1Char('a'));
    huge.album = QString(150000, QLatin1Char('b'));
    ASSERT_TRUE(set(huge).status.ok());
    const QByteArray cut = readAll(path);
    const QByteArray fields = "ETT99999" + QByteArray(99999, 't') + "EAR99999" + QByteArray(99999, 'a') + "EAL99999"
                              + QByteArray(99999, 'b');
    EXPECT_EQ(cut.size(), audio.size() + 11 + fields.size() + 15 + 128);
    EXPECT_TRUE(cut.mid(audio.size()).startsWith(QByteArray("LYRICSBEGIN" + fields + "300032LYRICS200")))
        << cut.mid(audio.size(), 30).constData();
    const TagRecord t = readTag(path, {});
    EXPECT_EQ(t.longTitle, QString(99999, QLatin1Char('t')));
    EXPECT_EQ(t.longArtist, QString(99999, QLatin1Char('a')));
    EXPECT_EQ(t.longAlbum, QString(99999, QLatin1Char('b')));
}

TEST_F(TagWrite, KeptFieldsSurviveUnlessTheBlockWouldOutgrowItsSizeDigits)
{
    const QByteArray lyr = "LYR00012[00:01]hello";
    const QByteArray img = "IMG00004a.jp";
    // The kept fields stored out of the usual order.
    const TagValues longTitle = values("A title longer than thirty characters, yes", "Band");
    writeAll(path, demoFileBytes({.relativePath = "a.mp3", .values = longTitle, .extraLyrics3Fields = {img, lyr}, .frames = 3}));

    set(titleOnly("Short now"));
    const QByteArray bytes = readAll(path);
    const QByteArray expected = "LYRICSBEGIN" + lyr + img;
    const QByteArray blockOut = expected + QByteArray::number(expected.size()).rightJustified(6, '0') + "LYRICS200";
    EXPECT_EQ(bytes.size(), audio.size() + blockOut.size() + 128);
    EXPECT_EQ(bytes.mid(audio.size(), blockOut.size()), blockOut);

    // A block that would outgrow its size digits is refused.
    // Nine picture fields of the largest size make a block of 900,074 bytes;
    // a title of 99,999 bytes would push it past what six digits can say.
    QList<QByteArray> pictures;
    for (int i = 0; i < 9; ++i)
        pictures << "IMG99999" + QByteArray(99999, char('a' + i));
    writeAll(path, demoFileBytes({.relativePath = "a.mp3", .values = longTitle, .extraLyrics3Fields = pictures, .frames = 3}));
    const QByteArray before = readAll(path);
    ASSERT_TRUE(readTag(path, {}).hasLyrics3);

    const TagWriteResult refused = set(titleOnly(QString(99999, QLatin1Char('t'))));
    EXPECT_FALSE(refused.status.ok());
    EXPECT_TRUE(refused.status.errorText().contains("999999")) << refused.status.errorText().toStdString();
    EXPECT_EQ(readAll(path), before);

    EXPECT_TRUE(set(titleOnly(QString(60, QLatin1Char('t')))).status.ok()); // still fits
    const TagRecord t = readTag(path, {});
    EXPECT_EQ(t.longTitle, QString(60, QLatin1Char('t')));
    EXPECT_EQ(t.keptLyrics3Fields, pictures);
}

// Cancel in the editor writes nothing. OK, with values and a new name:
// TagEditorDialogTest.OpenedByTheTagWriterShowsHandedValuesAndLetsItWrite.
TEST_F(TagWrite, ACancelledEditorWritesNothing)
{
    struct Editor : TagEditor {
        bool edit(QString &, TagValues &v) override
        {
            v.title = "Edited";
            return false;
        }
    } editor;
    writeAll(path, mp3WithTag(values("Before", "x")));
    const QByteArray before = readAll(path);
    TagContext context;
    context.editor = &editor;
    QString name = path;
    TagWriteResult cancelled;
    get_id3tag(name, true, context, &cancelled);
    EXPECT_FALSE(cancelled.attempted);
    EXPECT_EQ(readAll(path), before);
}

// Bytes before the tag that are no valid Lyrics3 block are audio: they stay
// byte for byte, and only the tag after them is replaced.
TEST_F(TagWrite, BytesThatOnlyLookLikeABlockStayAsAudio)
{
    const QByteArray misspelt = "LYRICSBEGXN" + QByteArray("EAR00005Hello") + "000024LYRICS200";
    // "LYRICSBEGIN" inside the audio, and size digits that point there.
    const QByteArray inAudio = "LYRICSBEGIN" + QByteArray(1200, '\x55') + QByteArray::number(1211).rightJustified(6, '0')
                               + "LYRICS200";
    for (const QByteArray &fake : {misspelt, inAudio}) {
        const QByteArray before = audio + fake;
        writeAll(path, before + id3v1::render(values("t", "a"), defaultTextCodec()));
        EXPECT_FALSE(readTag(path, {}).hasLyrics3);
        EXPECT_TRUE(set(titleOnly("Short")).status.ok());
        EXPECT_EQ(readAll(path), before + id3v1::render(values("Short", "a"), defaultTextCodec()));
    }
}

// Tag writes on a full file system change nothing: the room is claimed
// before the first byte is overwritten (needs root for a small tmpfs).
// Files that end on a page boundary: any longer trailer needs a new page.
// The program folder on the full disk as well refuses even a trailer that
// would fit, as its journal has no room.
TEST_F(TagWrite, OnAFullDiskNothingChangesWhenTheNewTrailerOrItsJournalHasNoRoom)
{
    const QString small = home.path() + "/small";
    SmallVolume disk(small, 256);
    if (!disk.isMounted())
        GTEST_SKIP() << "needs root to mount a small tmpfs; full-disk tag writes not tested";
    const QByteArray tag = mp3WithTag(values("Old title", "Band", "Album"), 1);
    const QString plain = putFile(small, "plain.mp3", QByteArray(8192 - tag.size(), '\x11') + tag);
    const QByteArray bytes = demoFileBytes({.relativePath = "a.mp3", .values = values(QString(40, QLatin1Char('t')), "Band"),
                                            .extraLyrics3Fields = {}, .frames = 1});
    const QString withBlock = putFile(small, "block.mp3", QByteArray(8192 - bytes.size(), '\x11') + bytes);
    const QString elsewhere = putTagged(home.music(), "a.mp3", values("Old title", "Band"));
    QDir().mkpath(small + "/kaz");
    disk.fill();
    const QMap<QString, QByteArray> before = contentsOf({plain, withBlock, elsewhere});

    CliResult r = runCli({"tag", "set", "--title", QString(45, 'L'), plain, withBlock});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).count("No space left"), 2) << r.err.constData();
    EXPECT_EQ(contentsOf({plain, withBlock, elsewhere}), before);

    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(small));
    r = runCli({"tag", "set", "--title", QString(45, 'L'), elsewhere});
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_TRUE(endedWith(r, 1, "No space left"));
    EXPECT_EQ(readAll(elsewhere), before[elsewhere]);

    // A trailer that does not grow needs no room.
    EXPECT_EQ(runCli({"tag", "set", "--title", "New", plain}).exitCode, 0);
    EXPECT_EQ(readAll(plain).left(8192 - 128), before[plain].left(8192 - 128));
}
