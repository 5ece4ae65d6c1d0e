// Copying, moving and deleting on real files.
#include "SmallVolume.h"

#include "support/TestSupport.h"

#include "platform/WorkFiles.h"
#include "tools/SendRun.h"
#include "tools/SendTexts.h"
#include "tools/SendToList.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>

#include <csignal>

using namespace kaz;
using namespace kaz::test;

namespace {

QString put(const QString &dir, const QString &name, const QByteArray &content)
{
    QDir().mkpath(dir);
    const QString path = dir + '/' + name;
    writeAll(path, content);
    return path;
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

SendOutcome send(SendOperation operation, const QString &destination, const QStringList &paths,
                 ScriptedPrompter &prompter)
{
    SendRequest request;
    request.operation = operation;
    request.destination = destination;
    request.paths = paths;
    return sendFiles(request, &prompter, Language::English);
}

} // namespace

TEST(SendCopy, TheThreeOverwriteAnswers)
{
    struct Case {
        const char *name;
        QList<Button> answers;
        int questions;
        QByteArray expected[3]; // content of the three existing targets afterwards
    };
    const Case cases[] = {
        {"OK each time", {Button::Ok, Button::Ok, Button::Ok}, 3, {"new a", "new b", "new c"}},
        {"OK, then No for the rest", {Button::Ok, Button::No}, 2, {"new a", "old b", "old c"}},
        {"No once keeps all", {Button::No}, 1, {"old a", "old b", "old c"}},
        {"All after one OK", {Button::Ok, Button::All}, 2, {"new a", "new b", "new c"}},
    };
    for (const Case &c : cases) {
        TempHome home;
        const QString src = home.music() + "/src", dst = home.music() + "/dst";
        QStringList paths;
        for (const char *n : {"a", "b", "c"}) {
            paths << put(src, QString("%1.mp3").arg(n), QByteArray("new ") + n);
            put(dst, QString("%1.mp3").arg(n), QByteArray("old ") + n);
        }
        paths << put(src, "d.mp3", "new d");
        ScriptedPrompter prompter;
        prompter.answers = c.answers;
        const SendOutcome outcome = send(SendOperation::Copy, dst, paths, prompter);
        EXPECT_FALSE(outcome.refused()) << c.name;
        EXPECT_EQ(prompter.shown.size(), c.questions) << c.name;
        EXPECT_EQ(prompter.shown.value(0), "File exists!\n\r\n\rOverwrite?") << c.name;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(readAll(dst + '/' + QChar('a' + i) + ".mp3"), c.expected[i]) << c.name << " file " << i;
        EXPECT_EQ(readAll(dst + "/d.mp3"), "new d") << c.name; // no question for a new target
        EXPECT_EQ(entries(dst), QStringList({"a.mp3", "b.mp3", "c.mp3", "d.mp3"})) << c.name; // no temporary left
        EXPECT_EQ(entries(src).size(), 4) << c.name;
    }
}

TEST(SendCopy, DestinationErrorsKeepEverything)
{
    TempHome home;
    const QString file = put(home.music(), "a.mp3", "a");
    for (const QString &destination : QStringList{"", "x", "relative/dir", file + "/below-a-file"}) {
        ScriptedPrompter prompter;
        const SendOutcome outcome = send(SendOperation::Copy, destination, {file}, prompter);
        EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::BadDestination) << destination.toStdString();
        EXPECT_EQ(prompter.shown, QStringList({"Error in destination directory.\n\r\n\rPlease re-enter directory."}));
    }
    // A missing destination is made with its parents.
    ScriptedPrompter prompter;
    const SendOutcome made = send(SendOperation::Copy, home.music() + "/new/deep", {file}, prompter);
    EXPECT_EQ(made.done, 1);
    EXPECT_EQ(readAll(home.music() + "/new/deep/a.mp3"), "a");
}

TEST(SendMove, ExistingTargetsStayAndAreToldOnce)
{
    TempHome home;
    const QString src = home.music() + "/src", dst = home.music() + "/dst";
    const QStringList paths = {put(src, "a.mp3", "new a"), put(src, "b.mp3", "new b"), put(src, "c.mp3", "new c")};
    put(dst, "a.mp3", "old a");
    put(dst, "b.mp3", "old b");
    ScriptedPrompter prompter;
    const SendOutcome outcome = send(SendOperation::Move, dst, paths, prompter);
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.skipped, QStringList({paths[0], paths[1]}));
    EXPECT_EQ(prompter.shown, QStringList({"One or more files exist in destination directory!\n\r\n\rSome files won´t be moved!"}));
    EXPECT_EQ(readAll(dst + "/a.mp3"), "old a");
    EXPECT_EQ(readAll(dst + "/c.mp3"), "new c");
    EXPECT_EQ(entries(src), QStringList({"a.mp3", "b.mp3"}));
}

TEST(SendVolume, SpaceCheckAndMovesAcrossFileSystems)
{
    TempHome home;
    SmallVolume volume(home.path() + "/small", 1024);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root): space and cross-file-system cases skipped";
    const QString src = home.music();
    const QByteArray big(700 * 1024, 'x');
    const QString a = put(src, "a.mp3", big), b = put(src, "b.mp3", big);

    // Two files of 700 KB do not fit into 1 MB: nothing is copied.
    ScriptedPrompter prompter;
    SendOutcome outcome = send(SendOperation::Copy, volume.path() + "/in", {a, b}, prompter);
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::NotEnoughSpace);
    EXPECT_EQ(prompter.shown, QStringList({"Not enough diskspace on destination drive!"}));
    EXPECT_TRUE(entries(volume.path() + "/in").isEmpty());
    // Neither are they moved there.
    outcome = send(SendOperation::Move, volume.path() + "/in", {a, b}, prompter);
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::NotEnoughSpace);
    EXPECT_TRUE(QFile::exists(a) && QFile::exists(b));

    // One fits; the move copies it over, and only then removes the source.
    const QByteArray hash = contentHash(a);
    outcome = send(SendOperation::Move, volume.path() + "/in", {a}, prompter);
    EXPECT_EQ(outcome.done, 1);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(contentHash(volume.path() + "/in/a.mp3"), hash);
    EXPECT_EQ(entries(volume.path() + "/in"), QStringList({"a.mp3"}));

    // Within the full volume a move needs no space.
    outcome = send(SendOperation::Move, volume.path() + "/other", {volume.path() + "/in/a.mp3"}, prompter);
    EXPECT_FALSE(outcome.refused());
    EXPECT_EQ(contentHash(volume.path() + "/other/a.mp3"), hash);
}

TEST(SendDelete, GoesToTheTrashAfterTheQuestion)
{
    TempHome home;
    const QString a = put(home.music(), "a.mp3", "a"), b = put(home.music(), "b.mp3", "b");
    ScriptedPrompter prompter;
    prompter.answers = {Button::Cancel};
    SendOutcome outcome = send(SendOperation::Delete, "ignored", {a, b}, prompter);
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::Cancelled);
    EXPECT_EQ(prompter.shown, QStringList({"Really delete files?"}));
    EXPECT_TRUE(QFile::exists(a) && QFile::exists(b));

    prompter.answers = {Button::Ok};
    outcome = send(SendOperation::Delete, QString(), {a, home.music() + "/gone.mp3", b}, prompter);
    EXPECT_EQ(outcome.done, 2);
    EXPECT_TRUE(outcome.failures.isEmpty());
    EXPECT_FALSE(QFile::exists(a) || QFile::exists(b));
    // The trash of this home: the files can be taken back.
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Trash/files";
    if (outcome.trashed.size() == 2) {
        EXPECT_EQ(readAll(trash + "/a.mp3"), "a");
        EXPECT_EQ(readAll(trash + "/b.mp3"), "b");
    } else {
        EXPECT_EQ(outcome.deletedForGood.size(), 2); // no trash here
    }
}

TEST(SendToList, ListsExistingFilesWithTheirSizes)
{
    TempHome home;
    const QString a = put(home.music() + "/x", "a.mp3", "12345"), b = put(home.music() + "/y", "b.mp3", "123");
    ASSERT_TRUE(SendToList::write({a, home.music() + "/gone.mp3", "bad\npath", b}));
    const SendToList list = SendToList::read();
    EXPECT_EQ(list.paths.size(), 3); // the line break cannot be listed
    EXPECT_EQ(list.names, QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(list.totalBytes, 8);
    EXPECT_EQ(list.sourceFolder, home.music() + "/y/");
    EXPECT_EQ(readAll(workFilePath(workfile::SendTo)).count("\r\n"), 3);
}

// kaz-cli is killed while it copies: whatever stands under a target's name
// is a complete copy.
TEST(SendCopy, AKilledCopyLeavesNoHalfFile)
{
    TempHome home;
    const QString src = home.music() + "/src", dst = home.music() + "/dst";
    QStringList paths;
    QMap<QString, QByteArray> hashes;
    QRandomGenerator random(1234);
    for (int i = 0; i < 40; ++i) {
        QByteArray content(1024 * 1024 + int(random.bounded(4096)), char('a' + i % 26));
        const QString name = QString("song %1.mp3").arg(i, 2, 10, QChar('0'));
        paths << put(src, name, content);
        hashes[name] = contentHash(paths.last());
    }
    // Existing targets are replaced too (--overwrite all): an old one must
    // never be left cut short either.
    for (int i = 0; i < 40; i += 2)
        put(dst, QString("song %1.mp3").arg(i, 2, 10, QChar('0')), "old");
    const int killAfter = 5 + int(random.bounded(20)); // completed copies before the kill

    QProcess cli;
    cli.start(KAZ_CLI_PATH, QStringList{"send", "copy", "--overwrite", "all", "--to", dst} + paths);
    ASSERT_TRUE(cli.waitForStarted());
    // Cheap enough to poll often: a file under a target's name with more
    // than the old content is a copy that was renamed into place.
    const auto copied = [&] {
        int n = 0;
        for (const QFileInfo &info : QDir(dst).entryInfoList(QDir::Files))
            n += hashes.contains(info.fileName()) && info.size() > 3;
        return n;
    };
    while (cli.state() == QProcess::Running && copied() < killAfter)
        QThread::msleep(1);
    ASSERT_EQ(cli.state(), QProcess::Running) << "the copy ended before the kill";
    ::kill(pid_t(cli.processId()), SIGKILL);
    cli.waitForFinished();

    int complete = 0, old = 0;
    for (const QString &name : entries(dst)) {
        if (name.contains(".kaz-tmp-"))
            continue; // a temporary of the cut copy, under a name of its own
        ASSERT_TRUE(hashes.contains(name)) << name.toStdString();
        const QByteArray content = readAll(dst + '/' + name);
        if (content == "old") {
            ++old;
        } else {
            ++complete;
            EXPECT_EQ(contentHash(dst + '/' + name), hashes[name]) << name.toStdString();
        }
    }
    EXPECT_GE(complete, killAfter);
    EXPECT_LT(complete, 40) << "the kill did not land mid-run";
    for (int i = 0; i < 40; i += 2) // an existing target is never lost on the way
        EXPECT_TRUE(QFile::exists(dst + QString("/song %1.mp3").arg(i, 2, 10, QChar('0')))) << i;
    EXPECT_EQ(entries(src).size(), 40);
}

TEST(SendCli, CopyMoveAndDeleteWithoutATerminal)
{
    TempHome home;
    const QString src = home.music() + "/src", dst = home.music() + "/dst";
    const QString a = put(src, "a.mp3", "new a"), b = put(src, "b.mp3", "new b");
    put(dst, "a.mp3", "old a");

    // No terminal, no --overwrite: existing targets are kept and listed.
    CliResult r = runCli({"send", "copy", "--lang", "en", "--to", dst, a, b});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains("1 files copied to " + dst + "/\n")) << r.out.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains("exists, not copied: " + a));
    EXPECT_EQ(readAll(dst + "/a.mp3"), "old a");
    r = runCli({"send", "copy", "--overwrite", "all", "--to", dst, a});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(readAll(dst + "/a.mp3"), "new a");
    EXPECT_EQ(runCli({"send", "copy", "--overwrite", "some", "--to", dst, a}).exitCode, 2);

    // A move never replaces: the file stays, and that is a file not handled.
    r = runCli({"send", "move", "--lang", "en", "--to", dst, a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(r.out).contains("exists, stays: " + a));
    EXPECT_TRUE(QFile::exists(a));

    // Delete asks; without a terminal and --yes nothing goes.
    r = runCli({"send", "delete", "--lang", "en", a});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("Really delete files?"));
    EXPECT_TRUE(QFile::exists(a));
    r = runCli({"send", "delete", "--yes", "--lang", "en", a});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith("to the trash: " + a) || QString::fromUtf8(r.out).startsWith("deleted for good: " + a))
        << r.out.toStdString();
    EXPECT_EQ(runCli({"send", "delete"}).exitCode, 2);
}
