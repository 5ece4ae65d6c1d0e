// Copying, moving and deleting on real files.
#include "support/SmallVolume.h"

#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "platform/WorkFiles.h"
#include "tools/SendRun.h"
#include "tools/SendToList.h"

#include <QDir>
#include <QFile>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

class Send : public HomeTest
{
protected:
    SendOutcome send(SendOperation operation, const QString &destination, const QStringList &paths)
    {
        return sendFiles({.operation = operation, .destination = destination, .paths = paths}, &prompter,
                         Language::English);
    }

    ScriptedPrompter prompter;
    const QString src = dir + "/src", dst = dir + "/dst";
};

} // namespace

TEST_F(Send, CopyTakesTheThreeOverwriteAnswers)
{
    // expected: the content of the three existing targets afterwards
    struct Case { const char *name; QList<Button> answers; int questions; QByteArray expected[3]; };
    const Case cases[] = {
        {"OK each time", {Button::Ok, Button::Ok, Button::Ok}, 3, {"new a", "new b", "new c"}},
        {"OK, then No for the rest", {Button::Ok, Button::No}, 2, {"new a", "old b", "old c"}},
        {"No once keeps all", {Button::No}, 1, {"old a", "old b", "old c"}},
        {"All after one OK", {Button::Ok, Button::All}, 2, {"new a", "new b", "new c"}},
    };
    for (const Case &c : cases) {
        QDir(dir).removeRecursively();
        QStringList paths;
        for (const char *n : {"a", "b", "c"}) {
            paths << putFile(src, QString("%1.mp3").arg(n), QByteArray("new ") + n);
            putFile(dst, QString("%1.mp3").arg(n), QByteArray("old ") + n);
        }
        paths << putFile(src, "d.mp3", "new d");
        prompter.shown.clear();
        prompter.answers = c.answers;
        const SendOutcome outcome = send(SendOperation::Copy, dst, paths);
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

TEST_F(Send, CopyToABadDestinationKeepsEverything)
{
    const QString file = putFile(dir, "a.mp3", "a");
    for (const QString &destination : QStringList{"", "x", "relative/dir", file + "/below-a-file"}) {
        prompter.shown.clear();
        const SendOutcome outcome = send(SendOperation::Copy, destination, {file});
        EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::BadDestination) << destination.toStdString();
        EXPECT_EQ(prompter.shown, QStringList({"Error in destination directory.\n\r\n\rPlease re-enter directory."}));
    }
    // A missing destination is made with its parents.
    const SendOutcome made = send(SendOperation::Copy, dir + "/new/deep", {file});
    EXPECT_EQ(made.done, 1);
    EXPECT_EQ(readAll(dir + "/new/deep/a.mp3"), "a");
}

TEST_F(Send, MoveLeavesExistingTargetsAndTellsOnce)
{
    const QStringList paths = {putFile(src, "a.mp3", "new a"), putFile(src, "b.mp3", "new b"), putFile(src, "c.mp3", "new c")};
    putFile(dst, "a.mp3", "old a");
    putFile(dst, "b.mp3", "old b");
    const SendOutcome outcome = send(SendOperation::Move, dst, paths);
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(outcome.skipped, QStringList({paths[0], paths[1]}));
    EXPECT_EQ(prompter.shown, QStringList({"One or more files exist in destination directory!\n\r\n\rSome files won´t be moved!"}));
    EXPECT_EQ(readAll(dst + "/a.mp3"), "old a");
    EXPECT_EQ(readAll(dst + "/c.mp3"), "new c");
    EXPECT_EQ(entries(src), QStringList({"a.mp3", "b.mp3"}));
}

// The space check, and names up to the file system's limit, links and FIFOs,
// to another file system and within one.
TEST_F(Send, SpaceLongNamesLinksAndFifosAcrossFileSystems)
{
    const QString longName = QString(251, QChar('n')) + ".mp3";
    const QString file = putFile(src, longName, "long");
    SendOutcome outcome = send(SendOperation::Copy, dir + "/copies", {file});
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(readAll(dir + "/copies/" + longName), "long");

    SmallVolume volume(home.path() + "/small", 1024);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root): space and cross-file-system cases skipped";
    const QByteArray big(700 * 1024, 'x');
    const QString a = putFile(src, "a.mp3", big), b = putFile(src, "b.mp3", big);

    // Two files of 700 KB do not fit into 1 MB: nothing is copied.
    outcome = send(SendOperation::Copy, volume.path() + "/in", {a, b});
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::NotEnoughSpace);
    EXPECT_EQ(prompter.shown, QStringList({"Not enough diskspace on destination drive!"}));
    EXPECT_TRUE(entries(volume.path() + "/in").isEmpty());
    // Neither are they moved there.
    outcome = send(SendOperation::Move, volume.path() + "/in", {a, b});
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::NotEnoughSpace);
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));

    // One fits; the move copies it over, and only then removes the source.
    const QByteArray hash = contentHash(a);
    outcome = send(SendOperation::Move, volume.path() + "/in", {a});
    EXPECT_EQ(outcome.done, 1);
    EXPECT_FALSE(QFile::exists(a));
    EXPECT_EQ(contentHash(volume.path() + "/in/a.mp3"), hash);
    EXPECT_EQ(entries(volume.path() + "/in"), QStringList({"a.mp3"}));

    // Within the full volume a move needs no space.
    outcome = send(SendOperation::Move, volume.path() + "/other", {volume.path() + "/in/a.mp3"});
    EXPECT_FALSE(outcome.refused());
    EXPECT_EQ(contentHash(volume.path() + "/other/a.mp3"), hash);

    outcome = send(SendOperation::Move, volume.path() + "/in", {file});
    EXPECT_EQ(outcome.done, 1);
    EXPECT_TRUE(outcome.skipped.isEmpty());
    EXPECT_EQ(readAll(volume.path() + "/in/" + longName), "long");
    EXPECT_FALSE(QFile::exists(file));

    // A link goes as the link it is, pointing where it pointed.
    putFile(src, "target.mp3", "target");
    ASSERT_TRUE(QFile::link("target.mp3", src + "/link.mp3"));
    outcome = send(SendOperation::Move, volume.path() + "/in", {src + "/link.mp3"});
    EXPECT_EQ(outcome.done, 1);
    EXPECT_EQ(QFileInfo(volume.path() + "/in/link.mp3").symLinkTarget(), volume.path() + "/in/target.mp3");
    EXPECT_FALSE(QFileInfo(src + "/link.mp3").exists());
    EXPECT_FALSE(QFileInfo(src + "/link.mp3").isSymLink());

    // A FIFO is refused by name and stays; the command does not wait on it.
    const QString fifo = src + "/pipe.mp3";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const CliResult r = runCli({"send", "move", "--to", volume.path() + "/in", fifo});
    EXPECT_TRUE(endedWith(r, 1, QString(fifo + ": not a regular file").toUtf8()));
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_FALSE(QFileInfo::exists(volume.path() + "/in/pipe.mp3"));
}

// A move to another file system out of a folder the file cannot leave (here a
// read-only one) copies nothing: the file stays where it is, once, and the
// failure names the reason.
TEST_F(Send, AMoveOutOfAFolderTheFileCannotLeaveCopiesNothing)
{
    SmallVolume volume(home.path() + "/small", 1024);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    const QString from = volume.path() + "/album";
    const QString a = putFile(from, "a.mp3", QByteArray(5000, 'a'));
    QFile::link("a.mp3", from + "/link.mp3");
    const QByteArray hash = contentHash(a);
    ASSERT_EQ(::mount(nullptr, QFile::encodeName(volume.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr),
              0);

    const SendOutcome outcome = send(SendOperation::Move, dst, {a, from + "/link.mp3"});
    EXPECT_EQ(outcome.done, 0);
    ASSERT_EQ(outcome.failures.size(), 2);
    EXPECT_TRUE(outcome.failures[0].contains("cannot be removed from its folder")) << outcome.failures[0].toStdString();
    EXPECT_TRUE(entries(dst).isEmpty());
    EXPECT_EQ(contentHash(a), hash);
    EXPECT_TRUE(QFileInfo(from + "/link.mp3").isSymLink());

    const CliResult r = runCli({"send", "move", "--to", dst, a});
    EXPECT_TRUE(endedWith(r, 1, "cannot be removed from its folder")) << r.err.constData();
    EXPECT_TRUE(entries(dst).isEmpty());
}

TEST_F(Send, DeleteGoesToTheTrashAfterTheQuestion)
{
    const QString a = putFile(dir, "a.mp3", "a"), b = putFile(dir, "b.mp3", "b");
    prompter.answers = {Button::Cancel};
    SendOutcome outcome = send(SendOperation::Delete, "ignored", {a, b});
    EXPECT_EQ(outcome.refusal, SendOutcome::Refusal::Cancelled);
    EXPECT_EQ(prompter.shown, QStringList({"Really delete files?"}));
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));

    prompter.answers = {Button::Ok};
    const QString gone = dir + "/gone.mp3";
    outcome = send(SendOperation::Delete, QString(), {a, gone, b});
    EXPECT_EQ(outcome.done, 2);
    EXPECT_EQ(outcome.trashed, QStringList({a, b}));
    EXPECT_EQ(outcome.failures, QStringList({gone + ": No such file or directory"})); // told, not passed over
    // In this home's trash, each with the path it came from.
    const QString trash = home.path() + "/data/Trash";
    EXPECT_EQ(readAll(trash + "/files/a.mp3") + readAll(trash + "/files/b.mp3"), "ab");
    EXPECT_TRUE(readAll(trash + "/info/a.mp3.trashinfo").contains(QByteArray("\nPath=" + QFile::encodeName(a) + "\n")));
}

// Where no trash can take a file, it is deleted for good only after a
// question that names it; the command line refuses unless told --permanent.
TEST_F(Send, AFileNoTrashTakesIsDeletedOnlyWhenSaidSo)
{
    writeAll(home.path() + "/data/Trash", "no folder: no trash for this home");
    const QString a = putFile(dir, "a.mp3", "a"), b = putFile(dir, "b.mp3", "b");
    prompter.answers = {Button::Ok, Button::No};
    SendOutcome outcome = send(SendOperation::Delete, {}, {a, b});
    EXPECT_EQ(prompter.shown.value(1), "2 files cannot be moved to the trash: delete for good?\n\r\n\r" + a + "\n\r" + b);
    EXPECT_EQ(outcome.notTrashed.size(), 2);
    EXPECT_TRUE(QFile::exists(a));
    EXPECT_TRUE(QFile::exists(b));
    prompter.answers = {Button::Ok, Button::Yes};
    outcome = send(SendOperation::Delete, {}, {a});
    EXPECT_EQ(outcome.deletedForGood, QStringList({a}));
    EXPECT_FALSE(QFile::exists(a));

    CliResult r = runCli({"send", "delete", "--yes", "--lang", "en", b});
    EXPECT_TRUE(endedWith(r, 1, QString(b + ": cannot be moved to the trash, not deleted").toUtf8()));
    EXPECT_TRUE(QFile::exists(b));
    r = runCli({"send", "delete", "--yes", "--permanent", "--lang", "en", b});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).startsWith("deleted for good: " + b));
    EXPECT_FALSE(QFile::exists(b));
}

TEST_F(Send, ListOfTheDialogHoldsExistingFilesWithTheirSizes)
{
    const QString a = putFile(dir + "/x", "a.mp3", "12345"), b = putFile(dir + "/y", "b.mp3", "123");
    ASSERT_TRUE(SendToList::write({a, dir + "/gone.mp3", "bad\npath", b}));
    const SendToList list = SendToList::read();
    EXPECT_EQ(list.paths.size(), 3); // the line break cannot be listed
    EXPECT_EQ(list.names, QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(list.totalBytes, 8);
    EXPECT_EQ(list.sourceFolder, dir + "/y/");
    EXPECT_EQ(readAll(workFilePath(workfile::SendTo)).count("\r\n"), 3);
}

// kaz-cli is killed at every step of its copy loop: whatever stands under a
// target's name is a complete copy or the old file, and the next copy into
// the folder clears the dead run's temporaries (and nothing else).
TEST_F(Send, AKilledCopyLeavesNoHalfFileAndTheNextCopyClearsUp)
{
    QStringList paths;
    QMap<QString, QByteArray> hashes;
    for (int i = 0; i < 6; ++i) {
        const QString name = QString("song %1.mp3").arg(i);
        paths << putFile(src, name, QByteArray(100 * 1024 + i, char('a' + i)));
        hashes[name] = contentHash(paths.last());
    }
    // A temporary of a copy that is still running, and a file of the user's
    // that only looks like one: both stay.
    const QString running = QString(".kaz-tmp-%1-0").arg(::getpid());
    const QString own = "notes.kaz-tmp-of mine";
    const auto setUp = [&] {
        QDir(dst).removeRecursively();
        for (int i = 0; i < 6; i += 2) // existing targets are replaced too (--overwrite all)
            putFile(dst, QString("song %1.mp3").arg(i), "old");
        putFile(dst, running, "live");
        putFile(dst, own, "mine");
    };
    const QStringList arguments = QStringList{"send", "copy", "--overwrite", "all", "--to", dst} + paths;
    int leftovers = 0;
    const int kills = killAtEveryStep(arguments, "copy", setUp, [&](int n) {
        for (const QString &name : entries(dst)) {
            if (name.startsWith(".kaz-tmp-") && name != running) {
                ++leftovers;
                continue;
            }
            if (name == running || name == own)
                continue;
            ASSERT_TRUE(hashes.contains(name)) << name.toStdString() << " after kill " << n;
            EXPECT_TRUE(readAll(dst + '/' + name) == "old" || contentHash(dst + '/' + name) == hashes[name])
                << name.toStdString() << " after kill " << n;
        }
        for (int i = 0; i < 6; i += 2)
            EXPECT_TRUE(QFile::exists(dst + QString("/song %1.mp3").arg(i))) << i << " after kill " << n;
        EXPECT_EQ(entries(src).size(), 6);
        // The next copy into the folder: complete, and the dead run's temporary gone.
        const CliResult again = runCli(arguments);
        EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
        EXPECT_EQ(treeHashes(dst).size(), 8) << "after kill " << n;
        for (auto [name, hash] : hashes.asKeyValueRange())
            EXPECT_EQ(contentHash(dst + '/' + name), hash) << name.toStdString();
        EXPECT_EQ(readAll(dst + '/' + running), "live");
        EXPECT_EQ(readAll(dst + '/' + own), "mine");
    }, 3);
    EXPECT_GE(kills, 3);
    EXPECT_GT(leftovers, 0) << "no kill left a temporary behind";
}

// Without a terminal the command line takes the safe answer and says so.
TEST_F(Send, CommandLineWithoutATerminal)
{
    const QString a = putFile(src, "a.mp3", "new a"), b = putFile(src, "b.mp3", "new b");
    putFile(dst, "a.mp3", "old a");
    // told: in the output or the errors
    struct Step { QStringList arguments; int exitCode; const char *told; QByteArray targetAfter; };
    const Step steps[] = {
        {{"copy", "--to", dst, a, b}, 0, "exists, not copied: ", "old a"},
        {{"copy", "--overwrite", "some", "--to", dst, a}, 2, "", "old a"},
        {{"move", "--to", dst, a}, 1, "exists, stays: ", "old a"}, // a move never replaces
        {{"copy", "--overwrite", "all", "--to", dst, a}, 0, "", "new a"},
        {{"delete", a}, 1, "Really delete files?", "new a"}, // nothing goes without --yes
    };
    for (const Step &s : steps) {
        const CliResult r = runCli(QStringList{"send", s.arguments[0], "--lang", "en"} + s.arguments.mid(1));
        EXPECT_EQ(r.exitCode, s.exitCode) << s.arguments.join(' ').toStdString() << r.err.toStdString();
        EXPECT_TRUE(QByteArray(r.out + r.err).contains(s.told)) << s.told;
        EXPECT_EQ(readAll(dst + "/a.mp3"), s.targetAfter);
        EXPECT_EQ(readAll(a), "new a");
    }
    CliResult r = runCli({"send", "delete", "--yes", "--lang", "en", a});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(r.out), "to the trash: " + a + "\n");
    EXPECT_EQ(readAll(home.path() + "/data/Trash/files/a.mp3"), "new a");
    EXPECT_TRUE(endedWith(runCli({"send", "delete", "--yes", "--lang", "en", a}), 1,
                          QString(a + ": No such file or directory").toUtf8()));
    EXPECT_EQ(runCli({"send", "delete"}).exitCode, 2);
}
