// A tag write killed at any moment leaves each file with its old trailer or
// its new one, once the next command has started.
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "tags/TagIO.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <iostream>

using namespace kaz;
using namespace kaz::test;

namespace {

struct Collection {
    QStringList files;
    QMap<QString, QByteArray> audio;
};

Collection makeCollection(const QString &dir, int count)
{
    Collection c;
    for (int i = 0; i < count; ++i) {
        DemoFile f;
        f.relativePath = QStringLiteral("f%1.mp3").arg(i);
        f.frames = 2 + i % 3;
        f.tagged = i % 5 != 0;
        f.values = values(QStringLiteral("A title that is longer than thirty characters %1").arg(i), QStringLiteral("Band"),
                          QStringLiteral("Album"));
        // About 500 bytes of lyrics: a short title makes the trailer shrink.
        f.extraLyrics3Fields = {"LYR00480" + QByteArray(480, char('a' + i % 26))};
        writeDemoFile(dir, f);
        c.files << dir + QLatin1Char('/') + f.relativePath;
        c.audio.insert(c.files.last(), mp3Frames(f.frames));
    }
    return c;
}

QStringList setTitle(const QString &title, const QStringList &files)
{
    return QStringList{QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--title"), title} + files;
}

// What each file holds after a complete write: the same write on a copy.
QMap<QString, QByteArray> completedWrite(const Collection &c, const QString &title, const QString &scratch)
{
    QMap<QString, QByteArray> result;
    TagOverride o;
    o.title = title;
    TagContext context;
    context.override = &o;
    for (const QString &f : c.files) {
        QString copy = scratch + QStringLiteral("/copy.mp3");
        writeAll(copy, readAll(f));
        get_id3tag(copy, false, context);
        result.insert(f, readAll(copy));
    }
    return result;
}

QStringList journals()
{
    return QDir(programFolder()).entryList({QStringLiteral("tailwrite-*")}, QDir::Files);
}

} // namespace

TEST(TagInterrupt, KilledWritesLeaveTheOldOrTheNewTrailer)
{
    TempHome home;
    const QString scratch = home.path() + QStringLiteral("/scratch");
    QDir().mkpath(scratch);
    const Collection c = makeCollection(home.music(), 150);
    const QStringList titles{QStringLiteral("Short"), QString(200, QLatin1Char('x')), QStringLiteral("Tiny")};

    // How long a whole run takes, to kill at random moments inside it.
    QMap<QString, QByteArray> before;
    for (const QString &f : c.files)
        before.insert(f, readAll(f));
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli(setTitle(QStringLiteral("Warm up"), c.files)).exitCode, 0);
    qint64 runMs = qMax<qint64>(timer.elapsed(), 20);
    for (const QString &f : c.files)
        writeAll(f, before[f]);

    const quint32 seed = testSeed();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", run " << runMs << " ms");
    int landed = 0, midWrite = 0, halfDone = 0;
    for (int round = 0; round < 12 && midWrite < 6; ++round) {
        const QString title = titles[round % titles.size()];
        QMap<QString, QByteArray> old;
        for (const QString &f : c.files)
            old.insert(f, readAll(f));
        const QMap<QString, QByteArray> done = completedWrite(c, title, scratch);

        QProcess p;
        p.start(QStringLiteral(KAZ_CLI_PATH), setTitle(title, c.files));
        ASSERT_TRUE(p.waitForStarted());
        QElapsedTimer ran;
        ran.start();
        if (p.waitForFinished(int(random.bounded(quint32(runMs * 8 / 10)) + 1))) {
            // Ended before its kill: the machine got faster; aim earlier.
            runMs = qMax<qint64>(ran.elapsed(), 20);
        } else {
            ::kill(pid_t(p.processId()), SIGKILL);
            p.waitForFinished();
            landed += p.exitStatus() == QProcess::CrashExit;
        }
        // The kill landed while a file was being written: its journal is there.
        const bool landedMidWrite = !journals().isEmpty();
        midWrite += landedMidWrite;
        int changed = 0;
        for (const QString &f : c.files)
            changed += readAll(f) != old[f];
        halfDone += changed > 0 && changed < c.files.size();

        // The next command puts back what the kill left half done.
        const CliResult show = runCli({QStringLiteral("tag"), QStringLiteral("show"), c.files.first()});
        EXPECT_EQ(show.exitCode, 0) << show.err.constData();
        EXPECT_TRUE(journals().isEmpty());
        for (const QString &f : c.files) {
            const QByteArray now = readAll(f);
            ASSERT_TRUE(now.startsWith(c.audio[f])) << qPrintable(f);
            ASSERT_TRUE(now == old[f] || now == done[f]) << qPrintable(f) << " round " << round;
        }
    }
    std::cout << "mid-write kills " << midWrite << ", half-done runs " << halfDone << "\n";
    EXPECT_GE(landed, 6) << "too many writes ended before their kill";
    EXPECT_GE(midWrite, 3) << "too few kills landed in the middle of a file's write";
    EXPECT_GT(halfDone, 0) << "no kill landed in the middle of a run";
}
