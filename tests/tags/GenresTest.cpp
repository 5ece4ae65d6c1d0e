#include "tags/Genres.h"

#include <gtest/gtest.h>

using namespace kaz;

TEST(Genres, NumbersNamesAndTheChoiceBox)
{
    EXPECT_EQ(genreName(17), "Rock");
    EXPECT_FALSE(genreName(144).isEmpty());
    EXPECT_TRUE(genreName(145).isEmpty());
    EXPECT_TRUE(genreName(200).isEmpty());
    EXPECT_EQ(genreNumber("Rock"), 17);
    EXPECT_EQ(genreNumber(QString()), 255); // no genre chosen
    EXPECT_EQ(genreNumber("No Such Genre"), -1);
    // The choice box: sorted and complete, the names as they stand ("Fol-Rock").
    const QStringList names = sortedGenreNames();
    ASSERT_EQ(names.size(), 145);
    EXPECT_LT(names.indexOf("Acapella"), names.indexOf("Acid"));
    EXPECT_TRUE(names.contains("Fol-Rock"));
}
