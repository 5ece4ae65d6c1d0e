#include "rename/NameComposer.h"
#include "rename/NumberExtractor.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

TagRecord tag(const QString &artist, const QString &album, const QString &title, const QString &trackText = "0",
              const QString &comment = {})
{
    TagRecord t;
    t.tagged = true;
    t.artist = t.longArtist = artist;
    t.album = t.longAlbum = album;
    t.title = t.longTitle = title;
    t.trackText = trackText;
    t.comment = comment;
    return t;
}

RenameSettings fields(NameField a, NameField b, NameField c)
{
    RenameSettings s;
    s.firstField = a;
    s.secondField = b;
    s.thirdField = c;
    return s;
}

const RenameSettings kAlbumTitle = fields(NameField::Artist, NameField::Album, NameField::Title);

} // namespace

TEST(NameComposer, WorkedExamples)
{
    struct Case {
        const char *what;
        TagRecord tag;
        RenameSettings settings;
        const char *fileName;
        const char *expected;
    };
    const auto with = [](RenameSettings s, auto change) {
        change(s);
        return s;
    };
    const RenameSettings fixed2 = with(kAlbumTitle, [](RenameSettings &s) { s.numbering.setFixed(2); });
    const RenameSettings bracketed = with(fixed2, [](RenameSettings &s) { s.numbering.brackets = 1; });
    const RenameSettings relative0 = with(kAlbumTitle, [](RenameSettings &s) { s.numbering.setRelative(0); });
    const RenameSettings relative3 = with(kAlbumTitle, [](RenameSettings &s) { s.numbering.setRelative(3); });
    const RenameSettings titleFirst = fields(NameField::Title, NameField::Artist, NameField::None);

    const Case cases[] = {
        {"album missing", tag("Abba", "", "Waterloo"), kAlbumTitle, "x.mp3", "Abba - Waterloo"},
        {"fixed after second", tag("Abba", "", "Waterloo", "07"), fixed2, "x.mp3", "Abba - Waterloo - 07"},
        {"brackets", tag("Abba", "", "Waterloo", "07"), bracketed, "x.mp3", "Abba - Waterloo - [07]"},
        {"before artist", tag("Abba", "", "Waterloo", "07"),
         with(titleFirst, [](RenameSettings &s) { s.numbering.setRelative(0); }), "x.mp3", "Waterloo - 07 - Abba"},
        {"number from the file name", tag("Abba", "", "Waterloo"), kAlbumTitle, "03 Waterloo.mp3",
         "03 - Abba - Waterloo"},
        {"no number anywhere", tag("Abba", "", "Waterloo"), bracketed, "Waterloo.mp3", "Abba - Waterloo"},
        {"at the end", tag("Abba", "Arrival", "SOS", "12"),
         with(kAlbumTitle, [](RenameSettings &s) { s.numbering.setFixed(4); }), "x.mp3", "Abba - Arrival - SOS - 12"},
        {"before comment, comment off", tag("Abba", "Arrival", "SOS", "12"), relative3, "x.mp3",
         "12 - Abba - Arrival - SOS"},
        {"before comment", tag("Abba", "Arrival", "SOS", "12", "live"),
         with(relative3, [](RenameSettings &s) { s.appendComment = true; }), "x.mp3",
         "Abba - Arrival - SOS - 12 - live"},
        {"empty comment", tag("Abba", "Arrival", "SOS"),
         with(kAlbumTitle, [](RenameSettings &s) { s.appendComment = true; }), "x.mp3", "Abba - Arrival - SOS"},
        {"numbers off", tag("Abba", "Arrival", "SOS", "12"),
         with(kAlbumTitle, [](RenameSettings &s) { s.keepNumbers = false; }), "05 x.mp3", "Abba - Arrival - SOS"},
        // The numbering dialog's promise: a number whose field is missing goes first.
        {"before a missing artist", tag("", "Arrival", "SOS", "12"), relative0, "x.mp3", "12 - Arrival - SOS"},
        {"doubled delimiter", tag("A", "", "-B"), with(kAlbumTitle, [](RenameSettings &s) { s.delimiter = "-"; }),
         "x.mp3", "A-B"},
        {"letter case kept", tag("aBBa", "", "wATERLOO"), kAlbumTitle, "x.mp3", "aBBa - wATERLOO"},
        // Names never start with a dot.
        {"leading dots", tag("Metallica", "", "...And Justice for All"), titleFirst, "x.mp3",
         "And Justice for All - Metallica"},
        {"inner dots", tag("Band", "", "Dots... in the middle"), titleFirst, "x.mp3", "Dots... in the middle - Band"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(compose_name(c.tag, QString::fromUtf8(c.fileName), c.settings), QString::fromUtf8(c.expected))
            << c.what;
}

// How marked names look: RenameRun.IncompleteTagsAreMarkedOnce.
TEST(NameComposer, IncompleteTagsAreMarkedNotNamed)
{
    EXPECT_FALSE(planName(tag("Abba", "", "Waterloo"), u"x.mp3", kAlbumTitle).complete);
    EXPECT_FALSE(planName(TagRecord(), u"x.mp3", kAlbumTitle).complete);
    const NamePlan plan = planName(tag("Abba", "Arrival", "SOS"), u"x.mp3", kAlbumTitle);
    EXPECT_TRUE(plan.complete);
    EXPECT_EQ(plan.name, "Abba - Arrival - SOS");
    // Nothing left but dots: marked, not named.
    EXPECT_FALSE(planName(tag("", "", "..."), u"x.mp3", fields(NameField::Title, NameField::None, NameField::None)).complete);
}

TEST(NameComposer, JolietShortening)
{
    RenameSettings one = fields(NameField::Title, NameField::None, NameField::None);
    one.joliet = true;
    const QString longText(80, QLatin1Char('t'));
    EXPECT_EQ(compose_name(tag("", "", longText), "x.mp3", one).size(), 54);

    RenameSettings two = fields(NameField::Artist, NameField::Title, NameField::Album);
    two.joliet = true; // the third field falls away
    const QString name = compose_name(tag(QString(80, 'a'), "Album", QString(80, 't')), "x.mp3", two);
    // B = 57 - 2*3 = 51: title to 3B/5 = 30, artist to B - 30 = 21.
    EXPECT_EQ(name, QString(21, 'a') + " - " + QString(30, 't'));

    two.appendComment = true;
    const QString withComment
        = compose_name(tag(QString(80, 'a'), "Album", QString(80, 't'), "0", QString(40, 'c')), "x.mp3", two);
    // B = 57 - 9 = 48: title to 24, artist to 3B/10 = 14, comment to 48 - 38 = 10.
    EXPECT_EQ(withComment, QString(14, 'a') + " - " + QString(24, 't') + " - " + QString(10, 'c'));
}

TEST(NameComposer, LimitsAndUnsafeCharacters)
{
    RenameSettings title = fields(NameField::Title, NameField::None, NameField::None);
    EXPECT_EQ(compose_name(tag("", "", QString(300, 'x')), "x.mp3", title).size(), kMaxComposedLength);
    EXPECT_EQ(compose_name(tag("", "", "A\nB\tC"), "x.mp3", title), "A B C");

    // 231 characters of two bytes each are more than a file name may hold.
    const QString umlauts(231, QChar(0xe4));
    const QString fitted = fitFileName(umlauts, u" (2).mp3");
    EXPECT_LE((fitted + " (2).mp3").toUtf8().size(), kMaxFileNameBytes);
    EXPECT_EQ(fitted.size(), (255 - 8) / 2);
    const QString emoji = QString(200, 'a') + QString::fromUtf8("\xF0\x9F\x8E\xB5\xF0\x9F\x8E\xB5");
    const QString cut = fitFileName(emoji, u".mp3");
    EXPECT_FALSE(cut.back().isHighSurrogate());
}

TEST(NameComposer, ForbiddenCharactersAreReplacedInTextsOnly)
{
    TagRecord t = tag("AC/DC", "Who?", "A<B>:C|D*E\"F\\G");
    t.track = 47; // the code of "/"
    t.trackText = "47";
    replaceForbiddenCharacters(t, "___   --_");
    // The blank that stands in for "?" in the album is trimmed.
    EXPECT_EQ(QStringList({t.artist, t.album, t.longAlbum, t.title, t.trackText}),
              QStringList({"AC_DC", "Who", "Who", "A-B-_C_D E F_G", "47"}));

    // The status bar shows the tag as it is.
    RenameSettings title = fields(NameField::Artist, NameField::None, NameField::None);
    EXPECT_EQ(statusBarName(tag("AC/DC", "", ""), "x.mp3", title), "AC/DC");
    EXPECT_EQ(compose_name(tag("AC/DC", "", ""), "x.mp3", title), "AC_DC"); // never leaves its folder
}

TEST(NameComposer, UserDefinedNames)
{
    // Names of files: RenameRun.UserDefinedNamesSkipNamesTakenOutsideTheRun.
    RenameSettings s;
    s.userDefined = true;
    // No text: the counter alone, never a hidden ".mp3".
    for (const char *empty : {"", "  ", "..."}) {
        s.userText = empty;
        EXPECT_EQ(userDefinedName(s, 3), "03") << empty;
        EXPECT_TRUE(userTextIsEmpty(s));
    }
}

TEST(NumberExtractor, NumbersInFileNames)
{
    const std::pair<const char *, const char *> cases[] = {
        {"01 - Intro.mp3", "01"}, {"Intro (5).mp3", "05"}, {"Song [12].mp3", "12"}, {"Song {3}.mp3", "03"},
        {"Song 12 (live).mp3", "12"}, {"Song.mp3", ""}, {"! [07] Song.mp3", "07"},
        // A bracket in front is passed over, marked or not.
        {"[07] - Abba - Waterloo.mp3", "07"}, {"(5) Intro.mp3", "05"}, {"{12}Song.mp3", "12"},
        {"00 Intro.mp3", ""}, {"", ""}, {".mp3", ""},
        // A number at the very end counts whole.
        {"Track 12.mp3", "12"}, {"Track 1.mp3", "01"}, {"12.mp3", "12"}, {"07.mp3", "07"},
        {"Song 2001 Remix.mp3", ""}, {"99999999999999999999 x.mp3", ""},
    };
    for (const auto &[name, number] : cases)
        EXPECT_EQ(extract_number(QString::fromUtf8(name)), QString::fromUtf8(number)) << name;
}
