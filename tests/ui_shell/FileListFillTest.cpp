#include "browser/ui/FolderBrowser.h"

#include "support/gui/WindowTest.h"

#include <QProgressBar>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <utility>

using namespace kaz;
using namespace kaz::test;

namespace {

// A folder of enough files for the list to fill in steps, every third one
// tagged, with a picture between them.
class FileListFill : public WindowTest
{
protected:
    void SetUp() override
    {
        const QByteArray tagged = mp3WithTag(values("Song", "Band", "Record"), 1), plain = mp3Frames(1);
        for (int i = 0; i < 600; ++i) {
            const QString name = QStringLiteral("%1 song.mp3").arg(i, 4, 10, QLatin1Char('0'));
            ASSERT_TRUE(writeAll(folder + "/" + name, i % 3 ? plain : tagged));
            (i % 3 ? plainNames : taggedNames) << name;
        }
        ASSERT_TRUE(writeAll(folder + "/cover.jpg", "jpeg"));
        // Told each time the fill lets events through.
        eventsProcessed = [this] {
            if (onStep)
                std::exchange(onStep, {})();
            if (barSeen)
                barSeen->append(child<QProgressBar>("ProgressBar2")->value());
        };
    }

    QStringList rows() const
    {
        QStringList shown;
        for (int i = 0; i < files()->count(); ++i)
            shown << files()->item(i)->text();
        return shown;
    }
    FolderBrowser *browser() const { return child<FolderBrowser>("Browser"); }

    QStringList taggedNames, plainNames;
    std::function<void()> onStep;    // done once, at the next step of a fill
    QList<int> *barSeen = nullptr;   // the file bar at every step
};

} // namespace

TEST_F(FileListFill, ListsEveryFileAndTheFilterExactlyTheTagged)
{
    open();
    QStringList all = taggedNames + plainNames;
    all.sort();
    EXPECT_EQ(rows(), all);
    EXPECT_EQ(window->files().fileNames(), all);

    QList<int> bar;
    barSeen = &bar;
    window->setTagFilter(TagFilter::Tagged);
    barSeen = nullptr;
    EXPECT_EQ(rows(), taggedNames);
    EXPECT_EQ(window->files().fileNames(), taggedNames);
    // The bar counts the tags read, up to every file, and rests afterwards.
    ASSERT_FALSE(bar.isEmpty());
    EXPECT_TRUE(std::is_sorted(bar.cbegin(), bar.cend()));
    EXPECT_EQ(bar.last(), all.size());
    EXPECT_EQ(child<QProgressBar>("ProgressBar2")->value(), 0);

    window->setTagFilter(TagFilter::Untagged);
    EXPECT_EQ(rows(), plainNames);
    // Sorted by letters, the filter still keeps exactly the tagged ones.
    child<QToolButton>("SortButton")->click();
    window->setTagFilter(TagFilter::Tagged);
    EXPECT_EQ(rows(), taggedNames);
    EXPECT_EQ(window->files().fileNames(), taggedNames);
}

TEST_F(FileListFill, WhatChangesDuringAFillStartsItOver)
{
    const QString other = home.music() + "/Other";
    QDir().mkpath(other);
    for (const char *name : {"b.mp3", "a.mp3"})
        ASSERT_TRUE(writeAll(other + "/" + name, mp3WithTag(values("Song", "Band"))));
    ASSERT_TRUE(writeAll(other + "/c.mp3", mp3Frames(1)));

    struct Case {
        const char *what;
        std::function<void()> change;
        QString folder;
        QStringList rows;
    };
    const Case cases[] = {
        {"another folder", [this, &other] { window->files().openFolder(other); }, other,
         {"a.mp3", "b.mp3"}},
        {"the other filter", [this] { window->setTagFilter(TagFilter::Untagged); }, folder,
         plainNames},
    };
    for (const Case &c : cases) {
        open();
        int filled = 0;
        QObject::connect(browser(), &FolderBrowser::listFilled, [&filled] { ++filled; });
        onStep = c.change;
        window->setTagFilter(TagFilter::Tagged);
        EXPECT_FALSE(onStep) << c.what;
        EXPECT_EQ(window->files().currentFolder(), c.folder) << c.what;
        EXPECT_EQ(rows(), c.rows) << c.what;
        EXPECT_EQ(window->files().fileNames(), c.rows) << c.what;
        EXPECT_EQ(filled, 1) << c.what << ": one list, told once";
    }
}

TEST_F(FileListFill, EventsAreHandledBeforeTheListIsComplete)
{
    open();
    bool filled = false;
    QObject::connect(browser(), &FolderBrowser::listFilled, [&filled] { filled = true; });
    int handledBeforeFilled = -1;
    QTimer::singleShot(0, [&] { handledBeforeFilled = !filled; });
    window->files().refillFileList();
    EXPECT_EQ(handledBeforeFilled, 1);
    EXPECT_EQ(files()->count(), 600);
}

TEST_F(FileListFill, ClosingTheWindowDuringAFillEndsIt)
{
    open();
    onStep = [this] { window->close(); };
    window->setTagFilter(TagFilter::Tagged);
    EXPECT_FALSE(onStep);
    EXPECT_FALSE(window->isVisible());
    window.reset();
}

// Rows share one size for speed; the longest name still fits its row and can
// be scrolled to, wherever it stands in the list.
using LongNames = WindowTest;

TEST_F(LongNames, TheLongestNameFitsItsRowAndCanBeScrolledTo)
{
    const QString longName = "b " + QString(150, 'x') + ".mp3";
    for (const QString &name : {QStringLiteral("a.mp3"), longName, QStringLiteral("c.mp3")})
        ASSERT_TRUE(writeAll(folder + "/" + name, mp3Frames(1)));
    open();
    QListWidget *list = files();
    ASSERT_EQ(list->count(), 3);
    EXPECT_TRUE(QTest::qWaitFor([list] { return list->horizontalScrollBar()->maximum() > 0; }));
    EXPECT_GE(list->visualItemRect(list->item(1)).width(), list->fontMetrics().horizontalAdvance(longName));
}
