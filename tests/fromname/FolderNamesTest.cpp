// Artist and album from the names of the current folder and its parent.
#include "fromname/FolderNames.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

struct Clicks {
    QString folder;
    FolderNameOptions options;
    FolderFields fields{"old artist", "old album", "old comment"};
    int swap = 0;

    FolderFields click()
    {
        fieldsFromFolderNames(folder, "/", options, swap, fields);
        return fields;
    }
};

QStringList asList(const FolderFields &f)
{
    return {f.artist, f.album, f.comment};
}

} // namespace

TEST(FolderNames, Rules)
{
    struct Case {
        const char *folder;
        bool noticeAlbum;
        bool noticeCd;
        QStringList artistAlbumComment;
    };
    const Case cases[] = {
        {"/Music/Queen/Innuendo", true, true, {"Queen", "Innuendo", "old comment"}},
        {"/Music/Queen/Innuendo/CD2", true, true, {"Queen", "Innuendo", "CD2"}},
        {"/Music/Queen/Innuendo/cd 2", true, true, {"Queen", "Innuendo", "CD 2"}},
        {"/Music/Queen/Innuendo/CD2", true, false, {"Queen", "Innuendo", "old comment"}},
        {"/Music/Queen/CDX", true, true, {"Queen", "CDX", "old comment"}},
        {"/Sampler", true, true, {"old artist", "old album", "old comment"}},
        {"/Music/sampler", false, true, {"Music", "sampler", "old comment"}},
        // A parent named ALBUM leaves the other field alone.
        {"/Album/Innuendo", true, true, {"old artist", "Innuendo", "old comment"}},
        {"/Queen", true, true, {"old artist", "Queen", "old comment"}},
        {"/", true, true, {"old artist", "old album", "old comment"}},
        {"/CD1", true, true, {"old artist", "old album", "CD1"}},
    };
    for (const Case &c : cases) {
        Clicks clicks{c.folder, {c.noticeAlbum, c.noticeCd}};
        EXPECT_EQ(asList(clicks.click()), c.artistAlbumComment) << c.folder;
        EXPECT_EQ(clicks.swap, 1) << c.folder; // the toggle flips whatever happened
    }
}

TEST(FolderNames, EveryClickSwaps)
{
    Clicks clicks{"/Music/Queen/Innuendo", {}};
    EXPECT_EQ(asList(clicks.click()).mid(0, 2), QStringList({"Queen", "Innuendo"}));
    EXPECT_EQ(asList(clicks.click()).mid(0, 2), QStringList({"Innuendo", "Queen"}));
    EXPECT_EQ(asList(clicks.click()).mid(0, 2), QStringList({"Queen", "Innuendo"}));
}

TEST(FolderNames, NamesBelowAVolumeRoot)
{
    int swap = 0;
    FolderFields f;
    fieldsFromFolderNames("/media/stick/Queen", "/media/stick", {}, swap, f);
    EXPECT_EQ(f.album, "Queen");
    EXPECT_EQ(f.artist, "");
}
