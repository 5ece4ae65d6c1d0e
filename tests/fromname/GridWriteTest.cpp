// Writing grid rows into real files: values, track byte, genre, Lyrics3,
// headers and failures (Lyrics3 blocks: see TagWrite).
#include "fromname/GridTable.h"
#include "fromname/GridWrite.h"

#include "support/QtPrinters.h"
#include "support/TestSupport.h"
#include "tags/Id3v1.h"
#include "tags/TagIO.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

namespace {

GridRecord row(const QString &path, const QStringList &cells)
{
    GridRecord r;
    r.path = path;
    r.cells[ColFilename] = path.section('/', -1);
    for (int c = 0; c < cells.size(); ++c)
        r.cells[ColTrack + c] = cells[c];
    r.number = 1;
    return r;
}

class GridWrite : public ::testing::Test
{
protected:
    QString file(const QString &name, const QByteArray &bytes) { return putFile(home.music(), name, bytes); }

    TempHome home;
    QByteArray audio = mp3Frames(3);
};

} // namespace

TEST_F(GridWrite, CellsBecomeTheTagExchangedHeadersDecideTheFieldsAFailedRowStopsNoOther)
{
    // cells: track, title, artist, album, comment, year, genre
    struct Case { const char *what; QStringList cells; bool hadTag; const char *trackText; int genre;
                  bool trackDropped, genreKept; };
    const Case cases[] = {
        {"all fields", {"7", "Song", "Band", "LP", "note", "1999", "Rock"}, false, "07", 17, false, false},
        {"genre by name in any case", {"", "Song", "", "", "", "", "rock"}, true, "0", 17, false, false},
        {"Blues is genre 0", {"", "Song", "", "", "", "", "Blues"}, true, "0", 0, false, false},
        {"no genre name keeps the file's", {"", "Song", "", "", "", "", "Nonsense"}, true, "0", 9, false, true},
        {"empty genre keeps the file's", {"", "Song", "", "", "", "", ""}, true, "0", 9, false, false},
        {"track 300 is not written as 44", {"300", "Song", "", "", "", "", ""}, true, "0", 9, true, false},
        {"track text", {"x1", "Song", "", "", "", "", ""}, false, "0", 0, true, false},
        {"track 0", {"0", "Song", "", "", "", "", ""}, false, "0", 0, true, false},
        {"track 255", {"255", "Song", "", "", "", "", ""}, false, "255", 0, false, false},
        {"empty track clears the file's", {"", "Song", "", "", "", "", ""}, true, "0", 9, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = file("t.mp3", c.hadTag ? audio + id3v1::render(values("Old", "Old band", "Old LP", "1970", "old", "05", 9), defaultTextCodec())
                                                   : audio);
        const RowWriteResult r = writeRow(row(path, c.cells), {}, defaultTextCodec());
        EXPECT_TRUE(r.written);
        EXPECT_EQ(r.trackDropped, c.trackDropped);
        EXPECT_EQ(r.genreKept, c.genreKept);
        const QByteArray bytes = readAll(path);
        ASSERT_EQ(bytes.size(), audio.size() + 128);  // one tag, never two
        EXPECT_EQ(bytes.left(audio.size()), audio);
        const TagRecord t = readTag(path, {});
        EXPECT_EQ(QStringList({t.title, t.artist}), c.cells.mid(1, 2));
        // A higher track byte reads as part of the comment.
        EXPECT_TRUE(t.track >= 33 || t.comment == c.cells[4]) << t.comment.toStdString();
        EXPECT_EQ(t.trackText, QString(c.trackText));
        EXPECT_EQ(int(t.genre), c.genre);
    }

    // The track byte after a cut comment, and the year padded.
    const QString path = file("t.mp3", audio);
    writeRow(row(path, {"7", "T", "A", "B", "A comment longer than 28 chars!", "99", ""}), {}, defaultTextCodec());
    const QByteArray tag = readAll(path).right(128);
    EXPECT_EQ(tag.mid(97, 28), "A comment longer than 28 cha");
    EXPECT_EQ(tag.mid(125, 2), QByteArray("\0\7", 2));
    EXPECT_EQ(tag.mid(93, 4), "99  ");

    // Exchanged headers decide the fields.
    GridTable table({row(path, {"", "Under Title", "Under Artist", "Under Album", "", "", ""})});
    table.fill({}, {});
    ASSERT_TRUE(table.exchangeHeaders(ColTitle, ColArtist));
    EXPECT_FALSE(table.exchangeHeaders(ColTitle, ColComment));
    table.write({0}, defaultTextCodec(), {});
    const TagRecord t = readTag(path, {});
    EXPECT_EQ(QStringList({t.title, t.artist, t.album}), QStringList({"Under Artist", "Under Title", "Under Album"}));
    const FieldColumns german = fieldColumnsFromHeaders({"Interpret", "Titel", "Album"});
    EXPECT_EQ(german.title, ColArtist);
    EXPECT_EQ(german.artist, ColTitle);

    // A failed row does not stop the others.
    const QString a = file("a.mp3", audio);
    const QString gone = file("gone.mp3", audio);
    const QString c = file("c.mp3", audio);
    GridTable three({row(a, {"", "A"}), row(gone, {"", "B"}), row(c, {"", "C"})});
    three.fill({}, {});
    QFile::remove(gone);
    const QList<RowWriteResult> results =
        three.write({0, 1, 2}, defaultTextCodec(), [](const QString &path) { return taginfo(path); });
    ASSERT_EQ(results.size(), 3);
    EXPECT_EQ(QList<bool>({results[0].written, results[1].written, results[2].written}), QList<bool>({true, false, true}));
    EXPECT_FALSE(results[1].status.ok());
    EXPECT_EQ(readTag(c, {}).title, "C");
    EXPECT_FALSE(QFile::exists(gone)); // not made by the write
    EXPECT_TRUE(three.changesKept());
    EXPECT_EQ(three.cell(0, ColStatus), "Tag!");
    EXPECT_EQ(three.cell(1, ColStatus), "");
}
