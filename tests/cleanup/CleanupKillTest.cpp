// A cleanup run killed at any moment can be undone completely.
#include "CleanupFixtures.h"

#include "support/KillAtStep.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

#include <algorithm>

using namespace kaz;
using namespace kaz::test;

using CleanupKill = HomeTest;

namespace {

// Files whose cleaned names stay apart, and the script.
struct KillFixture {
    QString dir;
    QStringList files;
    QString script = QStringLiteral("\"_\"\" \":\"-no\"\"\":\" (live)\"\"\":1\"#\":3-4\"\":");
    QMap<QString, QByteArray> original;

    KillFixture(const QString &folder, int count)
        : dir(folder)
    {
        for (int i = 0; i < count; ++i)
            files.append(putFile(dir, QStringLiteral("%1_track-no_%2 (live).mp3").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))));
        original = hashesByPath(dir);
    }

    QStringList arguments() const { return QStringList{"cleanup", "--script", script} + files; }

    // Every file is there once, its content whole; returns how many were renamed.
    int checkEachFileOnce() const
    {
        const auto now = hashesByPath(dir);
        QList<QByteArray> hashes = now.values(), before = original.values();
        std::sort(hashes.begin(), hashes.end());
        std::sort(before.begin(), before.end());
        EXPECT_EQ(hashes, before);
        return int(std::count_if(now.keyBegin(), now.keyEnd(), [&](const QString &p) { return !original.contains(p); }));
    }
};

} // namespace

// Killed before each n-th rename (the batches of logged pairs included):
// the undo always brings back every name.
TEST_F(CleanupKill, ARunKilledAtEveryStepIsUndoneCompletely)
{
    const KillFixture f(home.music(), 600);
    int midRun = 0;
    const int kills = killAtEveryStep(f.arguments(), "rename", [] {}, [&](int n) {
        const int renamed = f.checkEachFileOnce();
        EXPECT_EQ(renamed, n - 1) << "the kill came before rename " << n;
        midRun += renamed > 0;
        ASSERT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
        ASSERT_EQ(hashesByPath(f.dir), f.original) << "after the kill at rename " << n;
    }, 37);
    EXPECT_GE(kills, 16);
    EXPECT_GT(midRun, 0);
}

// One smoke test at random moments, for what the fault points cannot reach.
TEST_F(CleanupKill, ARunKilledAtRandomMomentsIsAlwaysUndoneCompletely)
{
    const KillFixture f(home.music(), 3000);
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli(f.arguments()).exitCode, 0);
    const qint64 runTime = qMax<qint64>(timer.elapsed(), 20);
    ASSERT_EQ(runCli({"cleanup", "--undo"}).exitCode, 0);
    ASSERT_EQ(hashesByPath(f.dir), f.original);

    const quint32 seed = testSeed();
    QRandomGenerator random(seed);
    for (int round = 0; round < 3; ++round) {
        runCliKilledAfter(f.arguments(), random.bounded(runTime));
        f.checkEachFileOnce();
        ASSERT_TRUE(endedWith(runCli({"cleanup", "--undo"}), 0));
        ASSERT_EQ(hashesByPath(f.dir), f.original) << "round " << round << ", seed " << seed;
    }
}
