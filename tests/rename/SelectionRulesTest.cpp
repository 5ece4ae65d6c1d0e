#include "rename/RenameSettings.h"
#include "rename/SelectionRules.h"

#include <gtest/gtest.h>

using namespace kaz;
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
    struct Case {
        int clicked;
        F first, second, third;
        F second2, third2;
    };
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
        EXPECT_TRUE(second == c.second2 && third == c.third2) << c.clicked << int(c.first) << int(c.second) << int(c.third);
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
