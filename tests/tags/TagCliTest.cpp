// kaz-cli tag show / set / demo, run as a user would.
#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QJsonObject>
#include <QRegularExpression>

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
