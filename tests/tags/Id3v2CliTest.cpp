// Collections tagged with ID3v2, through kaz-cli: the tag source for show,
// name, rename and structure (by option and by the stored setting), and
// tag from-v2. Every run must leave the start of each file (ID3v2 tag and
// audio) byte for byte.
#include "support/Id3v2Fixture.h"
#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QJsonObject>

#include <algorithm>

using namespace kaz;
using namespace kaz::test;

namespace {

QByteArray v2Song(const QString &title, const QString &artist, const QString &album)
{
    const QList<std::pair<QByteArray, QString>> frames{
        {"TIT2", title}, {"TPE1", artist}, {"TALB", album}, {"TRCK", "3/12"}, {"TCON", "(17)Rock"}};
    return id3v2Tag({.frames = frames}) + mp3Frames(3);
}

// A text frame whose data is compressed: its declared size, then the zlib
// stream of the encoding byte and text (2.3 plain, 2.4 syncsafe with the
// data length flag).
QByteArray compressedTextFrame(int version, const char *id, const QByteArray &text, quint32 declared)
{
    const QByteArray stream = qCompress(QByteArray(1, '\0') + text).mid(4);
    QByteArray size(4, '\0');
    for (int i = 0; i < 4; ++i)
        size[3 - i] = char(version == 4 ? (declared >> (7 * i)) & 0x7f : (declared >> (8 * i)) & 0xff);
    return id3v2Frame(version, id, size + stream, char(version == 4 ? 0x09 : 0x80));
}

} // namespace

using Id3v2Cli = HomeTest;

// Compressed frames inflate only as far as they say they do: a frame that
// grows past its size (by a little, or to hundreds of megabytes) is left
// unread and its file reported, and the run goes on with the other files.
TEST_F(Id3v2Cli, CompressedFramesInflateNoFurtherThanTheySay)
{
    const QByteArray huge(32 * 1024 * 1024, 'a');
    struct Case {
        const char *name;
        int version;
        QByteArray text;
        quint32 declared;
        bool readable;
    } cases[] = {
        {"fits3.mp3", 3, "Packed Three", 13, true},
        {"fits4.mp3", 4, "Packed Four", 12, true},
        {"longer3.mp3", 3, "A bit longer than said", 5, false},
        {"bomb3.mp3", 3, huge, 100, false},
        {"bomb4.mp3", 4, huge, 100, false},
        {"bombsaid.mp3", 4, huge, 0x0fffffff, false}, // says it, but past the limit of a tag
    };
    QStringList files;
    for (const Case &c : cases) {
        const QByteArray body = compressedTextFrame(c.version, "TIT2", c.text, c.declared)
                                + id3v2Frame(c.version, "TPE1", QByteArray(1, '\0') + "Band");
        files << putFile(dir, c.name, id3v2TagOf(c.version, body) + mp3Frames(3));
    }
    files << putFile(dir, "plain.mp3", v2Song("Plain", "Band", "Record"));
    const QMap<QString, QByteArray> before = contentsOf(files);

    CliResult r = runCli(QStringList{"tag", "show", "--json"} + files);
    EXPECT_EQ(r.exitCode, 1);
    const QList<QJsonObject> shown = jsonLines(r.out);
    ASSERT_EQ(shown.size(), files.size()) << r.err.constData();
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const QJsonObject v2 = shown[i]["id3v2"].toObject();
        EXPECT_EQ(v2["title"].toString(), cases[i].readable ? QString(cases[i].text) : QString()) << cases[i].name;
        EXPECT_EQ(v2["artist"].toString(), "Band") << cases[i].name;
        EXPECT_EQ(r.err.contains(cases[i].name), !cases[i].readable) << cases[i].name << r.err.constData();
    }
    EXPECT_EQ(shown.last()["id3v2"].toObject()["title"].toString(), "Plain");

    // A file like these ends no run: from-v2 and rename go on with the others.
    r = runCli(QStringList{"tag", "from-v2"} + files);
    EXPECT_TRUE(r.err.contains("bomb4.mp3")) << r.err.constData();
    EXPECT_EQ(readTag(files.last(), {}).title, "Plain");
    EXPECT_EQ(readTag(files.first(), {}).title, "Packed Three");
    r = runCli({"rename", "--id3v2", dir});
    EXPECT_TRUE(QFile::exists(dir + "/03 - Band - Record - Plain.mp3")) << r.err.constData();
    // Each file once, its start (tag and audio) as it was.
    const QStringList names = namesIn(dir);
    EXPECT_EQ(names.size(), files.size());
    for (const QByteArray &start : before) {
        EXPECT_EQ(std::count_if(names.cbegin(), names.cend(),
                                [&](const QString &name) { return readAll(dir + "/" + name).startsWith(start); }),
                  1);
    }
}

TEST_F(Id3v2Cli, ShowNameRenameAndStructureUseTheTagSourceAndKeepTheFilesStart)
{
    const QString file = putFile(dir, "x.mp3", v2Song("Song", "Band", "Record"));
    const QByteArray original = readAll(file);

    // Show reports the ID3v2 tag, and uses it with the option.
    CliResult r = runCli({"tag", "show", "--json", file});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QJsonObject o = jsonLines(r.out).value(0);
    EXPECT_FALSE(o["tagged"].toBool());
    EXPECT_FALSE(o["fromId3v2"].toBool());
    const QJsonObject v2 = o["id3v2"].toObject();
    EXPECT_EQ(QString(v2["version"].toString() + " " + v2["track"].toString()), "2.4 3/12");

    o = jsonLines(runCli({"tag", "show", "--json", "--id3v2", file}).out).value(0);
    EXPECT_TRUE(o["fromId3v2"].toBool());
    EXPECT_EQ(o["longArtist"].toString(), "Band");

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
