// kaz-cli tag show / set / demo, run as a user would.
#include "support/QtPrinters.h"
#include "support/SmallVolume.h"
#include "support/Terminal.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QRegularExpression>

#include <sys/resource.h>
#include <sys/stat.h>

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
    // C1 codes too (U+009B is a terminal's one-character ESC [, U+0085 a line
    // break), in a name, through a pipe and on a terminal.
    const QString c1 = putFile(home.music(), QString::fromUtf8("c1 \xc2\x9b" "2J \xc2\x85 \xc2\x80.mp3"),
                               mp3WithTag(values("x", "Band")));
    for (const CliResult &r : {runCli({"tag", "show", controls, c1}), runCliOnTerminal({"tag", "show", controls, c1})}) {
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(r.out.contains("c1 \\x9b2J \\x85 \\x80.mp3")) << r.out.constData();
        EXPECT_TRUE(r.out.contains("\\x1b]0;owned")) << r.out.constData();
        for (const char code : {'\x1b', '\x07', '\xc2'})
            EXPECT_FALSE(r.out.contains(code)) << "raw control code " << int(uchar(code)) << " in " << r.out.constData();
    }

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

// A list of files, from a file or standard input, is read to its last line,
// with or without a line end; a FIFO among the files never makes a command wait.
TEST_F(TagCli, ListsAreReadToTheLastLineAndPipesNeverBlock)
{
    const QByteArray a = QFile::encodeName(putTagged(home.music(), "a.mp3", values("A", "Band")));
    const QByteArray b = QFile::encodeName(putTagged(home.music(), "b b.mp3", values("B", "Band")));
    const QString list = home.file("list.txt");
    const struct { const char *what; QByteArray lines; QStringList titles; } cases[] = {
        {"last line without its end", a + "\n" + b, {"A", "B"}},
        {"one line without its end", b, {"B"}},
        {"CR LF ends, an empty line", a + "\r\n\r\n" + b + "\r\n", {"A", "B"}},
        {"CR LF, then the last line without its end", b + "\r\n" + a, {"B", "A"}},
    };
    for (const auto &c : cases) {
        writeAll(list, c.lines);
        for (const CliResult &r : {runCli({"tag", "show", "--json", "--files-from", list}),
                                   runCli({"tag", "show", "--json", "--files-from", "-"}, c.lines)}) {
            EXPECT_EQ(r.exitCode, 0) << c.what << ": " << r.err.constData();
            QStringList titles;
            for (const QJsonObject &row : jsonLines(r.out))
                titles << row["title"].toString();
            EXPECT_EQ(titles, c.titles) << c.what;
        }
    }
    writeAll(list, b);
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--comment", "listed", "--files-from", list}), 0));
    EXPECT_EQ(readTag(QFile::decodeName(b), {}).comment, "listed");

    // A FIFO by path: refused at once, as a file that cannot be read; the
    // timeout only ends a run that hangs.
    const QString fifo = home.music() + "/fifo.mp3";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    for (const QStringList &command : {QStringList{"tag", "show"}, QStringList{"tag", "show", "--json"},
                                       QStringList{"tag", "set", "--title", "T"}, QStringList{"tag", "from-v2"}}) {
        const CliResult r = runCli(command + QStringList{fifo, QFile::decodeName(a)}, {}, 30000);
        EXPECT_TRUE(endedWith(r, 1, "fifo.mp3")) << command.join(' ').toStdString();
    }
    EXPECT_EQ(readTag(QFile::decodeName(a), {}).title, "T") << "the file after the FIFO is written";
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
    EXPECT_GT(untagged, 0);
    EXPECT_GT(lyrics, 0);
    EXPECT_GT(forbidden, 0);
    EXPECT_GT(nested, 0);

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

TEST_F(TagCli, SetGivesANewTagNoGenreAndRefusesValuesThatDoNotFit)
{
    // A new tag has the genre the user gave, or none (255), never 0 ("Blues").
    const QString bare = putFile(dir, "bare.mp3", mp3Frames(3));
    const QString blues = putFile(dir, "blues.mp3", mp3Frames(3));
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "X", bare}), 0));
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "X", "--genre", "0", blues}), 0));
    EXPECT_EQ(readTag(bare, {}).genre, 255);
    EXPECT_EQ(readTag(blues, {}).genre, 0);
    EXPECT_EQ(jsonLines(runCli({"tag", "show", "--json", bare}).out).value(0)["genreName"].toString(), "");
    // A tag that has a genre keeps it.
    const QString rock = putTagged(dir, "rock.mp3", values("T", "A", "B", "1999", "", "03", 17));
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--artist", "Z", rock}), 0));
    EXPECT_EQ(readTag(rock, {}).genre, 17);

    // A value longer than its field is refused whole, naming field and limit.
    const QMap<QString, QByteArray> before = hashesByPath(dir);
    struct Case {
        QStringList options;
        QByteArray said;
    };
    const QList<Case> refused{
        {{"--year", "12345"}, "--year takes at most 4 characters"},
        {{"--comment", QString(31, 'c')}, "--comment takes at most 30 characters"},
        {{"--comment", QString(29, 'c'), "--track", "3"}, "--comment takes at most 28 characters beside a track"},
        {{"--title", QString(100000, 't')}, "--title takes at most 99999 characters"},
    };
    for (const Case &c : refused) {
        EXPECT_TRUE(endedWith(runCli(QStringList{"tag", "set", "--lang", "en"} + c.options + QStringList{bare, rock}), 2,
                              c.said))
            << c.options.first().toStdString();
    }
    EXPECT_EQ(hashesByPath(dir), before);

    // The file's own track leaves 28 characters for the comment: that file
    // is reported and left, the others written.
    const CliResult mixed = runCli({"tag", "set", "--lang", "en", "--comment", QString(30, 'c'), bare, rock});
    EXPECT_TRUE(endedWith(mixed, 1, "rock.mp3: the comment takes at most 28 characters"));
    EXPECT_EQ(contentHash(rock), before[rock]);
    EXPECT_EQ(readTag(bare, {}).comment, QString(30, 'c'));

    // Title, artist and album over 30 characters go on into the Lyrics3 block.
    const QString longTitle(40, 'L');
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", longTitle, "--year", "2024", rock}), 0));
    const TagRecord t = readTag(rock, {});
    EXPECT_EQ(QStringList({t.longTitle, t.title, t.year, t.trackText}), QStringList({longTitle, QString(30, 'L'), "2024", "03"}));
    EXPECT_TRUE(t.hasLyrics3);
}
