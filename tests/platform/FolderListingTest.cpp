// Which names the program may work on, and the order it lists them in.
#include "support/TestSupport.h"

#include "platform/FolderListing.h"

#include <QDir>
#include <QFile>

using namespace kaz;
using namespace kaz::test;

TEST(FolderListing, OnlyNamesThatDecodeToThemselvesAreWorkedOnSortedAsShown)
{
    const struct { const char *bytes; bool decodable; } cases[] = {
        {"plain ascii name longer than eight.mp3", true}, {"K\xC3\xB6nig.mp3", true},
        {"\xF0\x9F\x98\x80 smile.mp3", true},              {"\xF4\x8F\xBF\xBF", true},
        {"\xEF\xBB\xBF" "bom first.mp3", false},            {"\xC0\x80", false}, // overlong NUL
        {"abcdefgh\xED\xA0\x80", false},                    // a surrogate after eight ASCII bytes
        {"\xF4\x90\x80\x80", false},                        {"abc\xFF.mp3", false},
        {"cut \xE2\x82", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isDecodableName(QByteArrayView(c.bytes)), c.decodable) << c.bytes;

    // Names that sort by their bytes (names sharing their first eight bytes, a
    // name that starts another, bytes beyond ASCII) and names beyond the basic
    // plane, which sort as they are shown.
    const QList<QStringList> folders = {
        {"b.mp3", QString::fromUtf8("\xEF\xBF\xBD.mp3"), QString::fromUtf8("\xF0\x9F\x98\x80.mp3"), "A.mp3"},
        {"abcdefgh", "abcdefghi", "abcdefgh1.mp3", "abcdefgg.mp3", "abc", "ab", "abcdefgh a", "z.mp3",
         QString::fromUtf8("\xC3\xA9.mp3"), QString::fromUtf8("abcdefgh\xC3\xA9"), "0 track.mp3", "10 track.mp3"},
        // Past the shared eight bytes one name starts the next.
        {"Track 01", "Track 01 - Intro.mp3", "Track 01 - Intro.mp3.bak", "Track 01 - Intro", "Track 011.mp3",
         "Track 01.mp3", "Track 01 ", QString::fromUtf8("Track 01\xC3\xA9"), QString::fromUtf8("Track 01\xC3\xA9.mp3"),
         "Track 01.mp", "Track 01.mp3x"},
    };
    for (const QStringList &names : folders) {
        QStringList sorted = names;
        std::sort(sorted.begin(), sorted.end());
        // Made in either order: the listing does not follow the folder's own.
        for (const bool reversed : {false, true}) {
            TempHome home;
            const QString dir = home.music();
            for (qsizetype i = 0; i < names.size(); ++i)
                QFile(dir + "/" + names[reversed ? names.size() - 1 - i : i]).open(QIODevice::WriteOnly);
            QStringList listed;
            for (const FolderEntry &e : listFolder(dir))
                listed << e.name;
            EXPECT_EQ(listed, sorted) << (reversed ? "made in reverse" : "made in order");
        }
    }
}
