// Names and folders that runs must not get wrong: names that are not UTF-8,
// folders that cannot be listed, a full program folder,
// files of one name.
#include "RenameFixtures.h"
#include "support/SmallVolume.h"

#include "platform/Paths.h"
#include "rename/FileGathering.h"
#include "rename/Undo.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

using OddNames = HomeTest;

namespace {

// kaz-cli with arguments as raw bytes (QProcess would re-encode them).
CliResult runRaw(const QList<QByteArray> &arguments)
{
    char errTemplate[] = "/tmp/kaz-raw-XXXXXX";
    const int errFd = ::mkstemp(errTemplate);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(errFd, 2);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 1);
        ::dup2(devNull, 0);
        QList<QByteArray> owned{QByteArray(KAZ_CLI_PATH)};
        owned += arguments;
        std::vector<char *> argv;
        for (QByteArray &a : owned)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readAll(QString::fromLatin1(errTemplate));
    ::close(errFd);
    ::unlink(errTemplate);
    return r;
}

QByteArray native(const QString &path) { return QFile::encodeName(path); }

// Files by names that are bytes, through descriptors QFile takes over.
bool writeRaw(const QByteArray &path, const QByteArray &bytes)
{
    QFile f;
    return f.open(::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644), QIODevice::WriteOnly,
                  QFileDevice::AutoCloseHandle)
           && f.write(bytes) == bytes.size();
}

QByteArray readRaw(const QByteArray &path)
{
    QFile f;
    return f.open(::open(path.constData(), O_RDONLY), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? f.readAll()
                                                                                                       : QByteArray();
}

} // namespace

TEST_F(OddNames, NamesThatAreNotUtf8AreNeverTakenForOthers)
{
    const QByteArray dir = native(home.music());
    const QByteArray latin1 = dir + "/Bj\xf6rk.mp3";             // not UTF-8
    const QByteArray replacement = dir + "/Bj\xef\xbf\xbdrk.mp3"; // UTF-8 of U+FFFD
    const QByteArray song = mp3WithTag(values("Joga", "Bjork"));
    writeRaw(latin1, song);
    writeRaw(replacement, song);
    ::mkdir(QByteArray(dir + "/Caf\xe9").constData(), 0755);
    writeRaw(dir + "/Caf\xe9/inside.mp3", song);

    CliResult r = runRaw({"tag", "set", "--title", "X", latin1});
    EXPECT_TRUE(endedWith(r, 1, "Bj\\xf6rk.mp3"));
    EXPECT_EQ(readRaw(latin1), song);
    EXPECT_EQ(readRaw(replacement), song);

    r = runRaw({"rename", "--recursive", dir});
    EXPECT_TRUE(endedWith(r, 1, "Caf\\xe9"));
    EXPECT_TRUE(r.err.contains("Bj\\xf6rk.mp3")) << r.err.constData();
    EXPECT_EQ(readRaw(latin1), song); // left alone, under its name
    EXPECT_EQ(readRaw(dir + "/Caf\xe9/inside.mp3"), song);
    EXPECT_TRUE(readRaw(replacement).isEmpty()); // the valid name was renamed

    r = runRaw({"rename", dir}); // one folder, not its tree
    EXPECT_TRUE(endedWith(r, 1, "Bj\\xf6rk.mp3"));
    // Names the temporary folder's removal cannot decode either.
    ::unlink(latin1.constData());
    ::unlink(QByteArray(dir + "/Caf\xe9/inside.mp3").constData());
    ::rmdir(QByteArray(dir + "/Caf\xe9").constData());
}

TEST(OddNameCases, Mp3NamesInAnyLetterCase)
{
    for (const char *name : {"a.mp3", "a.MP3", "a.Mp3", "a.mP3", ".mp3", "\xC3\xA9.mp3"})
        EXPECT_TRUE(isMp3Name(QString::fromUtf8(name))) << name;
    for (const char *name : {"a.mp", "mp3", "a.mp3 ", "a.mp4", "a_mp3", "a.mp3.jpg", "a.\xEF\xBC\xAD" "p3"})
        EXPECT_FALSE(isMp3Name(QString::fromUtf8(name))) << name;
}

TEST_F(OddNames, FoldersThatCannotBeListedAreReported)
{
    putTagged(dir + "/ok", "a.mp3", values("One", "Abba"));
    // A path longer than PATH_MAX, built one level at a time.
    const QByteArray level(200, 'd');
    QList<int> fds{::open(native(dir).constData(), O_RDONLY | O_DIRECTORY)};
    for (int i = 0; i < 24; ++i) {
        ::mkdirat(fds.last(), level.constData(), 0755);
        fds << ::openat(fds.last(), level.constData(), O_RDONLY | O_DIRECTORY);
    }
    if (::geteuid() != 0) { // root lists every folder anyway
        QDir().mkpath(dir + "/closed");
        ::chmod(native(dir + "/closed").constData(), 0);
    }
    EXPECT_TRUE(endedWith(runCli({"rename", "--recursive", dir}), 1, "cannot be listed"));
    EXPECT_FALSE(QFile::exists(dir + "/ok/a.mp3")); // the rest of the tree was renamed
    ::chmod(native(dir + "/closed").constData(), 0755);
    for (qsizetype i = fds.size() - 1; i > 0; --i) { // too deep for the temporary folder's removal
        ::close(fds[i]);
        ::unlinkat(fds[i - 1], level.constData(), AT_REMOVEDIR);
    }
    ::close(fds[0]);
}

TEST_F(OddNames, FilesOfOneNameGetTheNumbersASearchFromTwoWouldGive)
{
    // A file of the run frees " (2)" after " (3)" was given: the next file
    // takes " (2)" again.
    const QString x1 = putTagged(dir, "xa.mp3", values("T", "A"));
    const QString x2 = putTagged(dir, "xb.mp3", values("T", "A"));
    const QString y = putTagged(dir, "A - T (2).mp3", values("U", "B"));
    const QString x3 = putTagged(dir, "xc.mp3", values("T", "A"));
    RunFixture fixture;
    fixture.run(artistTitle(), dir + '/', {x1, x2, y, x3});
    // (The number in the name of y is kept.)
    EXPECT_EQ(namesIn(dir), QStringList({"02 - B - U.mp3", "A - T (2).mp3", "A - T (3).mp3", "A - T.mp3"}));
}

TEST_F(OddNames, AFullProgramFolderStopsTheRunBeforeItsFirstRename)
{
    const SmallVolume small(home.path() + "/small", 64);
    if (!small.isMounted())
        GTEST_SKIP() << "needs root to mount a small tmpfs; a full program folder not tested";
    const QString dir = home.music();
    for (int i = 0; i < 400; ++i) // a file list far over 64 kB
        putTagged(dir + "/" + QString(150, QChar('f')), QStringLiteral("%1.mp3").arg(i), values("T", "A"));
    const auto before = treeHashes(dir);
    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", native(small.path()));
    const CliResult r = runCli({"rename", "--recursive", dir});
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).count("could not be written whole"), 1) << r.err.constData();
    EXPECT_EQ(treeHashes(dir), before);
}

TEST_F(OddNames, WorkFilesThatAreNoFilesMakeNoCommandWait)
{
    putTagged(dir, "a.mp3", values("One", "Abba", "Album"));
    QDir().mkpath(programFolder());
    for (const char *name : {"fl.kaz", "undo1.kaz", "undo2.kaz"})
        ASSERT_EQ(::mkfifo(QFile::encodeName(programFolder() + '/' + name).constData(), 0644), 0);
    // A run that waits is stopped and fails with -1.
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}, {}, 20000), 1, "not a regular file"));
    EXPECT_TRUE(endedWith(runCli({"rename", dir}, {}, 20000), 1, "could not be written whole"));
    EXPECT_TRUE(QFile::exists(dir + "/a.mp3"));
}
