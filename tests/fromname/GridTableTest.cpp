// The grid's view: filter, sorting and unsort, column edits, numbering, exchanges.
#include "fromname/GridTable.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

GridRecord record(int number, const QString &delimiter, const QString &artist)
{
    GridRecord r;
    r.path = QStringLiteral("/m/%1.mp3").arg(number);
    r.cells[ColFilename] = QStringLiteral("%1.mp3").arg(number);
    r.cells[ColArtist] = artist;
    r.cells[ColTitle] = QStringLiteral("T%1").arg(number);
    r.delimiter = delimiter;
    r.number = number;
    return r;
}

GridTable table()
{
    GridTable t({record(1, "-", "Cher"), record(2, " ", "Abba"), record(3, "-", "Blur"), record(4, "Rest", "Abba"),
                 record(5, "-", "Doors"), record(6, "-", "Abba")});
    t.fill({}, {});
    return t;
}

QStringList column(const GridTable &t, int c)
{
    QStringList texts;
    for (int r = 0; r < t.rowCount(); ++r)
        texts << t.cell(r, c);
    return texts;
}

} // namespace

TEST(GridTable, FilterSortColumnEditsNumberingAndExchanges)
{
    GridTable t = table();
    t.sortBy(ColArtist);
    EXPECT_EQ(column(t, ColArtist), QStringList({"Abba", "Abba", "Abba", "Blur", "Cher", "Doors"}));
    EXPECT_FALSE(t.descending());
    // An edit reaches the record of the same file.
    t.setCell(0, ColAlbum, "Gold");
    EXPECT_EQ(t.records()[t.rows()[0].record].cells[ColArtist], "Abba");
    EXPECT_EQ(t.records()[t.rows()[0].record].cells[ColAlbum], "Gold");
    t.sortBy(ColArtist);
    EXPECT_EQ(column(t, ColArtist), QStringList({"Doors", "Cher", "Blur", "Abba", "Abba", "Abba"}));
    EXPECT_TRUE(t.descending());
    t.sortBy(ColTitle);
    EXPECT_FALSE(t.descending());
    t.unsort();
    EXPECT_EQ(column(t, ColFilename), QStringList({"1.mp3", "2.mp3", "3.mp3", "4.mp3", "5.mp3", "6.mp3"}));
    // Unsort also in a filtered view.
    t.fill("-", {});
    t.sortBy(ColArtist);
    t.unsort();
    EXPECT_EQ(column(t, ColFilename), QStringList({"1.mp3", "3.mp3", "5.mp3", "6.mp3"}));

    // The filter shows one delimiter, and all again the stored values.
    t.setCell(1, ColArtist, "Oasis");
    t.fill({}, {});
    EXPECT_EQ(column(t, ColArtist), QStringList({"Cher", "Abba", "Oasis", "Abba", "Doors", "Abba"}));
    t.fill("Rest", {});
    EXPECT_EQ(column(t, ColFilename), QStringList({"4.mp3"}));

    // Column edits for all or selected rows, numbering, exchanges.
    t = table();
    t.setColumn(ColAlbum, "Hits", {1, 3});
    EXPECT_EQ(column(t, ColAlbum), QStringList({"", "Hits", "", "Hits", "", ""}));
    t.setColumn(ColGenre, "Pop", {});
    EXPECT_EQ(column(t, ColGenre), QStringList(6, "Pop"));
    t.setColumn(ColFilename, "x", {}); // the file name is not a tag field
    EXPECT_EQ(t.cell(0, ColFilename), "1.mp3");

    t.numberTracks({4, 2, 3});
    EXPECT_EQ(column(t, ColTrack), QStringList({"", "", "01", "02", "03", ""}));
    t.numberTracks({0, 1, 2, 3, 4, 5});
    EXPECT_EQ(t.cell(5, ColTrack), "06");
    t.clearTracks({0, 5});
    EXPECT_EQ(column(t, ColTrack), QStringList({"", "02", "03", "04", "05", ""}));

    // Drag exchanges.
    EXPECT_TRUE(t.exchangeCells(0, ColTrack, 1, ColTrack));
    EXPECT_EQ(column(t, ColTrack).mid(0, 2), QStringList({"02", ""}));
    EXPECT_TRUE(t.exchangeCells(2, ColTitle, 2, ColArtist));
    EXPECT_EQ(t.cell(2, ColTitle), "Blur");
    EXPECT_EQ(t.records()[2].cells[ColArtist], "T3");
    EXPECT_FALSE(t.exchangeCells(0, ColTitle, 1, ColTitle)); // pieces only within a row
    EXPECT_FALSE(t.exchangeCells(0, ColYear, 0, ColTitle));
    EXPECT_FALSE(t.exchangeCells(0, ColTrack, 0, ColTrack));
}
