#include "RenameFixtures.h"
#include "support/KillAtStep.h"


#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// A tree of files with distinct tags: path -> hash.
QMap<QString, QByteArray> makeTree(const QString &dir, int count)
{
    QMap<QString, QByteArray> files;
    for (int i = 0; i < count; ++i) {
        const QString folder = dir + QStringLiteral("/f%1/g%2").arg(i % 7).arg(i % 3);
        const QString path
            = putTagged(folder, QStringLiteral("%1.mp3").arg(i), values(QStringLiteral("Song %1").arg(i), "Artist", "Album"));
        files.insert(path, contentHash(path));
    }
    return files;
}

// Where a run by tag puts a file of makeTree: "<i>.mp3" holds "Song <i>",
// and the number of the old name stays in front (two digits at least; 0 is
// no number).
QString plannedPath(const QString &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QString number = path.mid(slash + 1).chopped(4);
    const QString kept = number == "0" ? QString() : number.rightJustified(2, '0') + " - ";
    return path.left(slash + 1) + kept + "Artist - Album - Song " + number + ".mp3";
}

// How long a whole run takes, in milliseconds.
qint64 runTime(const QStringList &arguments)
{
    QElapsedTimer timer;
    timer.start();
    runCli(arguments);
    return timer.elapsed();
}

struct Kill {
    bool landed = false; // the command was still running when it was killed
    qint64 ranMs = 0;    // how long it ran
};

// Runs the command and kills it after the delay, unless it ends first.
Kill killAfter(const QStringList &arguments, qint64 delayMs)
{
    QProcess process;
    process.start(QStringLiteral(KAZ_CLI_PATH), arguments);
    if (!process.waitForStarted())
        return {};
    QElapsedTimer clock;
    clock.start();
    if (process.waitForFinished(int(qMax<qint64>(delayMs, 1))))
        return {false, clock.elapsed()};
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished();
    return {process.exitStatus() == QProcess::CrashExit, clock.elapsed()};
}

QMap<QString, QByteArray> absoluteHashes(const QString &dir)
{
    QMap<QString, QByteArray> hashes;
    for (auto [relative, hash] : treeHashes(dir).asKeyValueRange())
        hashes.insert(dir + '/' + relative, hash);
    return hashes;
}

} // namespace

TEST(CliRename, PreviewPrintsSortedRowsAndChangesNothing)
{
    TempHome home;
    const QString dir = home.music();
    putTagged(dir, "b.mp3", values("SOS", "Abba", "Arrival"));
    putTagged(dir, "a.mp3", values("SOS", "Abba", "Arrival", "1976"));
    putUntagged(dir, "c.mp3");
    const auto before = treeHashes(dir);

    const CliResult result = runCli({"rename", "--preview", "--json", "--lang", "en", dir});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(treeHashes(dir), before);
    const QList<QByteArray> lines = result.out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 3);
    const auto field = [&](int line, const char *key) {
        return QJsonDocument::fromJson(lines[line]).object().value(QLatin1String(key)).toString();
    };
    EXPECT_EQ(field(0, "currentName"), "a.mp3");
    EXPECT_EQ(field(0, "previewedName"), "Abba - Arrival - SOS.mp3");
    EXPECT_EQ(field(1, "previewedName"), "Abba - Arrival - SOS (2).mp3");
    EXPECT_EQ(field(2, "status"), "   !");
    EXPECT_EQ(field(2, "info"), "NoID3Tag");

    const CliResult table = runCli({"rename", "--preview", "--lang", "de", "--fields", "title", dir + "/a.mp3"});
    EXPECT_TRUE(table.out.startsWith("Status\tInfo\tAktueller Dateiname\tNeuer Dateiname"));
    EXPECT_TRUE(table.out.contains("\ta.mp3\tSOS.mp3\t"));
}

TEST(CliRename, NameAndSettingOptions)
{
    TempHome home;
    const QString dir = home.music();
    const QString file = putTagged(dir, "05 x.mp3", values("What?", "AC/DC"));
    CliResult result = runCli({"name", "--fields", "title,artist", "--brackets", "3", "--replace", "+++++++++",
                               "--delimiter", "_", file});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_EQ(result.out, "(05)_What+_AC+DC.mp3\n");
    result = runCli({"name", "--user-name", "Mix", "--no-numbers", file, file});
    EXPECT_EQ(result.out, "01 - Mix.mp3\n02 - Mix.mp3\n");

    const QStringList wrong[] = {{"--fields", "none,artist"}, {"--fields", "artist,artist"}, {"--delimiter", "/"},
                                 {"--replace", "/////////"},  {"--number-fixed", "5"},      {"--brackets", "x"}};
    for (const QStringList &options : wrong) {
        result = runCli(QStringList{"rename"} + options + QStringList{file});
        EXPECT_EQ(result.exitCode, 2) << qPrintable(options.join(' '));
    }
    result = runCli({"rename", "--delimiter", "?", "--lang", "en", file});
    EXPECT_TRUE(result.err.startsWith("following delimiter are no allowed")) << result.err.constData();
    EXPECT_TRUE(QFile::exists(file));
}

TEST(CliRename, UndoNeedsAnAnswer)
{
    TempHome home;
    const QString dir = home.music();
    const QString file = putTagged(dir, "x.mp3", values("SOS", "Abba"));
    EXPECT_EQ(runCli({"rename", "--fields", "artist,title", file}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(dir + "/Abba - SOS.mp3"));

    CliResult result = runCli({"undo", "--lang", "en"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.err.contains("This UNDO-information are from last session!"));
    EXPECT_FALSE(QFile::exists(file));

    result = runCli({"undo", "--yes"});
    EXPECT_EQ(result.exitCode, 0) << result.err.constData();
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_EQ(runCli({"undo", "--yes"}).exitCode, 0); // nothing left to undo
}

TEST(CliRename, KilledRunsCanBeUndone)
{
    TempHome home;
    const QString dir = home.music();
    const QMap<QString, QByteArray> original = makeTree(dir, 400);
    QMap<QByteArray, QString> oldPathOf;
    for (auto it = original.cbegin(); it != original.cend(); ++it)
        oldPathOf.insert(it.value(), it.key());
    QMap<QString, QString> planned;
    for (const QString &path : original.keys())
        planned.insert(path, plannedPath(path));
    const auto undo = [&](int n) {
        const CliResult r = runCli({"undo", "--yes"});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        ASSERT_EQ(absoluteHashes(dir), original) << "killed at rename " << n;
    };

    // Killed at every 37th rename: every file is under its old or its new
    // name, once, and the undo brings back every old one.
    int halfDone = 0;
    const int kills = killAtEveryStep(
        {"rename", "--recursive", dir}, "rename", [] {},
        [&](int n) {
            const auto now = absoluteHashes(dir);
            ASSERT_EQ(now.size(), original.size());
            int renamed = 0;
            for (auto [path, hash] : now.asKeyValueRange()) {
                const QString old = oldPathOf.value(hash);
                ASSERT_FALSE(old.isEmpty()) << qPrintable(path);
                EXPECT_TRUE(path == old || path == planned.value(old)) << qPrintable(path);
                renamed += path != old;
            }
            halfDone += renamed > 0 && renamed < now.size();
            undo(n);
        },
        37);
    EXPECT_GE(kills, 10);
    EXPECT_EQ(halfDone, kills - 1) << "only the kill before the first rename leaves every name";
    ASSERT_EQ(runCli({"undo", "--yes"}).exitCode, 0);

    // User-defined names go through temporary names; a kill there is undone too.
    const int counterKills = killAtEveryStep({"rename", "--recursive", "--user-name", "Mix", "--no-numbers", dir},
                                             "rename", [] {}, undo, 61);
    EXPECT_GE(counterKills, 12);
}

TEST(CliRename, CommandsThatOnlyReadChangeNoPermission)
{
    TempHome home;
    const QString dir = home.music();
    const QString file = putTagged(dir, "a.mp3", values("One", "Abba", "Album"));
    const QString outside = home.path() + "/outside.mp3";
    writeAll(outside, readAll(file));
    QFile::link(outside, dir + "/link.mp3");
    for (const QString &f : {file, outside})
        ::chmod(QFile::encodeName(f).constData(), 0444);
    const QList<QStringList> commands{{"tag", "show", file, dir + "/link.mp3"},
                                      {"name", file, dir + "/link.mp3"},
                                      {"rename", "--preview", dir},
                                      {"rename", "--preview", "--recursive", "--user-name", "Mix", dir}};
    for (const QStringList &command : commands) {
        const CliResult r = runCli(command);
        EXPECT_EQ(r.exitCode, 0) << qPrintable(command.join(' ')) << r.err.constData();
        for (const QString &f : {file, outside}) {
            struct stat st {};
            ::stat(QFile::encodeName(f).constData(), &st);
            EXPECT_EQ(st.st_mode & 07777, 0444u) << qPrintable(command.join(' ') + ": " + f);
        }
    }
}

TEST(CliRename, AnUndoThatCannotFinishKeepsTheRestForLater)
{
    TempHome home;
    const QString dir = home.music() + "/Inbox";
    putTagged(dir, "a.mp3", values("One", "Abba", "Album"));
    putTagged(home.music() + "/Other", "b.mp3", values("Two", "Abba", "Album"));
    const auto before = absoluteHashes(home.music());
    ASSERT_EQ(runCli({"rename", "--recursive", home.music()}).exitCode, 0);
    ASSERT_TRUE(QDir().rename(dir, home.music() + "/Away"));
    CliResult r = runCli({"undo", "--yes", "--lang", "en"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("1 lines that could not be undone stay in the undo logs")) << r.err.constData();
    ASSERT_TRUE(QDir().rename(home.music() + "/Away", dir));
    r = runCli({"undo", "--yes"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(absoluteHashes(home.music()), before);
}

TEST(CliRename, KilledUndosCanBeRepeated)
{
    TempHome home;
    const QString dir = home.music();
    const QMap<QString, QByteArray> original = makeTree(dir, 3000);
    const QStringList byTag{"rename", "--recursive", dir};
    ASSERT_EQ(runCli(byTag).exitCode, 0);
    qint64 undoRun = runTime({"undo", "--yes"});
    ASSERT_EQ(absoluteHashes(dir), original);
    const quint32 seed = testSeed();
    QRandomGenerator random(seed);
    SCOPED_TRACE(testing::Message() << "seed " << seed << ", undo " << undoRun << " ms");
    int landed = 0, halfDone = 0;
    for (int round = 0; round < 12 && halfDone < 3; ++round) {
        ASSERT_EQ(runCli(byTag).exitCode, 0);
        const auto renamed = absoluteHashes(dir);
        // Most of a run's time is the program's start: kill in its later part.
        const quint32 span = quint32(qMax<qint64>(undoRun, 20));
        const Kill kill = killAfter({"undo", "--yes"}, span / 4 + random.bounded(span * 3 / 4));
        landed += kill.landed;
        if (!kill.landed)
            undoRun = qMin(undoRun, kill.ranMs);
        const auto now = absoluteHashes(dir);
        ASSERT_EQ(now.size(), original.size()); // nothing lost, nothing doubled
        halfDone += now != original && now != renamed;
        const CliResult again = runCli({"undo", "--yes"});
        ASSERT_EQ(again.exitCode, 0) << again.err.constData();
        ASSERT_EQ(absoluteHashes(dir), original) << "round " << round;
    }
    EXPECT_GT(landed, 0) << "every undo ended before its kill";
    EXPECT_GT(halfDone, 0) << "no kill landed in the middle of an undo";
}
