#include "RenameFixtures.h"

#include "rename/PreviewTable.h"

using namespace kaz;
using namespace kaz::test;

namespace {

PreviewRow row(const QString &path, const QString &previewed)
{
    return PreviewRow{{}, {}, path.mid(path.lastIndexOf('/') + 1), previewed, path};
}

} // namespace

TEST(PreviewTable, SortedByPathAndDuplicatesNumberedPerFolder)
{
    PreviewTable table;
    table.append(row("/m/b.mp3", "Abba - SOS.mp3"));
    table.append(row("/m/c.mp3", "Abba - SOS.mp3"));
    table.append(row("/m/B.mp3", "! B.mp3"));
    table.append(row("/m/a.mp3", "Abba - SOS.mp3"));
    table.append(row("/m/sub/a.mp3", "Abba - SOS.mp3"));
    table.sortByPath();
    table.numberDuplicates();
    table.markRows();
    QStringList paths, names, statuses;
    for (const PreviewRow &r : table.rows()) {
        paths << r.path;
        names << r.previewedName;
        statuses << r.status;
    }
    EXPECT_EQ(paths, QStringList({"/m/B.mp3", "/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/sub/a.mp3"}));
    EXPECT_EQ(names, QStringList({"! B.mp3", "Abba - SOS.mp3", "Abba - SOS (2).mp3", "Abba - SOS (3).mp3",
                                  "Abba - SOS.mp3"}));
    EXPECT_EQ(statuses, QStringList({"   !", "", "", "", ""}));
}

TEST(PreviewTable, ExcludingTwiceRestoresTheStatus)
{
    PreviewTable table;
    table.append(row("/m/a.mp3", "x.mp3"));
    table.append(row("/m/b.mp3", "! b.mp3"));
    table.markRows();
    const std::pair<Language, const char *> languages[] = {{Language::English, "excluded"},
                                                           {Language::German, "ausgeschlossen"}};
    for (const auto &[language, excluded] : languages) {
        table.toggleExcluded(0, language);
        table.toggleExcluded(1, language);
        EXPECT_EQ(table.rows()[0].status, QString::fromUtf8(excluded));
        EXPECT_EQ(table.rows()[1].status, "! " + QString::fromUtf8(excluded));
        EXPECT_TRUE(table.isExcluded(0));
        EXPECT_TRUE(table.isExcluded(1)); // left out of the run as well
        table.toggleExcluded(0, language);
        table.toggleExcluded(1, language);
        EXPECT_EQ(table.rows()[0].status, "");
        EXPECT_EQ(table.rows()[1].status, "   !");
    }
    // Excluded in one language, included again in the other.
    table.toggleExcluded(0, Language::German);
    table.toggleExcluded(0, Language::English);
    EXPECT_EQ(table.rows()[0].status, "");
}
