// Splitting file names into tag fields: delimiters, pieces, pattern, priorities.
#include "fromname/NameExtraction.h"
#include "fromname/NameSources.h"

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFile>

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

QList<NameSource> sources(const QStringList &names, const TagRecord &tag = {})
{
    QList<NameSource> list;
    for (const QString &n : names)
        list << NameSource{"/music/" + n, tag, 1999};
    return list;
}

QStringList fields(const GridRecord &r)
{
    return {r.cells[ColTrack], r.cells[ColTitle], r.cells[ColArtist], r.cells[ColAlbum],
            r.cells[ColComment], r.cells[ColYear], r.cells[ColGenre]};
}

TagRecord tagged(const QString &title, const QString &artist, const QString &comment = {},
                 const QString &trackText = "0", quint8 genre = 0, const QString &year = "    ")
{
    TagRecord t;
    t.tagged = true;
    t.title = t.longTitle = title;
    t.artist = t.longArtist = artist;
    t.comment = comment;
    t.trackText = trackText;
    t.genre = genre;
    t.year = year;
    return t;
}

} // namespace

TEST(Extraction, DelimiterAndPiecesOfSingleNamesAndThePatternForThePieces)
{
    struct Case { const char *name; bool underscore; const char *delimiter; QStringList pieces; };
    const Case cases[] = {
        // "_" is no candidate: the blanks next to the delimiter stay as blanks.
        {"Artist_A_-_Song_A.mp3", true, "-", {"Artist A ", " Song A"}},
        {"Artist_A_-_Song_A.mp3", false, "_", {"Artist", "A", "-", "Song", "A"}},
        // The blank is the most frequent candidate: split at every blank.
        {"Abba - Waterloo.mp3", true, " ", {"Abba", "-", "Waterloo"}},
        // Track numbers of up to three digits are dropped, a year stays.
        {"Queen-07-Innuendo-1991.mp3", true, "-", {"Queen", "Innuendo", "1991"}},
        {"Queen-123-X.mp3", true, "-", {"Queen", "X"}},
        {"Waterloo.mp3", true, "Rest", {"Waterloo"}},
        {"a.mp3", true, "Rest", {"a"}},
        // Inside brackets nothing is counted, but the name is split at every "-".
        {"A B-C (x-y-z-w).mp3", true, " ", {"A", "B-C", "(x-y-z-w)"}},
        {"A-B (x-y-z).mp3", true, "-", {"A", "B (x", "y", "z)"}},
        {"Artist.Title.Album.mp3", true, ".", {"Artist", "Title", "Album"}},
        // A dot run is not split.
        {"A...B.C.mp3", true, ".", {"A...B", "C"}},
        // No letter is a delimiter, whatever its script.
        {"Motörhead-Smörgåsbord.mp3", true, "-", {"Motörhead", "Smörgåsbord"}},
        {"Björk-Jóga-Homogenic.mp3", true, "-", {"Björk", "Jóga", "Homogenic"}},
    };
    for (const Case &c : cases) {
        const QString candidates = delimiterCandidates({c.name}, c.underscore);
        const NameDelimiter d = nameDelimiter(c.name, candidates);
        EXPECT_EQ(d.delimiter, QString(c.delimiter)) << c.name;
        EXPECT_EQ(namePieces(c.name, splitPositions(c.name, d.delimiter), c.underscore), c.pieces) << c.name;
    }

    // The pattern puts the pieces into fields.
    const struct { QStringList pattern, titleArtistAlbumComment; } patterns[] = {
        {{"title", "artist", "album", "comment"}, {"P1", "P2", "P3", "P4"}},
        {{"artist", "title"}, {"P2", "P1", "P3", "P4"}},
        {{"Interpret", "Titel"}, {"P2", "P1", "P3", "P4"}},
        {{"album", "artist", "title"}, {"P3", "P2", "P1", "P4"}},
        {{"artist", "album", "title"}, {"P3", "P1", "P2", "P4"}},
        {{"comment", "title"}, {"P2", "P4", "P3", "P1"}},
        {{}, {"P1", "P2", "P3", "P4"}},
    };
    for (const auto &c : patterns) {
        FromNameSettings s;
        s.pattern = c.pattern;
        s.sync = false;
        const Extraction e = extractRecords(sources({"P1-P2-P3-P4.mp3"}), s, 2026);
        ASSERT_EQ(e.records.size(), 1);
        const GridRecord &r = e.records[0];
        EXPECT_EQ(QStringList({r.cells[ColTitle], r.cells[ColArtist], r.cells[ColAlbum], r.cells[ColComment]}),
                  c.titleArtistAlbumComment)
            << c.pattern.join(" - ").toStdString();
    }
}

TEST(Extraction, CandidatesDotRulesFilterListAndRecordOrder)
{
    EXPECT_EQ(delimiterCandidates({"a-b c-d.mp3", "x_y(z).mp3"}, false), QString("- ()_"));
    EXPECT_EQ(delimiterCandidates({"a-b c-d.mp3", "x_y(z).mp3"}, true), QString("- ()"));
    // Letters of any script are no candidates; the rest keeps its order.
    EXPECT_EQ(delimiterCandidates({"Motörhead-Smörgåsbord.mp3", "Ça plane–Жанна.mp3"}, true), QString(" -–"));
    // Only the name counts, not its extension.
    EXPECT_EQ(delimiterCandidates({"abc.m-3"}, true), QString());
    // " J." is an initial and "..." an ellipsis: neither counts as a delimiter.
    EXPECT_EQ(nameDelimiter("A.B J.C.mp3", ".").count, 1);
    EXPECT_EQ(nameDelimiter("A...B.C.mp3", ".").count, 1);
    EXPECT_EQ(nameDelimiter("A.B.C.D.E.F.mp3", ".").count, 2);
    // The filter list puts delimiters that repeat within a name first.
    EXPECT_EQ(extractRecords(sources({"One-Two-Three.mp3", "Solo.mp3", "A b.mp3"}), {}, 2026).delimiters,
              QStringList({"-", "Rest", " "}));

    // Records in grid order, numbered.
    const Extraction e = extractRecords(sources({"a-b-c.mp3", "a.mp3", "longer-name.mp3", "a-b.mp3"}), {}, 2026);
    QStringList names;
    for (const GridRecord &r : e.records)
        names << r.cells[ColFilename] + QString::number(r.number);
    // As the double loop leaves them: no name has both more positions and
    // a longer name than one before it.
    EXPECT_EQ(names, QStringList({"a.mp31", "a-b.mp32", "longer-name.mp33", "a-b-c.mp34"}));
}

// A delimiter the user chose splits every name, as the rename writes them:
// a leading number is the track, a longer one only when a piece is to spare.
TEST(Extraction, ChosenDelimiterSplitsEveryNameAndTakesTheLeadingTrack)
{
    const QStringList artistAlbumTitle{"artist", "album", "title"}, artistTitle{"artist", "title"};
    struct Case { const char *name; const char *at; QStringList pattern; const char *delimiter; QStringList expected; };
    // Expected: track, title, artist, album.
    const Case cases[] = {
        {"12 - Motörhead - Ace of Spades - Kickstart My Heart.mp3", " - ", artistAlbumTitle, " - ",
         {"12", "Kickstart My Heart", "Motörhead", "Ace of Spades"}},
        {"Abba - Waterloo (Live).mp3", " - ", artistTitle, " - ", {"", "Waterloo (Live)", "Abba", ""}},
        {"Mr. President - Coco Jamboo.mp3", " - ", artistTitle, " - ", {"", "Coco Jamboo", "Mr. President", ""}},
        {"Artist_A_-_Song_A.mp3", "_-_", artistTitle, "_-_", {"", "Song A", "Artist A", ""}},
        {"Motörhead-Smörgåsbord.mp3", "-", artistTitle, "-", {"", "Smörgåsbord", "Motörhead", ""}},
        {"[07] - AC_DC - Hells Bells.mp3", " - ", artistTitle, " - ", {"07", "Hells Bells", "AC DC", ""}},
        // Only a leading number is the track; others are dropped as ever.
        {"Abba - Waterloo - 07.mp3", " - ", artistTitle, " - ", {"", "Waterloo", "Abba", ""}},
        // A long number is a track when it counts up to 255, and no field
        // when the name has more pieces than the pattern words.
        {"000001 - Die Ärzte - Planet Punk - Mensch.mp3", " - ", artistAlbumTitle, " - ",
         {"01", "Mensch", "Die Ärzte", "Planet Punk"}},
        {"000300 - Scooter - Bravo Hits 21 - Jóga.mp3", " - ", artistAlbumTitle, " - ",
         {"", "Jóga", "Scooter", "Bravo Hits 21"}},
        {"1991 - Innuendo - Headlong.mp3", " - ", {"title", "artist", "album"}, " - ",
         {"", "1991", "Innuendo", "Headlong"}},
        {"1991 - Innuendo - Headlong.mp3", " - ", {"album", "title"}, " - ", {"", "Headlong", "", "Innuendo"}},
        // A single character keeps the rules of the automatic choice.
        {"A...B.C.mp3", ".", artistTitle, ".", {"", "C", "A...B", ""}},
        {"Waterloo.mp3", " - ", {"title"}, "Rest", {"", "Waterloo", "", ""}},
    };
    for (const Case &c : cases) {
        FromNameSettings s;
        s.sync = false;
        s.splitAt = c.at;
        s.pattern = c.pattern;
        const Extraction e = extractRecords(sources({c.name}), s, 2026);
        ASSERT_EQ(e.records.size(), 1);
        const GridRecord &r = e.records[0];
        EXPECT_EQ(r.delimiter, QString(c.delimiter)) << c.name;
        EXPECT_EQ(QStringList({r.cells[ColTrack], r.cells[ColTitle], r.cells[ColArtist], r.cells[ColAlbum]}), c.expected)
            << c.name << " / " << c.pattern.join(" - ").toStdString();
    }

    // The filter list holds the chosen delimiter and "Rest"; the name's
    // track wins over the name's number when the tag has none.
    FromNameSettings s;
    s.splitAt = " - ";
    const Extraction e = extractRecords(sources({"A - B - C.mp3", "Solo.mp3", "000007 - X - Y.mp3"}), s, 2026);
    EXPECT_EQ(e.candidates, " - ");
    EXPECT_EQ(e.delimiters, QStringList({" - ", "Rest"}));
    QStringList tracks;
    for (const GridRecord &r : e.records)
        tracks << r.cells[ColTrack];
    EXPECT_EQ(tracks, QStringList({"", "", "07"}));
    EXPECT_EQ(extractRecords(sources({"000007 - X - Y.mp3"}, tagged("", "", "", "09")), s, 2026).records[0].cells[ColTrack],
              "09");
    // A leading number that is no track is not taken from the name again;
    // a number elsewhere still is.
    EXPECT_EQ(extractRecords(sources({"000300 - X - Y.mp3"}), s, 2026).records[0].cells[ColTrack], "");
    EXPECT_EQ(extractRecords(sources({"X - Y - 07.mp3"}), s, 2026).records[0].cells[ColTrack], "07");
    // Each name's own delimiter: the name's number counts as track only from 1 to 255.
    EXPECT_EQ(extractRecords(sources({"! 000060 track01.mp3"}), {}, 2026).records[0].cells[ColTrack], "60");
    EXPECT_EQ(extractRecords(sources({"1991-Innuendo.mp3"}), {}, 2026).records[0].cells[ColTrack], "");
}

TEST(Extraction, PrioritiesOfNameInfosAndTag)
{
    const TagRecord tag = tagged("Tag Title", "", "tag note", "07", 17, "1980");
    // Expected: track, title, artist, album, comment, year, genre.
    struct Case { const char *what; FromNameSettings settings; TagRecord tag; QStringList expected; };
    const auto with = [](FromNameSettings s, const std::function<void(FromNameSettings &)> &change) {
        change(s);
        return s;
    };
    const FromNameSettings syncOn, syncOff = with(syncOn, [](auto &s) { s.sync = false; });
    const FromNameSettings beatles = with(syncOn, [](auto &s) { s.useArtist = true, s.artist = "Beatles"; });
    const FromNameSettings beatlesOff = with(beatles, [](auto &s) { s.sync = false; });
    const FromNameSettings fileYear = with(syncOff, [](auto &s) { s.useYear = true; });
    const FromNameSettings today = with(fileYear, [](auto &s) { s.yearSource = YearSource::Today; });
    const FromNameSettings typed = with(today, [](auto &s) { s.year = "1984"; });
    const FromNameSettings genre = with(syncOn, [](auto &s) { s.useGenre = true, s.genre = "Pop"; });
    const Case cases[] = {
        {"untagged, sync: number from the name", syncOn, {}, {"05", "Song", "Band", "", "", "", ""}},
        {"untagged, no sync", syncOff, {}, {"", "Song", "Band", "", "", "", ""}},
        {"tag wins where it has values", syncOn, tag, {"07", "Tag Title", "Band", "", "tag note", "1980", "Rock"}},
        {"tag fills the gaps", syncOff, tag, {"07", "Song", "Band", "", "tag note", "1980", "Rock"}},
        {"general artist", beatles, {}, {"05", "Song", "Beatles", "", "", "", ""}},
        {"tag artist beats general", beatles, tagged("", "Tag Band"), {"05", "Song", "Tag Band", "", "", "", ""}},
        {"general beats tag without sync", beatlesOff, tagged("", "Tag Band"), {"", "Song", "Beatles", "", "", "", "Blues"}},
        {"year of the file", fileYear, {}, {"", "Song", "Band", "", "", "1999", ""}},
        {"year of today", today, {}, {"", "Song", "Band", "", "", "2026", ""}},
        {"typed year", typed, {}, {"", "Song", "Band", "", "", "1984", ""}},
        {"blank tag year does not win", syncOn, tagged("", "", "", "0", 0, "    "), {"05", "Song", "Band", "", "", "", ""}},
        {"general genre", genre, {}, {"05", "Song", "Band", "", "", "", "Pop"}},
        {"tag genre wins", genre, tagged("", "", "", "0", 9), {"05", "Song", "Band", "", "", "", "Metal"}},
    };
    for (const Case &c : cases) {
        const Extraction e = extractRecords(sources({"05-Song-Band.mp3"}, c.tag), c.settings, 2026);
        ASSERT_EQ(e.records.size(), 1);
        EXPECT_EQ(fields(e.records[0]), c.expected) << c.what;
    }

    // Without sync the name's comment is kept.
    FromNameSettings s;
    s.sync = false;
    const Extraction e = extractRecords(sources({"T-A-B-Name note.mp3"}, tagged("", "", "tag note")), s, 2026);
    EXPECT_EQ(e.records[0].cells[ColComment], "Name note");
    // Long tag values are not cut.
    TagRecord t = tagged("A title of exactly thirty char", "");
    t.longTitle = "A title of exactly thirty characters and more";
    EXPECT_EQ(extractRecords(sources({"x.mp3"}, t), {}, 2026).records[0].cells[ColTitle], t.longTitle);
}

TEST(Extraction, RealFilesTagsAndDates)
{
    TempHome home;
    const QString dir = home.music();
    const QStringList paths{putFile(dir, "03-Waterloo-Abba.mp3", mp3Frames(2)),
                            putFile(dir, "Other-Song-Band.mp3", mp3WithTag(values("Tagged", "", "", "1974", "", "09", 13))),
                            putFile(dir, "tiny-x.mp3", "short")};
    QFile f(paths[0]);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime(QDate(2003, 5, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
    f.close();
    FromNameSettings s;
    s.useYear = true;
    const Extraction e = extractRecords(readNameSources(paths, defaultTextCodec(), true), s, 2026);
    ASSERT_EQ(e.records.size(), 3);
    QMap<QString, GridRecord> byName;
    for (const GridRecord &r : e.records)
        byName[r.cells[ColFilename]] = r;
    EXPECT_EQ(fields(byName["03-Waterloo-Abba.mp3"]), QStringList({"03", "Waterloo", "Abba", "", "", "2003", ""}));
    EXPECT_EQ(fields(byName["Other-Song-Band.mp3"]), QStringList({"09", "Tagged", "Song", "Band", "", "1974", "Pop"}));
    EXPECT_TRUE(byName["Other-Song-Band.mp3"].tagged);
    EXPECT_FALSE(byName["03-Waterloo-Abba.mp3"].tagged);
    EXPECT_EQ(byName["tiny-x.mp3"].cells[ColTitle], "tiny");
}
