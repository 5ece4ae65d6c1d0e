// A cleanup run killed at any moment can be undone completely.
#include "CleanupFixtures.h"

#include "cleanup/CleanupRun.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>

using namespace kaz;
using namespace kaz::test;

namespace {

QMap<QString, QByteArray> absoluteHashes(const QString &dir)
{
    QMap<QString, QByteArray> hashes;
    for (auto [relative, hash] : treeHashes(dir).asKeyValueRange())
        hashes.insert(dir + '/' + relative, hash);
    return hashes;
}

// Starts the command and kills it after delay milliseconds.
void killAfter(const QStringList &arguments, qint64 delayMs)
{
    QProcess process;
    process.start(QStringLiteral(KAZ_CLI_PATH), arguments);
    ASSERT_TRUE(process.waitForStarted());
    QThread::msleep(delayMs);
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished();
}

} // namespace

TEST(CleanupKill, ARunKilledAtRandomMomentsIsAlwaysUndoneCompletely)
{
    TempHome home;
    const QString dir = home.music();
    QStringList files;
    for (int i = 0; i < 5000; ++i)
        files.append(putFile(dir, QStringLiteral("%1_track-no_%2 (live).mp3").arg(i % 10).arg(i, 4, 10, QLatin1Char('0'))));
    const QString script = QStringLiteral("\"_\"\" \":\"-no\"\"\":\" (live)\"\"\":1\"#\":3-4\"\":");
    const auto original = absoluteHashes(dir);
    QHash<QByteArray, QString> oldPathOf;
    for (auto [path, hash] : original.asKeyValueRange())
        oldPathOf.insert(hash, path);
    QHash<QString, QString> planned;
    for (const CleanupItem &item : planCleanup(files, script, CleanupOptions()).items)
        planned.insert(item.oldPath, item.folder + item.newName());
    ASSERT_EQ(QSet<QString>(planned.cbegin(), planned.cend()).size(), files.size()) << "the names must stay apart";

    const QStringList arguments = QStringList{"cleanup", "--script", script} + files;
    QElapsedTimer timer;
    timer.start();
    ASSERT_EQ(runCli(arguments).exitCode, 0);
    const qint64 runTime = qMax<qint64>(timer.elapsed(), 20);
    ASSERT_EQ(runCli({"cleanup", "--undo"}).exitCode, 0);
    ASSERT_EQ(absoluteHashes(dir), original);

    QRandomGenerator random(20261206);
    int midRun = 0;
    for (int round = 0; round < 10; ++round) {
        killAfter(arguments, random.bounded(runTime));
        // Every file is under its old or its planned name, once.
        const auto now = absoluteHashes(dir);
        ASSERT_EQ(now.size(), original.size());
        int renamed = 0;
        for (auto [path, hash] : now.asKeyValueRange()) {
            const QString old = oldPathOf.value(hash);
            ASSERT_FALSE(old.isEmpty()) << qPrintable(path);
            ASSERT_TRUE(path == old || path == planned.value(old)) << qPrintable(path);
            renamed += path != old;
        }
        midRun += renamed > 0 && renamed < now.size();
        const CliResult undo = runCli({"cleanup", "--undo"});
        ASSERT_EQ(undo.exitCode, 0) << undo.err.constData();
        ASSERT_EQ(absoluteHashes(dir), original) << "round " << round;
    }
    EXPECT_GT(midRun, 0) << "no kill landed in the middle of a run";
}
