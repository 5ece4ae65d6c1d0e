// kaz-cli fromname end to end: preview, write, filter, folder names, usage,
// and a write killed midway.
#include "support/QtPrinters.h"
#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "rename/NameComposer.h"
#include "rename/NumberExtractor.h"
#include "tags/TagIO.h"

#include <QDir>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

class CliFromName : public ::testing::Test
{
protected:
    QString add(const QString &name, const QByteArray &bytes) { return putFile(dir, name, bytes); }

    TempHome home;
    QString dir = home.music() + "/Queen/Innuendo";
    QByteArray audio = mp3Frames(2);
};

} // namespace

TEST_F(CliFromName, PreviewPrintsGridRowsAndWritesNothing)
{
    const QString a = add("Headlong-Rock-Hits.mp3", audio);
    const QString b = add("Song.mp3", audio + mp3WithTag(values("Tagged", "Band")).mid(audio.size()));
    const QString c = add("07 - Queen - Headlong.mp3", audio);
    const QMap<QString, QByteArray> before = treeHashes(home.music());
    CliResult r = runCli({"fromname", "--preview", a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(QString::fromUtf8(r.out).split('\n'),
              QStringList({"Status\tDateiname\tLied\tTitel\tInterpret\tAlbum\tKommentar\tJahr\tGenre\tTrennzeichen",
                           "Tag!\tSong.mp3\t\tTagged\tBand\t\t\t2001\tRock\tRest",
                           "\tHeadlong-Rock-Hits.mp3\t\tHeadlong\tRock\tHits\t\t\t\t-", ""}));
    r = runCli({"fromname", "--preview", "--json", "--delimiter", "-", a, b});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QList<QJsonObject> rows = jsonLines(r.out); // only the row of delimiter "-"
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].keys(), QStringList({"album", "artist", "comment", "delimiter", "file", "filename", "genre",
                                           "status", "title", "track", "year"}));
    EXPECT_EQ(rows[0]["file"].toString(), a);
    // A chosen delimiter: only the name that has it, split there.
    r = runCli({"fromname", "--preview", "--split-at", " - ", "--delimiter", " - ", "--pattern", "artist - title", a, b, c});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(QString::fromUtf8(r.out).split('\n').contains("\t07 - Queen - Headlong.mp3\t07\tHeadlong\tQueen\t\t\t\t\t - "))
        << r.out.constData();
    EXPECT_FALSE(r.out.contains("Song.mp3") || r.out.contains("Hits"));
    EXPECT_EQ(treeHashes(home.music()), before);
}

TEST_F(CliFromName, WritesEveryRowOrOnlyOneDelimiterAndFolderNames)
{
    const QString a = add("Headlong-Rock-Hits.mp3", audio);
    const QString b = add("07 Innuendo.mp3", audio);
    ASSERT_TRUE(endedWith(runCli({"fromname", "--delimiter", "-", "--genre", "rock", "--year", "1991", a, b}), 0));
    TagRecord t = readTag(a, {});
    EXPECT_EQ(QStringList({t.title, t.artist, t.album, t.year, QString::number(t.genre)}),
              QStringList({"Headlong", "Rock", "Hits", "1991", "17"}));
    EXPECT_FALSE(readTag(b, {}).tagged);
    ASSERT_TRUE(endedWith(runCli({"fromname", "--pattern", "Interpret - Titel", a, b}), 0));
    EXPECT_EQ(readTag(b, {}).artist, "Innuendo");
    // The tag that was there wins: a is unchanged, and has one tag.
    EXPECT_EQ(readTag(a, {}).title, "Headlong");
    EXPECT_EQ(readAll(a).size(), audio.size() + 128);

    // Which folder gives which field is FolderNameGuess's rule; here the options.
    const QString song = putFile(dir + "/CD2", "Song.mp3", audio);
    ASSERT_TRUE(endedWith(runCli({"fromname", "--no-sync", "--from-folders", "--swap", "--no-notice-cd", "--comment",
                                  "c", song}), 0));
    t = readTag(song, {});
    EXPECT_EQ(QStringList({t.title, t.artist, t.album, t.comment}), QStringList({"Song", "Innuendo", "Queen", "c"}));
}

// What the rename makes of a collection comes back from the names alone,
// whatever the order of the fields: rename, strip, fromname --split-at.
TEST_F(CliFromName, RenamedCollectionComesBackFromItsNames)
{
    const QString demo = home.music() + "/demo";
    ASSERT_TRUE(endedWith(runCli({"demo", "--flat", "--count", "60", demo}), 0));
    const struct { NameField fields[3]; const char *option, *pattern; } orders[] = {
        {{NameField::Artist, NameField::Album, NameField::Title}, "artist,album,title", "artist - album - title"},
        {{NameField::Title, NameField::Artist, NameField::Album}, "title,artist,album", "title - artist - album"},
        {{NameField::Album, NameField::Title, NameField::Artist}, "album,title,artist", "Album - Titel - Interpret"},
    };
    for (const auto &order : orders) {
        runCli({"rename", "--fields", order.option, demo}); // files that lack a field are marked, not renamed
        RenameSettings settings;
        settings.firstField = order.fields[0];
        settings.secondField = order.fields[1];
        settings.thirdField = order.fields[2];
        // Expected: the values the names were made of (replaced characters
        // stay replaced) and the track, from the tag or the name before.
        QMap<QString, QStringList> expected;
        QStringList files;
        for (const QString &name : QDir(demo).entryList({"*.mp3"}, QDir::Files)) {
            const QString path = demo + "/" + name;
            files << path;
            TagRecord t = readTag(path, {});
            replaceForbiddenCharacters(t, settings.replacements);
            const QString base = name.chopped(4);
            // Left out: files without a complete tag, and names with a suffix against a collision.
            if (!t.tagged || t.artist.isEmpty() || t.album.isEmpty() || t.title.isEmpty()
                || compose_name(t, name, settings) != base)
                continue;
            const QString track = t.trackText != "0" ? t.trackText : extract_number(name);
            expected[path] = {QString::number(track.toInt()), t.longTitle, t.longArtist, t.longAlbum};
        }
        ASSERT_GE(expected.size(), 40) << order.option;
        ASSERT_TRUE(endedWith(runCli(QStringList{"tag", "strip"} + files), 0));
        const CliResult r = runCli(QStringList{"fromname", "--split-at", " - ", "--no-underscore-space", "--pattern",
                                               order.pattern} + files);
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const TagRecord t = readTag(it.key(), {});
            EXPECT_EQ(QStringList({QString::number(t.trackText.toInt()), t.longTitle, t.longArtist, t.longAlbum}),
                      it.value())
                << it.key().toStdString() << " / " << order.option;
        }
    }
}

TEST_F(CliFromName, UsageErrorsMissingFilesAndListLinesThatAreNotUtf8TouchNoOtherFile)
{
    // "A-\xff.mp3" would decode to the name of the U+FFFD file beside it.
    QDir().mkpath(dir);
    const QByteArray raw = QFile::encodeName(dir) + "/A-\xff.mp3";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, audio.constData(), size_t(audio.size())), audio.size());
    ::close(fd);
    const QString lookalike = add(QStringLiteral("A-\uFFFD.mp3"), audio);
    const QString good = add("B-C.mp3", audio);
    const QByteArray lookalikeBefore = contentHash(lookalike);
    const QString list = home.path() + "/list.txt";
    writeAll(list, raw + "\n" + QFile::encodeName(good) + "\n");
    EXPECT_TRUE(endedWith(runCli({"fromname", "--lang", "en", "--files-from", list}), 1, "not valid UTF-8"));
    EXPECT_EQ(contentHash(lookalike), lookalikeBefore);
    EXPECT_EQ(readTag(good, {}).title, "B") << "the other lines are written";
    writeAll(list, raw + "\n");
    EXPECT_EQ(runCli({"fromname", "--files-from", list}).exitCode, 1);
    EXPECT_FALSE(readTag(lookalike, {}).tagged);
    struct stat st {};
    ASSERT_EQ(::stat(raw.constData(), &st), 0);
    EXPECT_EQ(st.st_size, audio.size()) << "the refused file itself is left alone too";
    ::unlink(raw.constData()); // a name Qt cannot spell would keep the temporary home from going

    // Usage errors and missing files.
    const QString a = add("A-B.mp3", audio);
    const QList<QStringList> wrong{
        {"fromname"},
        {"fromname", "--year", "1999", "--year-from", "file", a},
        {"fromname", "--year-from", "tomorrow", a},
        {"fromname", "--genre", "Polka Rock", a},
        {"fromname", "--pattern", "title - singer", a},
        {"fromname", "--swap", a},
        {"fromname", "--delimiter", "ab", a},
        {"fromname", "--split-at", "", a},
        {"fromname", "--split-at", "abcd", a},
        {"fromname", "--split-at", "-", "--delimiter", " - ", a},
        {"fromname", "--json", a},
        {"fromname", "--comment", QString(31, 'c'), a},
    };
    for (const QStringList &arguments : wrong)
        EXPECT_EQ(runCli(arguments).exitCode, 2) << arguments.join(' ').toStdString();
    EXPECT_FALSE(readTag(a, {}).tagged);
    EXPECT_TRUE(endedWith(runCli({"fromname", dir + "/gone.mp3", a}), 1, "gone.mp3"));
    EXPECT_EQ(readTag(a, {}).title, "A");
}

TEST_F(CliFromName, KilledWriteLeavesEachFileOldOrNew)
{
    QStringList files;
    for (int i = 0; i < 40; ++i) {
        const DemoFile f{.relativePath = QStringLiteral("%1-Song %1-Band.mp3").arg(i, 4, 10, QLatin1Char('0')),
                         .tagged = i % 5 != 0,
                         .values = values(QStringLiteral("An old title that is longer than thirty characters %1").arg(i), "Old"),
                         .extraLyrics3Fields = QList<QByteArray>(i % 2, "LYR00004la\r\n"), .frames = 1};
        writeDemoFile(dir, f);
        files << dir + "/" + f.relativePath;
    }
    const int kills = killTailWritesAtEveryStep(QStringList{"fromname", "--no-sync"} + files, files, 3).kills;
    EXPECT_GE(kills, 20);
}
