#include "rename/ui/RenamePage.h"

#include "shell/ui/MainWindow.h"

#include "support/TestSupport.h"
#include "support/gui/TestWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

using namespace kaz;
using namespace kaz::test;

// A rename run lets the window's events through for every file, however fast
// the disk: counted, not timed. The size comes from KAZ_BENCH_FILES
// (bench/gui_timings.sh asks for 20,000).
TEST(LargeRun, RenameKeepsWindowAliveAndBarsMoving)
{
    const int count = qEnvironmentVariableIsSet("KAZ_BENCH_FILES") ? qEnvironmentVariableIntValue("KAZ_BENCH_FILES")
                                                                   : 1000;
    TempHome home;
    const QString folder = home.music() + "/Large";
    QDir().mkpath(folder);
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/f%1.mp3").arg(i),
                             mp3WithTag(values(QStringLiteral("Song %1").arg(i), "Band", "Record"), 1)));

    QList<int> barAtEvents;
    QProgressBar *bar = nullptr;
    bool running = false;
    MainWindowOptions options = TestWindow::options(folder);
    options.eventsProcessed = [&] {
        if (running)
            barAtEvents << bar->value();
    };
    TestWindow shown;
    MainWindow &window = shown.open(options, [](MainWindow &w) { w.addPage(new RenamePage(w)); });
    window.selectAll();
    bar = shown.child<QProgressBar>("ProgressBar2");

    QElapsedTimer clock;
    clock.start();
    running = true;
    shown.child<QPushButton>("SpeedButton1")->click();
    running = false;
    const qint64 ms = clock.elapsed();

    const QStringList names = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(names.size(), count);
    EXPECT_EQ(names.filter(QStringLiteral("Band - Record - Song")).size(), count);
    EXPECT_GE(barAtEvents.size(), count) << "events go through once per file at least";
    const int highest = barAtEvents.isEmpty() ? 0 : *std::max_element(barAtEvents.cbegin(), barAtEvents.cend());
    EXPECT_GE(highest, count - 1) << "the file bar went (nearly) all the way";
    EXPECT_EQ(bar->value(), 0) << "the bar is back at rest";
    std::printf("rename run over %d files: %lld ms, events went through %lld times, file bar reached %d\n", count,
                static_cast<long long>(ms), static_cast<long long>(barAtEvents.size()), highest);
}
