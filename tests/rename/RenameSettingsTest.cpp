// The rename settings: how the three selections and the numbering keep
// each other usable, and how they travel between KAZ.INI and the run.
#include "support/TestSupport.h"

#include "rename/RenameSettings.h"
#include "rename/RenameSettingsMapping.h"
#include "rename/SelectionRules.h"

using namespace kaz;
using namespace kaz::test;
using F = NameField;

TEST(SelectionRules, PatternExample)
{
    RenameSettings s;
    EXPECT_EQ(patternExample(s, Language::English), "Artist - Album - Title");
    EXPECT_EQ(patternExample(s, Language::German), "Interpret - Album - Titel");
    s.firstField = F::Album;
    s.secondField = F::None;
    s.thirdField = F::Artist;
    EXPECT_EQ(patternExample(s, Language::English), "Album - Artist");
    s.firstField = F::Title;
    s.thirdField = F::None;
    s.appendComment = true;
    EXPECT_EQ(patternExample(s, Language::German), "Titel - Kommentar");
    s.thirdField = F::Album;
    s.joliet = true; // the third selection is set aside
    EXPECT_EQ(patternExample(s, Language::English), "Title - Comment  (Joliet)");
}

TEST(SelectionRules, ThreeSelectionsStayDistinct)
{
    struct Case { int clicked; F first, second, third; F second2, third2; };
    const Case cases[] = {
        {1, F::Album, F::Album, F::Title, F::Title, F::Artist}, {1, F::Title, F::Title, F::Album, F::Artist, F::Album},
        {1, F::Artist, F::Artist, F::None, F::Album, F::None}, {1, F::Album, F::None, F::Album, F::None, F::Title},
        {2, F::Artist, F::Artist, F::Album, F::Album, F::Title}, {2, F::Title, F::Title, F::Album, F::Artist, F::Album},
        {2, F::Title, F::Album, F::Album, F::Album, F::Artist}, {3, F::Artist, F::Album, F::Title, F::Album, F::Title},
        {3, F::Artist, F::Album, F::Album, F::Album, F::Title}, {3, F::Artist, F::Title, F::Title, F::Title, F::Artist},
    };
    for (const Case &c : cases) {
        F first = c.first, second = c.second, third = c.third;
        adjustSelections(c.clicked, first, second, third);
        EXPECT_EQ(second, c.second2) << c.clicked << int(c.first) << int(c.second) << int(c.third);
        EXPECT_EQ(third, c.third2) << c.clicked << int(c.first) << int(c.second) << int(c.third);
    }
}

TEST(SelectionRules, OneNumberPositionAtATime)
{
    NumberingSettings stored{3, 1, 9};
    const NumberingSettings usable = stored.normalized();
    EXPECT_EQ(usable.fixedPosition, 3);
    EXPECT_EQ(usable.relativePosition, -1);
    EXPECT_EQ(usable.brackets, 0);
    EXPECT_TRUE(delimiterIsAllowed(" - "));
    EXPECT_FALSE(delimiterIsAllowed(" / "));
    EXPECT_FALSE(delimiterIsAllowed("----"));
    EXPECT_FALSE(replacementsAreUsable("/////////"));
    EXPECT_TRUE(replacementsAreUsable("___   --_"));
}

TEST(RenameSettingsMapping, RoundTripAndUnusableValues)
{
    KazSettings s = KazSettings::defaults(kCommandLineScreen, Language::English);
    s.selection = {2, 3, 0};
    s.joliet = true;
    s.numberFixedPosition = -1;
    s.numberRelativePosition = 2;
    s.numberBrackets = 3;
    s.delimiter = QStringLiteral("_");
    const RenameSettings r = renameSettingsFrom(s);
    EXPECT_EQ((QList<NameField>{r.firstField, r.secondField, r.thirdField}),
              (QList<NameField>{F::Title, F::None, F::Artist}));
    EXPECT_EQ(r.numbering.relativePosition, 2);
    EXPECT_EQ(r.numbering.fixedPosition, -1);
    EXPECT_EQ(r.delimiter, QStringLiteral("_"));
    KazSettings back = KazSettings::defaults(kCommandLineScreen, Language::English);
    storeRenameSettings(r, back);
    EXPECT_EQ(back.selection, s.selection);
    EXPECT_EQ(back.numberRelativePosition, 2);
    EXPECT_EQ(back.delimiter, s.delimiter);

    s.selection = {3, 9, -4}; // "none" first and numbers out of range
    s.replacementCharacters[1] = QStringLiteral("/");
    const RenameSettings fallback = renameSettingsFrom(s);
    EXPECT_EQ((QList<NameField>{fallback.firstField, fallback.secondField, fallback.thirdField}),
              (QList<NameField>{F::Artist, F::Album, F::Title}));
    EXPECT_EQ(fallback.replacements, RenameSettings().replacements);
}

TEST(RenameSettingsMapping, CommandLineStartsFromTheStoredSettings)
{
    TempHome home;
    const QString file = putTagged(home.music(), "x.mp3", values("Song", "Band", "Record"));
    const auto name = [&](const QStringList &extra) {
        return QString::fromUtf8(runCli(QStringList{"name"} + extra + QStringList{file}).out).trimmed();
    };
    EXPECT_EQ(name({}), "Band - Record - Song.mp3");
    ASSERT_EQ(runCli({"config", "set", "Delimiter", "_"}).exitCode, 0);
    ASSERT_EQ(runCli({"config", "set", "SelectionBoxes", "213"}).exitCode, 0);
    EXPECT_EQ(name({}), "Song_Record.mp3");
    EXPECT_EQ(name({"--delimiter", " + "}), "Song + Record.mp3");
}
