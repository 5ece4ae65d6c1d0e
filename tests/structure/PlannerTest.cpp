// The planner on tables of rows, and the folders of the worked examples.
#include "structure/CdPacking.h"
#include "structure/TargetFolders.h"
#include "structure/MultiCdText.h"
#include "structure/StructurePlanner.h"

#include "support/QtPrinters.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

QString folderOf(const std::vector<StructureRow> &rows, const StructureSettings &s, size_t i)
{
    const StructurePlan plan = planStructure(rows, s);
    FolderSpelling spelling;
    QString result;
    for (size_t j = 0; j <= i; ++j)
        result = spelling.spell(targetFolders(rows[j], plan.rows[j], plan, s));
    return result;
}

using Tweak = void (*)(StructureSettings &);
constexpr Tweak none = [](StructureSettings &) {};

// The settings of a case: the defaults, Various as the name of the various folder, then the tweak.
StructureSettings settingsWith(Tweak tweak)
{
    StructureSettings s;
    s.variousDir = "Various";
    tweak(s);
    return s;
}

// Rows as "count*artist/album:MiB@multi-CD text" ("#" in the artist numbers
// the copies, "_" stands for a blank), a trailing "!" for a picture; the plan
// as "count*class<cd>" runs, the used MiB of each CD, and "!" when a group
// is too big for a CD.
std::vector<StructureRow> parseRows(const QString &spec)
{
    std::vector<StructureRow> rows;
    for (QString token : spec.split(' ', Qt::SkipEmptyParts)) {
        StructureRow r;
        r.audio = !token.endsWith('!');
        token.remove('!');
        r.multiCd = token.section('@', 1).replace('_', ' ');
        token = token.section('@', 0, 0);
        int n = 1;
        if (const qsizetype star = token.indexOf('*'); star > 0) {
            n = token.left(star).toInt();
            token = token.mid(star + 1);
        }
        const QStringList sizeSplit = token.split(':');
        r.size = sizeSplit.size() > 1 ? qint64(sizeSplit[1].toDouble() * 1048576) : 1048576;
        const QStringList names = sizeSplit[0].split('/');
        r.album = QString(names.value(1)).replace('_', ' ');
        for (int i = 0; i < n; ++i) {
            r.artist = QString(names[0]).replace('_', ' ').replace('#', QString::number(i));
            rows.push_back(r);
        }
    }
    return rows;
}

QString summary(const StructurePlan &plan)
{
    QStringList runs;
    QString last;
    int n = 0;
    const auto flush = [&] {
        if (n)
            runs << (n > 1 ? QString::number(n) + "*" + last : last);
    };
    for (const StructurePlacement &p : plan.rows) {
        QString token = p.cls == StructureClass::Counted ? QString::number(p.count) : QString(classMark(p.cls));
        if (p.cd > 0)
            token += QString::number(p.cd);
        if (token != last)
            flush(), last = token, n = 0;
        ++n;
    }
    flush();
    QStringList used;
    for (qint64 bytes : plan.cdUsed)
        used << QString::number(double(bytes) / 1048576);
    return runs.join(' ') + " | " + used.join(' ') + (plan.tooBig ? " !" : "");
}

} // namespace

TEST(Planner, ClassesCdsAndUsedSpace)
{
    const Tweak cd44 = [](StructureSettings &s) { s.cdrMegabytes = 44; };
    const struct { const char *what; const char *rows; Tweak tweak; const char *plan; } cases[] = {
        {"thresholds", "8*A/X 7*B/Y 3*C/Z", none, "8*aa1 7*vaar1 3*va1 | 18"},
        {"keys fold case and concatenate", "4*Abba/Arrival 4*ABBA/ARRIVAL 4*AB/C 4*A/BC 4*Ärzte/X 4*ärzte/X", none,
         "24*aa1 | 24"},
        {"lowered thresholds", "3*A/X 2*B/Y C/Z",
         [](StructureSettings &s) { s.artistRepeatings = 3, s.variousRepeatings = 2; }, "3*aa1 2*vaar1 va1 | 6"},
        {"pictures count toward nothing", "7*A/X A/X! 8*B/Y B/Y!", none, "8*vaar1 9*aa1 | 17"},
        {"sampler, its key folding case", "4*a#/Hits 4*b#/HITS A/Live", none, "8*al1 va1 | 9"},
        {"sampler search off", "8*#/Hits", [](StructureSettings &s) { s.searchSampler = false; }, "8*z | 0"},
        {"excluded names: ASCII case only, never an album group", "8*#/Greatest_HITS 8*#/Ärger 8*C/Best_hits",
         [](StructureSettings &s) { s.excludedAlbums = {"hits", "", "ä"}; }, "8*va1 8*al1 8*aa1 | 24"},
        {"excluded names off", "8*#/Hits",
         [](StructureSettings &s) { s.excludedAlbums = {"hits"}, s.excludeAlbumNamesForSampler = false; },
         "8*al1 | 8"},
        {"album search off", "10*A/X A/Y A/Z B/W", [](StructureSettings &s) { s.searchAlbum = false; },
         "12*vaar va1 | 1"},
        {"various search off", "8*A/X 5*B/Y C/Z", [](StructureSettings &s) { s.searchVarious = false; },
         "8*aa1 6*z | 8"},
        {"artist folders", "4*A/X 4*A/Y 4*B/ 3*C/Z",
         [](StructureSettings &s) { s.createDir = CreateDirMode::Artist; }, "8*aa1 4*vaar1 3*va1 | 15"},
        {"album folders", "4*A/X 4*B/X 8*C/Y", [](StructureSettings &s) { s.createDir = CreateDirMode::Album; },
         "16*al1 | 16"},
        {"empty names", "8*/X 8*A/ 8*/", none, "8*al1 16*vaar1 | 24"},
        {"smallest first, then what fits", "8*A/X:3.75 8*B/Y:3.875 8*C/Z:1.25", cd44, "8*aa1 8*aa2 8*aa1 | 40 31"},
        {"too big", "8*A/X:3.75 8*B/Y:3.875 8*C/Z:1.25 8*D/W:6.25", cd44, "8*aa1 8*aa 8*aa1 8*aa | 40 !"},
        {"equal groups", "8*A/X:2.5 8*B/Y:2.5 8*C/Z:2.5", cd44, "16*aa1 8*aa2 | 40 20"},
        {"loose songs fill by their bytes", "5*A/X:10 B/Y:1 C/Z:2 C/Q:2 8*D/W:1", cd44, "5*vaar1 3*va2 8*aa1 | 58 5"},
    };
    for (const auto &c : cases) {
        const StructurePlan plan = planStructure(parseRows(QString::fromUtf8(c.rows)), settingsWith(c.tweak));
        EXPECT_EQ(summary(plan), QString::fromUtf8(c.plan)) << c.what;
    }

    // Ties end where the exchange sort's passes leave them, not always in input order.
    const struct { std::vector<qint64> sizes; std::vector<int> order; } orders[] = {
        {{}, {}}, {{3, 1, 2}, {1, 2, 0}}, {{2, 2, 2}, {0, 1, 2}}, {{1, 2, 2, 0, 2}, {3, 0, 4, 1, 2}},
        {{4, 1, 4, 1, 4, 1}, {3, 1, 5, 0, 2, 4}}, {{0, 3, 3, 1, 3, 3, 0, 2}, {6, 0, 3, 7, 1, 2, 4, 5}}};
    for (const auto &c : orders)
        EXPECT_EQ(packingOrder(c.sizes), c.order) << c.sizes.size();
}

TEST(Planner, FoldersOfTheWorkedExamples)
{
    const Tweak flat = [](StructureSettings &s) { s.createAlbumAndSamplerDirs = false; };
    const Tweak noAlbums = [](StructureSettings &s) { s.searchAlbum = false; };
    const Tweak cd44 = [](StructureSettings &s) { s.fitOnCdr = true, s.cdrMegabytes = 44; };
    const struct { const char *rows; Tweak tweak; size_t row; const char *folder; } cases[] = {
        {"8*A/X", none, 0, "Album/A/X/"},
        // Seven stay out of album groups: loose songs of an artist with enough of them.
        {"7*A/X", none, 0, "Album/A/Various/"},
        {"3*A/X", none, 0, "Various/"},
        {"8*A/X", flat, 0, "A/X/"},
        {"8*#/X", none, 0, "Sampler/X/"},
        {"8*#/X", flat, 0, "X/"},
        {"8*#/X", [](StructureSettings &s) { s.createDir = CreateDirMode::Artist; }, 0, "Sampler/"},
        // Album search off: ten songs stay, then all twelve of the artist are loose songs.
        {"10*A/X A/Y A/Z", noAlbums, 0, "Album/A/Various/"},
        {"10*A/X A/Y A/Z", noAlbums, 11, "Album/A/Various/"},
        {"10*A/X", noAlbums, 0, ""},
        // An excluded text anywhere in an album name, its very end included.
        {"8*#/Greatest_Hits", [](StructureSettings &s) { s.excludedAlbums = {"hits"}; }, 0, "Various/"},
        {"8*#/Greatest_Hits", [](StructureSettings &s) { s.excludedAlbums = {"great"}; }, 0, "Various/"},
        // Pictures count toward no threshold but travel with their group.
        {"8*A/X A/X!", none, 8, "Album/A/X/"},
        {"7*A/X A/X!", none, 0, "Album/A/Various/"},
        // Keys are concatenations, and one group is one folder in its first spelling.
        {"4*AB/C 4*A/BC", none, 7, "Album/A/BC/"},
        {"4*Abba/Arrival 4*ABBA/ARRIVAL", none, 7, "Album/Abba/Arrival/"},
        {"4*A/X@CD_1 4*A/X@CD_2", none, 0, "Album/A/X/CD 1/"},
        {"4*A/X@CD_1 4*A/X@CD_2", none, 7, "Album/A/X/CD 2/"},
        {"8*../..", none, 0, "Album/__/__/"},
        {"8*A/X:3.75 8*B/Y:3.875 8*C/Z:1.25", cd44, 0, "CD1_5min (41MB)/Album/A/X/"},
        // A group left out after a too-big one goes without a CD folder.
        {"8*A/X:3.75 8*B/Y:3.875 8*C/Z:1.25 8*D/W:6.25", cd44, 8, "Album/B/Y/"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(folderOf(parseRows(QString::fromUtf8(c.rows)), settingsWith(c.tweak), c.row),
                  QString::fromUtf8(c.folder)) << c.rows << " row " << c.row;
    }
}

// Folder names from tags stay below the base; the multi-CD text of a comment.
TEST(Planner, FolderTexts)
{
    const struct { const char *name, *safe; } names[] = {{"..", "__"}, {".", "_"}, {".hidden", "_hidden"}, {"a/b", "a_b"},
                                                        {"ok.", "ok."}, {"", ""}, {"line\nbreak", "line_break"}};
    for (const auto &c : names)
        EXPECT_EQ(safeFolderName(QString::fromUtf8(c.name)), QString::fromUtf8(c.safe)) << c.name;
    const struct { const char *comment, *text; } comments[] = {
        {"CD2", "CD 2"}, {"cd 2", "CD 2"}, {"CD   2", "CD 2"}, {"Live CD2", "CD 2"}, {"CD  10", "CD 10"}, {"cd10", "CD10"},
        {"2001", ""},    {"", ""},         {"Best of CD", ""}, {"ACD 3", "CD 3"},   {"D1", ""}};
    for (const auto &c : comments)
        EXPECT_EQ(multiCdText(QString::fromUtf8(c.comment)), QString::fromUtf8(c.text)) << c.comment;
    EXPECT_EQ(multiCdText("CD2", false), QString());
    EXPECT_EQ(pictureComment("Live CD2"), "CD 2");
    EXPECT_EQ(pictureComment("a long comment here"), "mment here");
    EXPECT_TRUE(readsAsInteger(u"  -12"));
    EXPECT_TRUE(readsAsInteger(u"$1F"));
    EXPECT_TRUE(readsAsInteger(u"0x1f"));
    EXPECT_FALSE(readsAsInteger(u"1 "));
    EXPECT_FALSE(readsAsInteger(u"99999999999"));
    EXPECT_EQ(cdFolderName(1, 600000000), "CD1_66min (573MB)");
    EXPECT_EQ(cdFolderName(1, 681574400), "CD1_75min (651MB)");
}
