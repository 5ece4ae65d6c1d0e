// Collections tagged with ID3v2, through kaz-cli: the tag source for show,
// name, rename and structure (by option and by the stored setting), and
// tag from-v2. Every run must leave the start of each file (ID3v2 tag and
// audio) byte for byte.
#include "support/Id3v2Fixture.h"
#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QJsonObject>

using namespace kaz;
using namespace kaz::test;

namespace {

QByteArray v2Song(const QString &title, const QString &artist, const QString &album)
{
    const QList<std::pair<QByteArray, QString>> frames{
        {"TIT2", title}, {"TPE1", artist}, {"TALB", album}, {"TRCK", "3/12"}, {"TCON", "(17)Rock"}};
    return id3v2Tag({.frames = frames}) + mp3Frames(3);
}

} // namespace

using Id3v2Cli = HomeTest;

TEST_F(Id3v2Cli, ShowNameRenameAndStructureUseTheTagSourceAndKeepTheFilesStart)
{
    const QString file = putFile(dir, "x.mp3", v2Song("Song", "Band", "Record"));
    const QByteArray original = readAll(file);

    // Show reports the ID3v2 tag, and uses it with the option.
    CliResult r = runCli({"tag", "show", "--json", file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QJsonObject o = jsonLines(r.out).value(0);
    EXPECT_FALSE(o["tagged"].toBool() || o["fromId3v2"].toBool());
    const QJsonObject v2 = o["id3v2"].toObject();
    EXPECT_EQ(QString(v2["version"].toString() + " " + v2["track"].toString()), "2.4 3/12");

    o = jsonLines(runCli({"tag", "show", "--json", "--id3v2", file}).out).value(0);
    EXPECT_TRUE(o["fromId3v2"].toBool() && o["longArtist"].toString() == "Band");

    EXPECT_TRUE(runCli({"tag", "show", "--id3v2", file}).out.contains("source:  ID3v2.4"));

    // Off by default: without the ID3v2 tag the file has none.
    EXPECT_EQ(runCli({"name", file}).out, "! x.mp3\n");
    EXPECT_EQ(runCli({"name", "--id3v2", file}).out, "03 - Band - Record - Song.mp3\n");

    // The stored setting does the same; --no-id3v2 overrides it.
    ASSERT_EQ(runCli({"config", "set", "ID3v2", "true"}).exitCode, 0);
    EXPECT_EQ(runCli({"name", file}).out, "03 - Band - Record - Song.mp3\n");
    EXPECT_EQ(runCli({"name", "--no-id3v2", file}).out, "! x.mp3\n");
    ASSERT_EQ(runCli({"config", "set", "ID3v2", "false"}).exitCode, 0);

    ASSERT_TRUE(endedWith(runCli({"rename", "--id3v2", file}), 0));
    const QString renamed = dir + "/03 - Band - Record - Song.mp3";
    EXPECT_EQ(readAll(renamed), original);

    // Eight songs of one album make an album folder.
    for (int i = 0; i < 7; ++i)
        putFile(dir, QStringLiteral("s%1.mp3").arg(i), v2Song(QStringLiteral("S%1").arg(i), "Band", "Record"));
    ASSERT_TRUE(endedWith(runCli({"structure", "build", "--id3v2", "--yes", dir}), 0));
    EXPECT_EQ(readAll(dir + "/Album/Band/Record/03 - Band - Record - Song.mp3"), original);
}

TEST_F(Id3v2Cli, FromV2ConvertsLeavesAndCounts)
{
    const QString longTitle = "A title that is well over thirty characters long";
    const QString onlyV2 = putFile(dir, "1.mp3", v2Song(longTitle, "A", "B"));
    const QString both = putFile(dir, "2.mp3", v2Song("T2", "A2", "B2") + mp3WithTag(values("Old", "O")).right(128));
    const QString none = putFile(dir, "3.mp3", mp3Frames(3));
    const QMap<QString, QByteArray> before = contentsOf({onlyV2, both, none});

    CliResult r = runCli({"tag", "from-v2", "--json", onlyV2, both, none});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QStringList outcomes;
    for (const QJsonObject &line : jsonLines(r.out))
        outcomes << line["outcome"].toString();
    EXPECT_EQ(outcomes, QStringList({"written", "kept", "no-id3v2"}));
    // The start of the file stays byte for byte; the long title goes into a Lyrics3 block.
    EXPECT_TRUE(readAll(onlyV2).startsWith(before[onlyV2]));
    const TagRecord converted = readTag(onlyV2, {});
    EXPECT_EQ(QStringList({converted.longTitle, converted.trackText}), QStringList({longTitle, "03"}));
    EXPECT_TRUE(converted.hasLyrics3);
    EXPECT_EQ(readAll(both), before[both]);
    EXPECT_EQ(readAll(none), before[none]);

    // --overwrite replaces the old ID3v1 tag; the list comes from a file.
    const QString list = home.file("list.txt");
    writeAll(list, both.toUtf8() + "\n");
    r = runCli({"tag", "from-v2", "--overwrite", "--files-from", list});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("1 written, 0 kept")) << r.err.constData();
    EXPECT_EQ(readAll(both).left(before[both].size() - 128), before[both].left(before[both].size() - 128));
    EXPECT_EQ(jsonLines(runCli({"tag", "show", "--json", both}).out).value(0)["title"].toString(), "T2");

    // A file that cannot be read fails the run; no files is wrong usage.
    EXPECT_EQ(runCli({"tag", "from-v2", dir + "/missing.mp3"}).exitCode, 1);
    EXPECT_EQ(runCli({"tag", "from-v2"}).exitCode, 2);
}

// Killed at every step of the end writes, each file afterwards (and after the
// journal was replayed) holds its old end or its new one, never a mix, and
// its start is untouched.
TEST_F(Id3v2Cli, FromV2KilledAtEveryStepLosesNothing)
{
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        const QString title = QStringLiteral("A title long enough for a Lyrics3 block %1").arg(i);
        files << putFile(dir, QStringLiteral("%1.mp3").arg(i), v2Song(title, "A", "B"));
    }
    const int kills = killTailWritesAtEveryStep(QStringList{"tag", "from-v2"} + files, files).kills;
    EXPECT_GE(kills, 3);
}
