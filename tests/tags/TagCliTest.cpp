// kaz-cli tag show / set / demo, run as a user would.
#include "support/QtPrinters.h"
#include "support/SmallVolume.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>

#include <sys/resource.h>

using namespace kaz;
using namespace kaz::test;

using TagCli = HomeTest;

TEST_F(TagCli, ShowEscapesZeroBytesInJsonAndControlCodesOnTheTerminalExitCodesAndLanguages)
{
    const QString file = home.music() + "/\"a\\\" \U0001F600.mp3"; // quotes, a backslash, beyond the BMP
    QByteArray bytes = mp3WithTag(values("Jóga", "Björk", "Homogenic", "1997", "c", "0", 52));
    bytes[bytes.size() - 128 + 97 + 28] = '\0'; // 0 byte then 'A' (65): a track that stays in the comment
    bytes[bytes.size() - 128 + 97 + 29] = 'A';
    writeAll(file, bytes);
    const CliResult r = runCli({"tag", "show", "--json", file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("\\u0000A")) << r.out.constData();
    const QList<QJsonObject> rows = jsonLines(r.out);
    ASSERT_EQ(rows.size(), 1);
    const QJsonObject o = rows[0];
    EXPECT_EQ(o.keys(), QStringList({"album", "artist", "comment", "file", "fileSize", "fromId3v2", "genre", "genreName",
                                     "hasLyrics3", "longAlbum", "longArtist", "longTitle", "lyrics3Size", "tagged", "title",
                                     "track", "trackText", "year"}));
    EXPECT_EQ(o["title"].toString(), "Jóga");
    EXPECT_EQ(o["file"].toString(), file);

    // Control codes in tags are shown, not sent to the terminal.
    const QByteArray title = "\x1b]0;owned\x07\x1b[2J";
    QByteArray withCodes = mp3WithTag(values("x", "Band"));
    withCodes.replace(withCodes.size() - 128 + 3, title.size(), title);
    const QString controls = putFile(home.music(), "a.mp3", withCodes);
    const CliResult shown = runCli({"tag", "show", controls});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.constData();
    EXPECT_FALSE(shown.out.contains('\x1b'));
    EXPECT_TRUE(shown.out.contains("\\x1b]0;owned\\x07\\x1b[2J")) << shown.out.constData();

    // Exit codes, and messages in both languages.
    const QString shortFile = putFile(home.music(), "short.mp3", QByteArray(100, 'x'));
    EXPECT_TRUE(endedWith(runCli({"tag", "show", "--lang", "en", shortFile}), 0, "Following file is to short."));
    // The stored choice: German by default.
    EXPECT_TRUE(endedWith(runCli({"tag", "show", shortFile}), 0, "Folgende Datei ist zu kurz."));

    EXPECT_TRUE(endedWith(runCli({"tag", "show", home.music() + "/missing.mp3", shortFile}), 1, "missing.mp3"));

    for (const QStringList &wrong : {QStringList{"tag", "show"}, QStringList{"nonsense"},
                                     QStringList{"tag", "set", "--genre", "Polka Rave", shortFile}})
        EXPECT_EQ(runCli(wrong).exitCode, 2) << wrong.join(' ').toStdString();
}

TEST_F(TagCli, SetWritesLongValuesAndKeepsOthersAndAnUnwritableProgramFolderIsNamed)
{
    const QString file = putTagged(home.music(), "a.mp3", values("T", "A", "B", "1999", "keep me", "03", 17));
    const QString untagged = putFile(home.music(), "b.mp3", mp3Frames(3));
    const QString longAlbum = "An album title that runs past thirty characters";
    const CliResult r = runCli({"tag", "set", "--album", longAlbum, "--genre", "jazz", "--track", "9", file, untagged,
                                home.music() + "/none.mp3"});
    EXPECT_EQ(r.exitCode, 1); // the missing file
    for (const QString &f : {file, untagged}) {
        const TagRecord t = readTag(f, {});
        EXPECT_EQ(QStringList({t.longAlbum, t.trackText}), QStringList({longAlbum, "09"}));
        EXPECT_EQ(t.genre, 8);
    }
    EXPECT_EQ(QString(readTag(file, {}).comment + "|" + readTag(file, {}).year), "keep me|1999");

    // A program folder that cannot be written is named as the problem.
    ASSERT_TRUE(QDir(home.path() + "/data/kaz").removeRecursively()); // made by the run before
    writeAll(home.path() + "/data/kaz", "a file where the program folder belongs");
    const CliResult renamed = runCli({"rename", file});
    EXPECT_TRUE(endedWith(renamed, 1, "cannot be written"));
    EXPECT_FALSE(renamed.err.contains("Another")) << renamed.err.constData();
    EXPECT_TRUE(QFile::exists(file));
}

TEST_F(TagCli, DemoCollectionIsVariedAndNeverReplacesFiles)
{
    const QString dir = home.music() + "/demo";
    ASSERT_TRUE(endedWith(runCli({"demo", dir, "--count", "80"}), 0));
    const QMap<QString, QByteArray> before = treeHashes(dir);
    ASSERT_EQ(before.size(), 80);
    int untagged = 0, lyrics = 0, forbidden = 0, nested = 0;
    for (const QString &relative : before.keys()) {
        const TagRecord t = readTag(dir + '/' + relative, {});
        untagged += !t.tagged;
        lyrics += t.hasLyrics3;
        forbidden += t.longArtist.contains(QRegularExpression("[\\\\/:*?\"<>|]"));
        nested += relative.contains('/');
    }
    EXPECT_TRUE(untagged && lyrics && forbidden && nested) << untagged << lyrics << forbidden << nested;

    EXPECT_EQ(runCli({"demo", dir, "--count", "80"}).exitCode, 1);
    EXPECT_EQ(treeHashes(dir), before);

    // On a full disk the files that did not fit are failures, not empty files.
    SmallVolume volume(home.path() + "/small", 64);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a small tmpfs (needs root)";
    const CliResult r = runCli({"demo", volume.path() + "/demo", "--count", "400"});
    EXPECT_TRUE(endedWith(r, 1, "No space left on device"));
    const QMap<QString, QByteArray> written = treeHashes(volume.path() + "/demo");
    EXPECT_LT(written.size(), 400);
    for (const QString &relative : written.keys())
        EXPECT_GT(QFileInfo(volume.path() + "/demo/" + relative).size(), 128) << relative.toStdString();
}

// A run over more files than the process may open at once (a soft limit of
// 400 descriptors, 700 files) writes every one of them.
TEST_F(TagCli, ATagRunOverMoreFilesThanMayBeOpenWritesThemAll)
{
    QStringList files;
    for (int i = 0; i < 700; ++i)
        files << putTagged(dir, QStringLiteral("%1.mp3").arg(i), values(QStringLiteral("T%1").arg(i), "A"));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    struct rlimit low = old;
    low.rlim_cur = 400;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const CliResult r = runCli(QStringList{"tag", "set", "--comment", "done"} + files);
    ::setrlimit(RLIMIT_NOFILE, &old);
    EXPECT_TRUE(endedWith(r, 0));
    for (const QString &file : files)
        EXPECT_EQ(readTag(file, {}).comment, "done") << file.toStdString();
}
