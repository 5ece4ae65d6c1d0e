#include "rename/ui/RenamePage.h"

#include "shell/ui/MainWindow.h"

#include "support/TestSupport.h"
#include "support/gui/ProgressProbe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

using namespace kaz;
using namespace kaz::test;

// The size comes from KAZ_BENCH_FILES (bench/gui_timings.sh asks for 20,000).
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

    MainWindowOptions options;
    options.startFolder = folder;
    options.activationDelayMs = 0;
    MainWindow window(options);
    auto *page = new RenamePage(window);
    window.addPage(page);
    window.show();
    window.reactivate();
    window.selectAll();

    auto *bar = window.findChild<QProgressBar *>("ProgressBar2");
    ProgressProbe probe(bar, 10);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QPushButton *>("SpeedButton1")->click();
    const qint64 ms = clock.elapsed();
    probe.stop();

    const QStringList names = QDir(folder).entryList(QDir::Files);
    EXPECT_EQ(names.size(), count);
    EXPECT_EQ(names.filter(QStringLiteral("Band - Record - Song")).size(), count);
    EXPECT_GT(probe.ticks(), 0) << "events are processed during the run";
    EXPECT_GT(probe.highest(), 0) << "the file bar moves";
    std::printf("rename run over %d files: %lld ms, %d timer events, file bar reached %d\n", count,
                static_cast<long long>(ms), probe.ticks(), probe.highest());
}
