#include "KillAtStep.h"

#include "platform/Paths.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

namespace kaz::test {

namespace {

// Runs kaz-cli with KAZ_FAULT_AT=faultAt when given; killed after killAfterMs
// when that is not negative.
KilledRun runKilled(const QStringList &arguments, const QString &faultAt, qint64 killAfterMs, const QByteArray &input)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!faultAt.isEmpty())
        environment.insert(QStringLiteral("KAZ_FAULT_AT"), faultAt);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KAZ_CLI_PATH), arguments);
    KilledRun run;
    if (!process.waitForStarted())
        return run;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(killAfterMs < 0 ? 120000 : int(qMax<qint64>(killAfterMs, 1))) && killAfterMs >= 0) {
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();
    }
    run.killed = process.exitStatus() == QProcess::CrashExit;
    run.result.exitCode = run.killed ? -1 : process.exitCode();
    run.result.out = process.readAllStandardOutput();
    run.result.err = process.readAllStandardError();
    return run;
}

} // namespace

KilledRun runCliKilledAt(const QStringList &arguments, const QString &step, int n, const QByteArray &input)
{
    return runKilled(arguments, step + QLatin1Char(':') + QString::number(n), -1, input);
}

KilledRun runCliKilledAfter(const QStringList &arguments, qint64 delayMs)
{
    return runKilled(arguments, {}, delayMs, {});
}

int killAtEveryStep(const QStringList &arguments, const QString &step,
                    const std::function<void()> &setUp,
                    const std::function<void(int n)> &recover, int stride)
{
    int kills = 0;
    for (int n = 1;; n += stride) {
        setUp();
        const KilledRun run = runCliKilledAt(arguments, step, n);
        if (!run.killed)
            return kills;
        ++kills;
        recover(n);
        if (::testing::Test::HasFatalFailure())
            return kills;
    }
}

TailKills killTailWritesAtEveryStep(const QStringList &arguments, const QStringList &files, int stride)
{
    const QMap<QString, QByteArray> old = contentsOf(files);
    EXPECT_EQ(runCli(arguments).exitCode, 0);
    const QMap<QString, QByteArray> done = contentsOf(files);
    TailKills count;
    count.kills = killAtEveryStep(
        arguments, QStringLiteral("tail"), [&] { restoreContents(old); },
        [&](int n) {
            const CliResult show = runCli({QStringLiteral("tag"), QStringLiteral("show"), files.first()});
            EXPECT_EQ(show.exitCode, 0) << show.err.constData();
            EXPECT_TRUE(QDir(programFolder()).entryList({QStringLiteral("tailwrite-*")}, QDir::Files).isEmpty())
                << "a journal is left after step " << n;
            int changed = 0;
            for (const QString &f : files) {
                const QByteArray now = readAll(f);
                ASSERT_TRUE(now == old[f] || now == done[f]) << qPrintable(f) << " step " << n;
                changed += now != old[f];
            }
            count.mixed += changed > 0 && changed < files.size();
        },
        stride);
    restoreContents(old);
    return count;
}

} // namespace kaz::test
