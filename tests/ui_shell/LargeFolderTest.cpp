#include "widgets/PlaceholderPage.h"
#include "shell/ui/MainWindow.h"

#include "support/TestSupport.h"
#include "support/gui/ProgressProbe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

#include <cstdio>

using namespace kaz;
using namespace kaz::test;

// The size comes from KAZ_BENCH_FILES (bench/gui_timings.sh asks for 20,000).
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

    MainWindowOptions options;
    options.startFolder = folder;
    options.activationDelayMs = 0;
    MainWindow window(options);
    window.addPage(new PlaceholderPage("page0", "ID3Tag -> filename", "ID3Tag -> Dateiname", 4));
    window.show();
    window.reactivate();

    auto *bar = window.findChild<QProgressBar *>("ProgressBar2");
    ProgressProbe probe(bar, 5);
    QElapsedTimer clock;
    clock.start();
    window.setTagFilter(TagFilter::Tagged);
    const qint64 ms = clock.elapsed();
    probe.stop();

    EXPECT_EQ(window.findChild<QListWidget *>("FileListBox1")->count(), count / 2 + count % 2);
    EXPECT_EQ(bar->value(), 0);
    if (ms > 100) {
        EXPECT_GT(probe.ticks(), 0) << "events are processed while the tags are read";
        EXPECT_GT(probe.highest(), 0) << "the bar moves";
    }
    std::printf("tagged filter over %d files: %lld ms, %d timer events during the fill\n", count,
                static_cast<long long>(ms), probe.ticks());
}
