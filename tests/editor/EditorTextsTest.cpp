// Labels and header of the editor, the values handed to the tag writer, the
// player's position bar and the folder-name guess.
#include "support/TestSupport.h"

#include "editor/EditorFields.h"
#include "editor/EditorTexts.h"
#include "editor/PlayerPosition.h"

using namespace kaz;

TEST(EditorTexts, LabelsHeaderValuesForSaveAndThePlayerPosition)
{
    const struct { LongField field; int length; Language language; const char *label; } labels[] = {
        {LongField::Artist, 34, Language::English, "Artist (34) extended"},
        {LongField::Artist, 30, Language::English, "Artist (30)"},
        {LongField::Title, 31, Language::German, "Titel (31) extended"},
        {LongField::Album, 0, Language::German, "Album (0)"},
    };
    for (const auto &c : labels)
        EXPECT_EQ(longFieldLabel(c.field, QString(c.length, QLatin1Char('x')), c.language), QString::fromUtf8(c.label));
    // "ö" is one character of the tag's code page.
    EXPECT_EQ(longFieldLabel(LongField::Artist, QString(30, QChar(0xF6)), Language::English), "Artist (30)");
    // The header follows the longest text.
    const QString x30(30, QLatin1Char('a')), x31(31, QLatin1Char('a'));
    EXPECT_EQ(headerFor(x30, x30, x30), HeaderState::Tag);
    EXPECT_EQ(headerFor(x30, x31, {}), HeaderState::Extended);

    // The values handed to the tag writer.
    struct Case { QString comment, year; int track; QString genre, wantComment, wantYear, wantTrack; int wantGenre; };
    const Case cases[] = {
        {QString(35, QLatin1Char('c')), "19999", 7, "Rock", QString(30, QLatin1Char('c')), "1999", "07", 17},
        {"c", "99", 0, QString(), "c", "99", "0", 255},
        {{}, {}, 300, "Acapella", {}, {}, "0", 123},
        {{}, {}, 255, "Blues", {}, {}, "255", 0},
    };
    for (const Case &c : cases) {
        EditorFields f;
        f.title = QString(40, QLatin1Char('t')); // long texts go whole to the writer
        f.comment = c.comment;
        f.year = c.year;
        f.track = c.track;
        f.genre = c.genre;
        const TagValues v = valuesForSave(f);
        EXPECT_EQ(QStringList({QString::number(v.title.size()), v.comment, v.year, v.trackText, QString::number(v.genre)}),
                  QStringList({"40", c.wantComment, c.wantYear, c.wantTrack, QString::number(c.wantGenre)}));
    }
    const struct { const char *typed; int track; } typed[] = {
        {"", 0}, {"12", 12}, {"255", 255}, {"256", 0}, {"999", 0}, {"x", 0}, {"-3", 0}};
    for (const auto &t : typed)
        EXPECT_EQ(trackFromInput(QString::fromLatin1(t.typed)), t.track) << t.typed;

    // The player's position bar, its jump and time text.
    EXPECT_EQ(barPosition(60000, 120, 50), 25);
    EXPECT_EQ(barPosition(5000, 0, 50), 50); // an unknown length counts as one second
    EXPECT_EQ(barPosition(999999, 10, 50), 50);
    EXPECT_EQ(jumpTarget(25, 120, 50), 60000);
    EXPECT_EQ(jumpTarget(0, 120, 50), 1);
    EXPECT_EQ(playerTimeText(65000, 245), "1:05/4:05");
    EXPECT_EQ(playerTimeText(0, 0), "0:00/0:00");
}
