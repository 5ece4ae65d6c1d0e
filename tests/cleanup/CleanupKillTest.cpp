// A cleanup run killed at any moment can be undone completely.
#include "CleanupFixtures.h"

#include "support/KillAtStep.h"

#include "cleanup/CleanupRun.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

using namespace kaz;
using namespace kaz::test;

using CleanupKill = HomeTest;

namespace {

// Files whose cleaned names stay apart, the script, and where each file goes.
struct KillFixture {
    QString dir;
    QStringList files;
    QString script = QStringLiteral("\"_\"\" \":\"-no\"\"\":\" (live)\"\"\":1\"#\":3-4\"\":");
    QMap<QString, QByteArray> original;
    QHash<QByteArray, QString> oldPathOf;
    QHash<QString, QString> planned;

    KillFixture(const QString &folder, int count)
        : dir(folder)
    {
        for (int i = 0; i < count; ++i)
            files.append(putFile(dir, QStringLiteral("%1_track-no_%2 (live).mp3").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))));
        original = hashesByPath(dir);
        for (auto [path, hash] : original.asKeyValueRange())
            oldPathOf.insert(hash, path);
        for (const CleanupItem &item : planCleanup(files, script, CleanupOptions()).items)
            planned.insert(item.oldPath, item.folder + item.newName());
    }

    QStringList arguments() const { return QStringList{"cleanup", "--script", script} + files; }

    // Every file is under its old or its planned name, once; returns how many were renamed.
    int checkEachFileOnce() const
    {
        const auto now = hashesByPath(dir);
        EXPECT_EQ(now.size(), original.size());
        int renamed = 0;
        for (auto [path, hash] : now.asKeyValueRange()) {
            const QString old = oldPathOf.value(hash);
            EXPECT_FALSE(old.isEmpty()) << qPrintable(path);
            EXPECT_TRUE(path == old || path == planned.value(old)) << qPrintable(path);
            renamed += path != old;
        }
        return renamed;
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
    ASSERT_EQ(QSet<QString>(f.planned.cbegin(), f.planned.cend()).size(), f.files.size()) << "the names must stay apart";
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
