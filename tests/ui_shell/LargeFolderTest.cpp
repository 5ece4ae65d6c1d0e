#include "shell/ui/MainWindow.h"

#include "support/TestSupport.h"
#include "support/gui/TestWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProgressBar>

#include <algorithm>
#include <cstdio>

using namespace kaz;
using namespace kaz::test;

// The window lets events through while the tags of a large folder are read,
// however fast the disk: counted, not timed. The size comes from
// KAZ_BENCH_FILES (bench/gui_timings.sh asks for 20,000).
TEST(LargeFolder, TaggedFilterShowsProgressAndKeepsWindowAlive)
{
    const int count = qEnvironmentVariableIsSet("KAZ_BENCH_FILES") ? qEnvironmentVariableIntValue("KAZ_BENCH_FILES")
                                                                   : 2000;
    TempHome home;
    const QString folder = home.music() + "/Large";
    QDir().mkpath(folder);
    const QByteArray tagged = mp3WithTag(values("Song", "Band", "Record"), 1);
    const QByteArray plain = mp3Frames(1);
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/%1.mp3").arg(i, 6, 10, QLatin1Char('0')),
                             i % 2 ? plain : tagged));

    // The file bar as it stood at each moment events went through.
    QList<int> barAtEvents;
    QProgressBar *bar = nullptr;
    bool filling = false;
    MainWindowOptions options = TestWindow::options(folder);
    options.eventsProcessed = [&] {
        if (filling)
            barAtEvents << bar->value();
    };
    TestWindow shown;
    MainWindow &window = shown.open(options);
    bar = shown.child<QProgressBar>("ProgressBar2");

    QElapsedTimer clock;
    clock.start();
    filling = true;
    window.setTagFilter(TagFilter::Tagged);
    filling = false;
    const qint64 ms = clock.elapsed();

    EXPECT_EQ(shown.child<QListWidget>("FileListBox1")->count(), count / 2 + count % 2);
    EXPECT_EQ(bar->value(), 0) << "the bar is back at rest";
    ASSERT_GE(barAtEvents.size(), 2) << "events went through while the tags were read";
    EXPECT_GT(barAtEvents.first(), 0) << "the bar had moved when the window was drawn";
    EXPECT_LT(barAtEvents.first(), barAtEvents.last()) << "the bar moves on";
    EXPECT_TRUE(std::is_sorted(barAtEvents.cbegin(), barAtEvents.cend())) << "the bar never goes back";
    std::printf("tagged filter over %d files: %lld ms, events went through %lld times\n", count,
                static_cast<long long>(ms), static_cast<long long>(barAtEvents.size()));
}
