// Artist and album from the names of the current folder and its parent, as
// the folder-names button of page "2" and of the tag editor fills them.
#include "tags/FolderNameGuess.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

QStringList asList(const FolderNameFields &f)
{
    return {f.artist, f.album, f.comment};
}

} // namespace

TEST(FolderNameGuess, RulesAndEveryClickSwaps)
{
    struct Case { const char *folder, *root; bool noticeAlbum, noticeCd; QStringList artistAlbumComment; };
    const Case cases[] = {
        {"/Music/Queen/Innuendo", "/", true, true, {"Queen", "Innuendo", "old comment"}},
        {"/Music/Queen/Innuendo/", "/", true, true, {"Queen", "Innuendo", "old comment"}},
        {"/Music/Queen/Innuendo/CD2", "/", true, true, {"Queen", "Innuendo", "CD2"}},
        {"/Music/Queen/Innuendo/cd 2", "/", true, true, {"Queen", "Innuendo", "CD 2"}},
        {"/Music/Queen/Innuendo/CD2", "/", true, false, {"Queen", "Innuendo", "old comment"}},
        {"/Music/Queen/CDX", "/", true, true, {"Queen", "CDX", "old comment"}},
        // Only the digits 0-9 make a CD folder, not other scripts' digits.
        {"/Music/Queen/CD\u0662", "/", true, true, {"Queen", "CD\u0662", "old comment"}},
        {"/Music/Queen/CD1 of a very long boxed set of forty discs", "/", true, true,
         {"Music", "Queen", "CD1 OF A VERY LONG BOXED SET O"}},
        {"/Sampler", "/", true, true, {"old artist", "old album", "old comment"}},
        {"/Music/sampler", "/", false, true, {"Music", "sampler", "old comment"}},
        // A parent named ALBUM leaves the other field alone.
        {"/Album/Innuendo", "/", true, true, {"old artist", "Innuendo", "old comment"}},
        {"/Music/Album/Innuendo", "/", false, true, {"Album", "Innuendo", "old comment"}},
        {"/Queen", "/", true, true, {"old artist", "Queen", "old comment"}},
        {"/", "/", true, true, {"old artist", "old album", "old comment"}},
        {"/CD1", "/", true, true, {"old artist", "old album", "CD1"}},
        // The volume root is never a name.
        {"/media/stick/Queen", "/media/stick", true, true, {"old artist", "Queen", "old comment"}},
        {"/media/stick", "/media/stick", true, true, {"old artist", "old album", "old comment"}},
        {"/stick/Queen", "", true, true, {"stick", "Queen", "old comment"}}, // no root known: "/"
    };
    for (const Case &c : cases) {
        FolderNameFields fields{"old artist", "old album", "old comment"};
        bool swapped = false;
        guessFromFolderNames(c.folder, c.root, {c.noticeAlbum, c.noticeCd}, swapped, fields);
        EXPECT_EQ(asList(fields), c.artistAlbumComment) << c.folder;
        EXPECT_TRUE(swapped) << c.folder; // the toggle flips whatever happened
    }

    // Each click swaps the two fields again.
    FolderNameFields fields;
    bool swapped = false;
    for (const char *first : {"Queen", "Innuendo", "Queen"}) {
        guessFromFolderNames("/Music/Queen/Innuendo", "/", {}, swapped, fields);
        EXPECT_EQ(fields.artist, first);
    }
}
