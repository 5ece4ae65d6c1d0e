// kaz-cli tag show / set / demo, run as a user would.
#include "support/TestSupport.h"

#include "platform/Messages.h"
#include "tags/TagIO.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

using namespace kaz;
using namespace kaz::test;

namespace {

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n')) {
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    }
    return objects;
}

QStringList mp3Files(const QString &dir)
{
    QStringList files;
    QDirIterator it(dir, {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

TEST(TagCli, ShowJsonHasEveryKeyAndEscapesZeroBytes)
{
    TempHome home;
    const QString file = home.music() + QStringLiteral("/a.mp3");
    QByteArray bytes = mp3WithTag(values(QStringLiteral("Jóga"), QStringLiteral("Björk"), QStringLiteral("Homogenic"),
                                         QStringLiteral("1997"), QStringLiteral("c"), QStringLiteral("0"), 52));
    bytes[bytes.size() - 128 + 97 + 28] = '\0'; // 0 byte then 'A' (65): a track that stays in the comment
    bytes[bytes.size() - 128 + 97 + 29] = 'A';
    writeAll(file, bytes);
    const CliResult r = runCli({QStringLiteral("tag"), QStringLiteral("show"), QStringLiteral("--json"), file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.out.contains("\\u0000A")) << r.out.constData();
    const QList<QJsonObject> rows = jsonLines(r.out);
    ASSERT_EQ(rows.size(), 1);
    const QJsonObject o = rows[0];
    const QStringList keys{"file", "tagged", "title", "artist", "album", "year", "comment", "track", "trackText",
                           "genre", "genreName", "longTitle", "longArtist", "longAlbum", "hasLyrics3", "lyrics3Size",
                           "fileSize", "fromId3v2"};
    for (const QString &key : keys)
        EXPECT_TRUE(o.contains(key)) << key.toStdString();
    EXPECT_EQ(o.size(), keys.size());
    EXPECT_EQ(o[QStringLiteral("title")].toString(), QStringLiteral("Jóga"));
    EXPECT_EQ(o[QStringLiteral("genreName")].toString(), QStringLiteral("Electronic"));
    EXPECT_EQ(o[QStringLiteral("track")].toInt(), 65);
    EXPECT_EQ(o[QStringLiteral("fileSize")].toInteger(), bytes.size());
}

TEST(TagCli, ExitCodesAndMessagesInBothLanguages)
{
    TempHome home;
    const QString shortFile = home.music() + QStringLiteral("/short.mp3");
    writeAll(shortFile, QByteArray(100, 'x'));
    CliResult r = runCli({QStringLiteral("tag"), QStringLiteral("show"), QStringLiteral("--lang"), QStringLiteral("en"), shortFile});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("Following file is to short.")));
    r = runCli({QStringLiteral("tag"), QStringLiteral("show"), shortFile}); // stored choice: German default
    EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("Folgende Datei ist zu kurz.")));

    r = runCli({QStringLiteral("tag"), QStringLiteral("show"), home.music() + QStringLiteral("/missing.mp3"), shortFile});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.mp3"));

    EXPECT_EQ(runCli({QStringLiteral("tag"), QStringLiteral("show")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("tag"), QStringLiteral("frob")}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--genre"), QStringLiteral("Polka Rave"), shortFile}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--track"), QStringLiteral("300"), shortFile}).exitCode, 2);
    EXPECT_EQ(runCli({QStringLiteral("nonsense")}).exitCode, 2);
    r = runCli({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains("tag"));
    r = runCli({QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("Usage: kaz-cli tag set [options] FILE...")) << r.out.constData();
}

TEST(TagCli, SetWritesLongValuesAndKeepsOthers)
{
    TempHome home;
    const QString file = home.music() + QStringLiteral("/a.mp3");
    writeAll(file, mp3WithTag(values(QStringLiteral("T"), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("1999"),
                                     QStringLiteral("keep me"), QStringLiteral("03"), 17)));
    const QString untagged = home.music() + QStringLiteral("/b.mp3");
    writeAll(untagged, mp3Frames(3));
    const QString longAlbum = QStringLiteral("An album title that runs past thirty characters");
    const CliResult r = runCli({QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--album"), longAlbum,
                                QStringLiteral("--genre"), QStringLiteral("jazz"), QStringLiteral("--track"), QStringLiteral("9"),
                                file, untagged, home.music() + QStringLiteral("/none.mp3")});
    EXPECT_EQ(r.exitCode, 1); // the missing file
    for (const QString &f : {file, untagged}) {
        const TagRecord t = readTag(f, {});
        EXPECT_TRUE(t.tagged);
        EXPECT_TRUE(t.hasLyrics3);
        EXPECT_EQ(t.longAlbum, longAlbum);
        EXPECT_EQ(t.genre, 8);
        EXPECT_EQ(t.trackText, QStringLiteral("09"));
    }
    EXPECT_EQ(readTag(file, {}).comment, QStringLiteral("keep me"));
    EXPECT_EQ(readTag(file, {}).year, QStringLiteral("1999"));
}

TEST(TagCli, DemoCollectionIsVariedAndNeverReplacesFiles)
{
    TempHome home;
    const QString dir = home.music() + QStringLiteral("/demo");
    CliResult r = runCli({QStringLiteral("demo"), dir, QStringLiteral("--count"), QStringLiteral("80")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QStringList files = mp3Files(dir);
    ASSERT_EQ(files.size(), 80);
    int untagged = 0, lyrics = 0, forbidden = 0, umlauts = 0, nested = 0;
    for (const QString &f : files) {
        const TagRecord t = readTag(f, {});
        untagged += !t.tagged;
        lyrics += t.hasLyrics3;
        forbidden += t.longArtist.contains(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")))
                     || t.longTitle.contains(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")));
        umlauts += t.longArtist.contains(QRegularExpression(QStringLiteral("[äöüÄÖÜ]")));
        nested += QFileInfo(f).absolutePath() != dir;
    }
    EXPECT_GT(untagged, 0);
    EXPECT_GT(lyrics, 0);
    EXPECT_GT(forbidden, 0);
    EXPECT_GT(umlauts, 0);
    EXPECT_GT(nested, 0);

    const QMap<QString, QByteArray> before = treeHashes(dir);
    r = runCli({QStringLiteral("demo"), dir, QStringLiteral("--count"), QStringLiteral("80")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(treeHashes(dir), before);
}

TEST(TagCli, AnIndependentReaderAgrees)
{
    const QString python = systemPythonWithMutagen();
    if (python.isEmpty())
        GTEST_SKIP() << "python3-mutagen is not installed";
    TempHome home;
    const QString file = home.music() + QStringLiteral("/x.mp3");
    writeAll(file, mp3Frames(4));
    const CliResult r = runCli({QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--title"), QStringLiteral("Über den Wolken"),
                                QStringLiteral("--artist"), QStringLiteral("Reinhard Mey"), QStringLiteral("--album"), QStringLiteral("Mein achtel Lorbeerblatt"),
                                QStringLiteral("--year"), QStringLiteral("1974"), QStringLiteral("--track"), QStringLiteral("7"),
                                QStringLiteral("--genre"), QStringLiteral("Chanson"), file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QProcess p;
    p.start(python, {QStringLiteral("-c"), QStringLiteral(
        "import sys\n"
        "from mutagen.id3._id3v1 import ParseID3v1\n"
        "data = open(sys.argv[1], 'rb').read()[-128:]\n"
        "frames = ParseID3v1(data)\n"
        "for k in ('TIT2','TPE1','TALB','TDRC','TRCK'):\n"
        "    print(k, frames[k].text[0] if k in frames else '')\n"
        "print('TCON', frames['TCON'].genres[0])\n"), file});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("TIT2 Über den Wolken"))) << out.toStdString() << p.readAllStandardError().constData();
    EXPECT_TRUE(out.contains(QStringLiteral("TPE1 Reinhard Mey")));
    EXPECT_TRUE(out.contains(QStringLiteral("TALB Mein achtel Lorbeerblatt")));
    EXPECT_TRUE(out.contains(QStringLiteral("TDRC 1974")));
    EXPECT_TRUE(out.contains(QStringLiteral("TRCK 7")));
    EXPECT_TRUE(out.contains(QStringLiteral("TCON Chanson")));
}

TEST(TagCli, ControlCodesInTagsAreShownNotSentToTheTerminal)
{
    TempHome home;
    const QString file = home.music() + QStringLiteral("/a.mp3");
    QByteArray bytes = mp3WithTag(values(QStringLiteral("x"), QStringLiteral("Band")));
    const QByteArray title = "\x1b]0;owned\x07\x1b[2J";
    bytes.replace(bytes.size() - 128 + 3, title.size(), title);
    writeAll(file, bytes);
    const CliResult r = runCli({QStringLiteral("tag"), QStringLiteral("show"), file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_FALSE(r.out.contains('\x1b'));
    EXPECT_FALSE(r.out.contains('\x07'));
    EXPECT_TRUE(r.out.contains("\\x1b]0;owned\\x07\\x1b[2J")) << r.out.constData();
}

TEST(TagCli, AProgramFolderThatCannotBeWrittenIsNamedAsTheProblem)
{
    TempHome home;
    const QString file = home.music() + QStringLiteral("/a.mp3");
    writeAll(file, mp3WithTag(values(QStringLiteral("One"), QStringLiteral("Abba"), QStringLiteral("Album"))));
    writeAll(home.path() + QStringLiteral("/data/kaz"), "a file where the program folder belongs");
    const CliResult r = runCli({QStringLiteral("rename"), file});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot be written")) << r.err.constData();
    EXPECT_FALSE(r.err.contains("Another")) << r.err.constData();
    EXPECT_TRUE(QFile::exists(file));
}
