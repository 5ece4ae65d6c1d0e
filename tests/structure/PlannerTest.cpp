// The planner against the step-by-step reference, and the worked examples.
#include "LiteralPlanner.h"

#include "structure/CdPacking.h"
#include "structure/TargetFolders.h"
#include "structure/MultiCdText.h"
#include "structure/StructurePlanner.h"

#include "support/QtPrinters.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace kaz;
using namespace kaz::test;

namespace {

StructureRow row(const QString &artist, const QString &album, qint64 size = 1000, bool audio = true,
                 const QString &multiCd = {})
{
    return StructureRow{artist, album, multiCd, size, audio};
}

std::vector<StructureRow> times(int n, const StructureRow &r)
{
    return std::vector<StructureRow>(size_t(n), r);
}

std::vector<StructureRow> operator+(std::vector<StructureRow> a, const std::vector<StructureRow> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QString folderOf(const std::vector<StructureRow> &rows, const StructureSettings &s, size_t i)
{
    const StructurePlan plan = planStructure(rows, s);
    FolderSpelling spelling;
    QString result;
    for (size_t j = 0; j <= i; ++j)
        result = spelling.spell(targetFolders(rows[j], plan.rows[j], plan, s));
    return result;
}

StructureSettings defaults()
{
    StructureSettings s;
    s.variousDir = "Various";
    return s;
}

} // namespace

TEST(Planner, PackingOrderEqualsTheExchangeSort)
{
    QRandomGenerator random(7);
    for (int round = 0; round < 3000; ++round) {
        std::vector<qint64> sizes(size_t(random.bounded(0, 40)));
        const int spread = random.bounded(1, 8);
        for (qint64 &s : sizes)
            s = random.bounded(0, spread);
        ASSERT_EQ(packingOrder(sizes), literalPackingOrder(sizes)) << "round " << round;
    }
}

TEST(Planner, AgreesWithTheReferenceOnRandomTables)
{
    const QStringList artists{"Abba", "ABBA", "abba", "AB", "A", "", "Queen", "Various Folks", "Ärzte", "ärzte"};
    const QStringList albums{"X", "x", "BC", "C", "", "Best of Abba", "Greatest Hits", "Arrival", "hits CD"};
    const QStringList excluded{"best", "", "HITS", "zzz", "Arr"};
    QRandomGenerator random(11);
    for (int round = 0; round < 1500; ++round) {
        std::vector<StructureRow> rows;
        const int n = random.bounded(0, 120);
        for (int i = 0; i < n; ++i) {
            StructureRow r;
            r.artist = artists[random.bounded(int(artists.size()))];
            r.album = albums[random.bounded(int(albums.size()))];
            r.size = random.bounded(3) == 0 ? 5 * 1048576 : qint64(random.bounded(1, 20)) * 1048576 + random.bounded(3);
            r.audio = random.bounded(10) != 0;
            rows.push_back(r);
        }
        StructureSettings s;
        s.createDir = CreateDirMode(random.bounded(3));
        s.artistRepeatings = random.bounded(1, 10);
        s.variousRepeatings = random.bounded(1, 6);
        s.cdrMegabytes = random.bounded(44, 120);
        s.excludeAlbumNamesForSampler = random.bounded(4) != 0;
        s.searchAlbum = random.bounded(4) != 0;
        s.searchSampler = random.bounded(4) != 0;
        s.searchVarious = random.bounded(4) != 0;
        for (const QString &e : excluded)
            if (random.bounded(3) == 0)
                s.excludedAlbums.append(e);
        const StructurePlan fast = planStructure(rows, s);
        const StructurePlan slow = literalPlan(rows, s);
        ASSERT_EQ(fast.tooBig, slow.tooBig) << "round " << round;
        ASSERT_EQ(fast.cdUsed, slow.cdUsed) << "round " << round;
        for (size_t i = 0; i < rows.size(); ++i) {
            const StructurePlacement &a = fast.rows[i], &b = slow.rows[i];
            ASSERT_EQ(int(a.cls), int(b.cls)) << "round " << round << " row " << i;
            ASSERT_EQ(a.cd, b.cd) << "round " << round << " row " << i;
            ASSERT_EQ(a.groupSize, b.groupSize) << "round " << round << " row " << i;
            if (a.cls == StructureClass::Counted) {
                ASSERT_EQ(a.count, b.count);
            }
        }
    }
}

TEST(Planner, FoldersOfTheWorkedExamples)
{
    StructureSettings s = defaults();
    const auto album8 = times(8, row("A", "X"));
    EXPECT_EQ(folderOf(album8, s, 0), "Album/A/X/");
    // Seven stay out of album groups: loose songs of an artist with enough of them.
    EXPECT_EQ(folderOf(times(7, row("A", "X")), s, 0), "Album/A/Various/");
    EXPECT_EQ(folderOf(times(3, row("A", "X")), s, 0), "Various/");
    StructureSettings flat = s;
    flat.createAlbumAndSamplerDirs = false;
    EXPECT_EQ(folderOf(album8, flat, 0), "A/X/");

    std::vector<StructureRow> sampler;
    for (int i = 0; i < 8; ++i)
        sampler.push_back(row(QStringLiteral("Artist %1").arg(i % 3), "X"));
    EXPECT_EQ(folderOf(sampler, s, 0), "Sampler/X/");
    EXPECT_EQ(folderOf(sampler, flat, 0), "X/");
    StructureSettings byArtist = s;
    byArtist.createDir = CreateDirMode::Artist;
    EXPECT_EQ(folderOf(sampler, byArtist, 0), "Sampler/");

    // search1 off: ten songs become "z", then all twelve of the artist are loose songs.
    StructureSettings noAlbums = s;
    noAlbums.searchAlbum = false;
    const auto twelve = times(10, row("A", "X")) + std::vector{row("A", "Y"), row("A", "Z")};
    EXPECT_EQ(folderOf(twelve, noAlbums, 0), "Album/A/Various/");
    EXPECT_EQ(folderOf(twelve, noAlbums, 11), "Album/A/Various/");
    EXPECT_EQ(folderOf(times(10, row("A", "X")), noAlbums, 0), "");

    // An excluded text at the very end of an album name.
    StructureSettings excluding = s;
    excluding.excludedAlbums = {"hits"};
    std::vector<StructureRow> greatest;
    for (int i = 0; i < 8; ++i)
        greatest.push_back(row(QStringLiteral("Artist %1").arg(i), "Greatest Hits"));
    EXPECT_EQ(folderOf(greatest, excluding, 0), "Various/");
    excluding.excludedAlbums = {"great"};
    EXPECT_EQ(folderOf(greatest, excluding, 0), "Various/");

    // Pictures count toward no threshold but travel with their group.
    const auto withPicture = times(8, row("A", "X")) + std::vector{row("A", "X", 50, false)};
    EXPECT_EQ(folderOf(withPicture, s, 8), "Album/A/X/");
    EXPECT_EQ(folderOf(times(7, row("A", "X")) + std::vector{row("A", "X", 50, false)}, s, 0), "Album/A/Various/");

    // Keys are concatenations, and one group is one folder in its first spelling.
    const auto joined = times(4, row("AB", "C")) + times(4, row("A", "BC"));
    EXPECT_EQ(folderOf(joined, s, 7), "Album/A/BC/");
    const auto abba = times(4, row("Abba", "Arrival")) + times(4, row("ABBA", "ARRIVAL"));
    EXPECT_EQ(folderOf(abba, s, 7), "Album/Abba/Arrival/");

    // Multi-CD sub-folders.
    const auto discs = times(4, row("A", "X", 1000, true, "CD 1")) + times(4, row("A", "X", 1000, true, "CD 2"));
    EXPECT_EQ(folderOf(discs, s, 0), "Album/A/X/CD 1/");
    EXPECT_EQ(folderOf(discs, s, 7), "Album/A/X/CD 2/");
}

TEST(Planner, FolderNamesFromTagsStayBelowTheBase)
{
    const struct {
        const char *name;
        const char *safe;
    } cases[] = {{"..", "__"}, {".", "_"}, {".hidden", "_hidden"}, {"a/b", "a_b"}, {"ok.", "ok."}, {"", ""},
                 {"line\nbreak", "line_break"}};
    for (const auto &c : cases)
        EXPECT_EQ(safeFolderName(QString::fromUtf8(c.name)), QString::fromUtf8(c.safe)) << c.name;
    StructureSettings s = defaults();
    EXPECT_EQ(folderOf(times(8, row("..", "..")), s, 0), "Album/__/__/");
}

TEST(Planner, MultiCdTexts)
{
    const struct {
        const char *comment;
        const char *text;
    } cases[] = {{"CD2", "CD 2"},       {"cd 2", "CD 2"}, {"CD   2", "CD 2"}, {"Live CD2", "CD 2"},
                 {"CD  10", "CD 10"},   {"cd10", "CD10"}, {"2001", ""},       {"", ""},
                 {"Best of CD", ""},    {"ACD 3", "CD 3"}, {"D1", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(multiCdText(QString::fromUtf8(c.comment)), QString::fromUtf8(c.text)) << c.comment;
    EXPECT_EQ(multiCdText("CD2", false), QString());
    EXPECT_EQ(pictureComment("Live CD2"), "CD 2");
    EXPECT_EQ(pictureComment("a long comment here"), "mment here");
    EXPECT_TRUE(readsAsInteger(u"  -12"));
    EXPECT_TRUE(readsAsInteger(u"$1F"));
    EXPECT_TRUE(readsAsInteger(u"0x1f"));
    EXPECT_FALSE(readsAsInteger(u"1 "));
    EXPECT_FALSE(readsAsInteger(u"99999999999"));
}

TEST(Planner, CdFoldersAndTheTooBigFlag)
{
    EXPECT_EQ(cdFolderName(1, 600000000), "CD1_66min (573MB)");
    EXPECT_EQ(cdFolderName(1, 681574400), "CD1_75min (651MB)");

    StructureSettings s = defaults();
    s.fitOnCdr = true;
    s.cdrMegabytes = 44;
    const qint64 mb = 1048576;
    // Two albums of 30 MB and one of 10 MB: the small one goes first, then one big one fits beside it.
    auto rows = times(8, row("A", "X", 30 * mb / 8)) + times(8, row("B", "Y", 31 * mb / 8))
                + times(8, row("C", "Z", 10 * mb / 8));
    StructurePlan plan = planStructure(rows, s);
    EXPECT_FALSE(plan.tooBig);
    EXPECT_EQ(plan.rows[16].cd, 1);
    EXPECT_EQ(plan.rows[0].cd, 1);
    EXPECT_EQ(plan.rows[8].cd, 2);
    EXPECT_TRUE(folderOf(rows, s, 0).startsWith("CD1_"));

    rows = rows + times(8, row("D", "W", 50 * mb / 8));
    plan = planStructure(rows, s);
    EXPECT_TRUE(plan.tooBig);
    EXPECT_EQ(plan.rows[24].cd, -1);
    EXPECT_EQ(plan.rows[8].cd, -1); // after the too-big group only CD 1 is filled
    EXPECT_EQ(folderOf(rows, s, 8), "Album/B/Y/");
}
