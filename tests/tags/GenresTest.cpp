#include "tags/Genres.h"

#include <gtest/gtest.h>

using namespace kaz;

TEST(Genres, NumbersNamesAndTheChoiceBox)
{
    EXPECT_EQ(genreName(17), "Rock");
    EXPECT_EQ(genreName(133), "Afro-Punk");
    EXPECT_EQ(genreName(144), "Trash Metal");
    EXPECT_TRUE(genreName(145).isEmpty() && genreName(200).isEmpty());
    EXPECT_EQ(genreNumber("Rock"), 17);
    EXPECT_EQ(genreNumber(QString()), 255); // no genre chosen
    EXPECT_EQ(genreNumber("No Such Genre"), -1);
    // The choice box: sorted, complete, the names as they stand.
    const QStringList names = sortedGenreNames();
    ASSERT_EQ(names.size(), 145);
    EXPECT_LT(names.indexOf("Acapella"), names.indexOf("Acid"));
    for (const char *odd : {"Fol-Rock", "Bleugrass", "Progrssive Rock", "Rhytmic Soul", "Native US"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(odd))) << odd;
}
