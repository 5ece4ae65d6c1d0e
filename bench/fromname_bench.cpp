// Tags from file names: the grid for 5,000 files opening (tags read,
// extraction, view filled) and "kaz-cli fromname --preview" over 20,000
// names, each beside the time the literal double loops of the record order
// and of a header sort would take on the same data.
//
//   fromname_bench [--grid N] [--cli N] [--dir DIR] [--keep]
#include "fromname/GridTable.h"
#include "fromname/NameExtraction.h"
#include "fromname/NameSources.h"
#include "fromname/LiteralOrders.h" // from tests/
#include "fromname/RecordOrder.h"
#include "tags/DemoCollection.h"
#include "tags/TagIO.h"

#ifdef KAZ_BENCH_GUI
#include "fromname/ui/FilenameToTagDialog.h"
#include "platform/Prompter.h"

#include <QApplication>
#endif
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <sys/resource.h>

using namespace kaz;

namespace {

const char *const kArtists[] = {"Abba", "Queen", "The Beatles", "Die Ärzte", "Nina Simone", "Pink Floyd"};
const char *const kAlbums[] = {"Gold", "Innuendo", "Abbey Road", "Live", "Best of"};

// Names as collections hold them: numbered, with and without brackets,
// some untagged, some with other delimiters.
QString nameOf(int i)
{
    const QString artist = QString::fromUtf8(kArtists[i % 6]);
    const QString album = QString::fromUtf8(kAlbums[i % 5]);
    switch (i % 4) {
    case 0:
        return QStringLiteral("%1 - %2 - Song %3 - %4.mp3").arg(i % 99 + 1, 2, 10, QLatin1Char('0')).arg(artist).arg(i).arg(album);
    case 1:
        return QStringLiteral("%1_-_Track_%2_(Live).mp3").arg(artist).arg(i);
    case 2:
        return QStringLiteral("Song %1-%2-%3.mp3").arg(i).arg(artist, album);
    default:
        return QStringLiteral("Title%1.mp3").arg(i);
    }
}

QStringList makeFiles(const QString &dir, int count)
{
    QDir().mkpath(dir);
    QStringList paths;
    for (int i = 0; i < count; ++i) {
        DemoFile f;
        f.relativePath = nameOf(i);
        f.frames = 1;
        f.tagged = i % 3 != 0;
        f.values.title = QStringLiteral("Tagged %1").arg(i);
        f.values.year = QStringLiteral("1999");
        writeDemoFile(dir, f);
        paths << dir + QLatin1Char('/') + f.relativePath;
    }
    return paths;
}

double ms(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Processor time of this process, in ms: on a shared machine it says more
// than the wall clock.
double cpuMs()
{
    return double(std::clock()) * 1000.0 / CLOCKS_PER_SEC;
}

double childCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

void literalLoops(const Extraction &e, const char *label)
{
    QList<RecordKey> keys;
    QStringList artists;
    for (const GridRecord &r : e.records) {
        keys << RecordKey{int(r.positions.size()), int(r.cells[ColFilename].size())};
        artists << r.cells[ColArtist];
    }
    double cpu = cpuMs();
    const QList<int> fast = recordOrder(keys);
    const double fastMs = cpuMs() - cpu;
    cpu = cpuMs();
    const QList<int> literal = literalRecordOrder(keys);
    const double literalMs = cpuMs() - cpu;
    std::printf("  %s record order: %.1f ms processor time (literal loop %.1f ms)%s\n", label, fastMs, literalMs,
                fast == literal ? "" : "  MISMATCH");
    cpu = cpuMs();
    const QList<int> sortFast = textOrder(artists, false);
    const double sortFastMs = cpuMs() - cpu;
    cpu = cpuMs();
    const QList<int> sortLiteral = literalTextOrder(artists, false);
    std::printf("  %s header sort by artist: %.1f ms processor time (literal loop %.1f ms)%s\n", label, sortFastMs,
                cpuMs() - cpu, sortFast == sortLiteral ? "" : "  MISMATCH");
}

} // namespace

int main(int argc, char **argv)
{
#ifdef KAZ_BENCH_GUI
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    int gridFiles = 5000;
    int cliFiles = 20000;
    QString base;
    bool keep = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--grid") && i + 1 < args.size())
            gridFiles = args[++i].toInt();
        else if (args[i] == QLatin1String("--cli") && i + 1 < args.size())
            cliFiles = args[++i].toInt();
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            base = args[++i];
        else if (args[i] == QLatin1String("--keep"))
            keep = true;
    }
    QTemporaryDir temp(base.isEmpty() ? QDir::tempPath() + QStringLiteral("/fromname_bench") : base + QStringLiteral("/fromname_bench"));
    temp.setAutoRemove(!keep);

    std::printf("grid for %d files opening:\n", gridFiles);
    const QStringList gridPaths = makeFiles(temp.path() + QStringLiteral("/grid"), gridFiles);
    FromNameSettings settings;
    settings.useYear = true;
    QElapsedTimer t;
    t.start();
    const QList<NameSource> sources = readNameSources(gridPaths, defaultTextCodec(), true);
    const double readMs = ms(t);
    t.restart();
    const Extraction e = extractRecords(sources, settings, QDate::currentDate().year());
    const double extractMs = ms(t);
    t.restart();
    GridTable table(e.records);
    table.fill({}, {});
    const double fillMs = ms(t);
    std::printf("  total %.0f ms wall clock: tags read %.0f ms, extraction %.0f ms, view filled %.0f ms\n",
                readMs + extractMs + fillMs, readMs, extractMs, fillMs);
    literalLoops(e, "grid");
#ifdef KAZ_BENCH_GUI
    {
        SilentPrompter prompter;
        t.restart();
        FilenameToTagDialog dialog(Language::English, prompter);
        dialog.load(gridPaths, temp.path() + QStringLiteral("/grid/"), settings);
        dialog.show();
        QCoreApplication::processEvents();
        std::printf("  the dialog opened and drawn: %.0f ms\n", ms(t));
    }
#endif

    std::printf("kaz-cli fromname --preview over %d names:\n", cliFiles);
    const QStringList cliPaths = makeFiles(temp.path() + QStringLiteral("/cli"), cliFiles);
    QFile list(temp.path() + QStringLiteral("/list.txt"));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    list.write(cliPaths.join(QLatin1Char('\n')).toUtf8() + '\n');
    list.close();
    QProcess cli;
    cli.setStandardOutputFile(QProcess::nullDevice());
    const double childCpu = childCpuMs();
    t.restart();
    cli.start(QStringLiteral(KAZ_CLI_PATH), {QStringLiteral("fromname"), QStringLiteral("--preview"),
                                             QStringLiteral("--files-from"), list.fileName()});
    cli.waitForFinished(-1);
    std::printf("  kaz-cli: %.0f ms, %.0f ms processor time (exit %d)\n", ms(t), childCpuMs() - childCpu, cli.exitCode());
    const Extraction cliExtraction = extractRecords(readNameSources(cliPaths, defaultTextCodec(), false), {}, 2026);
    literalLoops(cliExtraction, "cli");
    return 0;
}
