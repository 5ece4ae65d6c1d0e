// The free name "name (k).ext" every run gives a file whose name is taken.
#include "platform/FreeName.h"

#include "support/QtPrinters.h"

#include <QSet>

#include <gtest/gtest.h>

using namespace kaz;

TEST(FreeName, NumberGoesBeforeTheExtensionFirstFreeUpToTheLimit)
{
    EXPECT_EQ(numberedName("Song.mp3", 2), "Song (2).mp3");
    EXPECT_EQ(numberedName("Song.mp3", 0), "Song.mp3");
    EXPECT_EQ(numberedName("a.b.mp3", 3), "a.b (3).mp3");
    EXPECT_EQ(numberedName("README", 2), "README (2)");
    EXPECT_EQ(numberedName(".hidden", 2), ".hidden (2)");             // a leading dot is no extension
    EXPECT_EQ(numberedName("/m/v1.0/Song", 2), "/m/v1.0/Song (2)");   // nor a dot in a folder name
    EXPECT_EQ(numberedName("/m/v1.0/.mp3", 2), "/m/v1.0/.mp3 (2)");

    // The first free name from the given number up to the limit.
    const QSet<QString> taken{"Song.mp3", "Song (1).mp3", "Song (2).mp3"};
    const auto isTaken = [&](const QString &n) { return taken.contains(n); };
    EXPECT_EQ(freeName("Other.mp3", 2, isTaken), "Other.mp3");
    EXPECT_EQ(freeName("Song.mp3", 1, isTaken), "Song (3).mp3");
    EXPECT_EQ(freeName("Song.mp3", 2, isTaken), "Song (3).mp3");

    int asked = 0;
    const auto allTaken = [&](const QString &) { return ++asked > 0; };
    EXPECT_EQ(freeName("Song.mp3", 2, allTaken), QString());
    EXPECT_EQ(asked, kMaxNameNumber); // the name itself and 2 .. limit
}
