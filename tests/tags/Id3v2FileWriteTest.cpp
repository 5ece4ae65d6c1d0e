// ID3v2 tags written into real files: made and read back by mutagen, an
// independent reader; in place under a journal, or the file written anew;
// links, permissions and a full disk.
#include "support/SmallVolume.h"
#include "support/TestSupport.h"

#include "tags/Id3v2.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// make PATH VERSION ENCODING PADDING: a tag of the version around the audio
// already in the file, texts in the encoding, a picture and frames KAZ does
// not know. read PATH: the tag as JSON.
const char *const kMutagen = R"(
import sys, json, hashlib
from mutagen.id3 import ID3, TIT2, TPE1, TALB, TRCK, COMM, APIC, PRIV, TXXX, TCON
cmd, path = sys.argv[1], sys.argv[2]
if cmd == "make":
    version, enc, padding = int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
    t = ID3()
    t.add(TIT2(encoding=enc, text="Old title"))
    t.add(TPE1(encoding=enc, text="Old artist"))
    t.add(TALB(encoding=enc, text="Old album"))
    t.add(TRCK(encoding=enc, text="3/12"))
    t.add(TCON(encoding=enc, text="Jazz"))
    t.add(COMM(encoding=enc, lang="deu", desc="Notiz", text="old note"))
    t.add(APIC(encoding=0, mime="image/png", type=3, desc="cover", data=bytes(range(256)) * 40))
    t.add(PRIV(owner="kaz.test", data=b"\x00\x01private"))
    t.add(TXXX(encoding=enc, desc="MOOD", text="calm"))
    t.save(path, v1=0, v2_version=version, padding=lambda info: padding)
else:
    t = ID3(path)
    out = {"version": t.version[1], "size": t.size}
    for frame in t.values():
        key = frame.HashKey
        if key.startswith("PRIV"):
            key = "PRIV:" + frame.owner
        if key.startswith("APIC") or key.startswith("PRIV"):
            out[key] = hashlib.sha256(frame.data).hexdigest()
        elif key.startswith("COMM"):
            out[key] = [frame.lang, frame.desc, str(frame.text[0]), int(frame.encoding)]
        else:
            out[key] = [str(x) for x in frame.text] + [int(frame.encoding)]
    print(json.dumps(out))
)";

bool haveMutagen()
{
    return QProcess::execute(QStringLiteral("/usr/bin/python3"), {"-c", "import mutagen"}) == 0;
}

QJsonObject mutagen(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{"-c", kMutagen} + arguments);
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

// A file of audio with a mutagen-made tag.
QString makeFile(const QString &path, const QByteArray &audio, int version, int encoding, int padding)
{
    writeAll(path, audio);
    mutagen({"make", path, QString::number(version), QString::number(encoding), QString::number(padding)});
    return path;
}

qint64 tagSizeOf(const QString &path)
{
    return id3v2::tagSize(readAll(path).left(10)).value_or(0);
}

// The audio stands right behind the file's ID3v2 tag, byte for byte.
::testing::AssertionResult audioKept(const QString &path, const QByteArray &audio)
{
    const QByteArray bytes = readAll(path);
    if (bytes.mid(tagSizeOf(path), audio.size()) == audio)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the audio of " << qPrintable(path) << " changed";
}

struct Id3v2FileWrite : HomeTest {
    void SetUp() override
    {
        if (!haveMutagen())
            GTEST_SKIP() << "python3-mutagen is not installed";
        QDir().mkpath(dir);
    }
    QString file(const QString &name) const { return dir + QLatin1Char('/') + name; }
    const QByteArray audio = mp3Frames(40);
};

} // namespace

TEST_F(Id3v2FileWrite, MutagenReadsEveryValueWholeAndEveryOtherFrameUnchanged)
{
    const QString title = QStringLiteral("Ein Titel, der länger ist als dreißig Zeichen — 東京");
    struct Case {
        int version, encoding, padding;
    };
    QList<Case> cases;
    for (int padding : {1024, 0}) { // in place, and written anew
        for (int encoding : {0, 1})
            cases.append({3, encoding, padding});
        for (int encoding : {0, 1, 2, 3})
            cases.append({4, encoding, padding});
    }
    QStringList files;
    for (const Case &c : cases)
        files << makeFile(file(QStringLiteral("v%1-e%2-p%3.mp3").arg(c.version).arg(c.encoding).arg(c.padding)), audio,
                          c.version, c.encoding, c.padding);
    QMap<QString, QJsonObject> before;
    QMap<QString, ino_t> inodes;
    for (const QString &f : files) {
        before[f] = mutagen({"read", f});
        struct stat st {};
        ::stat(QFile::encodeName(f).constData(), &st);
        inodes[f] = st.st_ino;
    }
    const CliResult run = runCli(QStringList{"tag", "set", "--title", title, "--comment", "new note", "--year", "2024",
                                             "--track", "5", "--id3v2-write", "update"}
                                 + files);
    ASSERT_TRUE(endedWith(run, 0));
    for (qsizetype i = 0; i < cases.size(); ++i) {
        const Case c = cases[i];
        const QString &f = files[i];
        SCOPED_TRACE(qPrintable(f));
        const QJsonObject after = mutagen({"read", f});
        EXPECT_EQ(after["version"].toInt(), c.version);
        EXPECT_EQ(after["TIT2"].toArray().first().toString(), title);
        EXPECT_EQ(after["TRCK"].toArray().first().toString(), QStringLiteral("5"));
        // mutagen reads a 2.3 year as a 2.4 recording time.
        EXPECT_EQ(after["TDRC"].toArray().first().toString(), QStringLiteral("2024"));
        const QJsonArray comment = after["COMM:Notiz:deu"].toArray();
        ASSERT_EQ(comment.size(), 4);
        EXPECT_EQ(comment[2].toString(), QStringLiteral("new note"));
        // A Latin-1 title frame could not hold the title.
        const int titleEncoding = after["TIT2"].toArray().last().toInt();
        EXPECT_EQ(titleEncoding, c.encoding != 0 ? c.encoding : c.version == 3 ? 1 : 3);
        // Unwritten fields and other frames as they were.
        for (const char *key : {"TPE1", "TALB", "TCON", "APIC:cover", "PRIV:kaz.test", "TXXX:MOOD"})
            EXPECT_EQ(after[key], before[f][key]) << key;
        EXPECT_TRUE(audioKept(f, audio));
        struct stat st {};
        ::stat(QFile::encodeName(f).constData(), &st);
        if (c.padding) {
            EXPECT_EQ(after["size"], before[f]["size"]) << "written in place";
            EXPECT_EQ(st.st_ino, inodes[f]);
        } else {
            EXPECT_GE(after["size"].toInt(), before[f]["size"].toInt() + 2000) << "padding for the next edit";
        }
    }
    EXPECT_EQ(entries(dir).size(), files.size()) << "a temporary file was left";

    // The ID3v1 tag got the values too.
    const CliResult show = runCli({"tag", "show", "--json", files.first()});
    EXPECT_TRUE(show.out.contains("2024"));
}

TEST_F(Id3v2FileWrite, TheModeDecidesWhichFilesGetAnId3v2Tag)
{
    const QString tagged = makeFile(file("tagged.mp3"), audio, 3, 0, 512);
    const QString plain = file("plain.mp3");
    writeAll(plain, audio);
    const QByteArray head = readAll(tagged).left(int(tagSizeOf(tagged)));

    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "Off", "--id3v2-write", "off", tagged, plain}), 0));
    EXPECT_EQ(readAll(tagged).left(head.size()), head);
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "Update", tagged, plain}), 0)); // the default
    EXPECT_EQ(mutagen({"read", tagged})["TIT2"].toArray().first().toString(), QStringLiteral("Update"));
    EXPECT_FALSE(readAll(plain).startsWith("ID3"));
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "Added", "--id3v2-write", "add", plain}), 0));
    const QJsonObject added = mutagen({"read", plain});
    EXPECT_EQ(added["version"].toInt(), 3);
    EXPECT_EQ(added["TIT2"].toArray().first().toString(), QStringLiteral("Added"));
    EXPECT_TRUE(audioKept(plain, audio));

    // The setting is the default; a wrong word is a usage error.
    ASSERT_TRUE(endedWith(runCli({"config", "set", "ID3v2Write", "off"}), 0));
    const QByteArray now = readAll(plain).left(int(tagSizeOf(plain)));
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "Setting", plain}), 0));
    EXPECT_EQ(readAll(plain).left(now.size()), now);
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--title", "x", "--id3v2-write", "on", plain}), 2));
}

TEST_F(Id3v2FileWrite, LinksAndPermissionsAreRespected)
{
    // Several hard links: in place when the tag fits, else only the end.
    const QString padded = makeFile(file("padded.mp3"), audio, 3, 0, 1024);
    const QString tight = makeFile(file("tight.mp3"), audio, 3, 0, 0);
    ASSERT_EQ(::link(QFile::encodeName(padded).constData(), QFile::encodeName(file("padded-link.mp3")).constData()), 0);
    ASSERT_EQ(::link(QFile::encodeName(tight).constData(), QFile::encodeName(file("tight-link.mp3")).constData()), 0);
    const QByteArray tightHead = readAll(tight).left(int(tagSizeOf(tight)));
    const CliResult linked = runCli({"tag", "set", "--title", "Linked, with a title that makes the tag grow", padded, tight});
    EXPECT_TRUE(endedWith(linked, 1, "hard links"));
    EXPECT_TRUE(linked.err.contains("tight.mp3"));
    EXPECT_TRUE(mutagen({"read", file("padded-link.mp3")})["TIT2"].toArray().first().toString().startsWith("Linked"));
    EXPECT_EQ(readAll(file("tight-link.mp3")).left(tightHead.size()), tightHead);
    EXPECT_EQ(readAll(tight), readAll(file("tight-link.mp3")));
    EXPECT_TRUE(readAll(tight).right(128).contains("Linked")) << "the ID3v1 tag is still written";

    // A symbolic link is not written through.
    const QString target = makeFile(file("target.mp3"), audio, 3, 0, 0);
    const QByteArray targetBytes = readAll(target);
    ASSERT_EQ(::symlink("target.mp3", QFile::encodeName(file("link.mp3")).constData()), 0);
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--title", "Through", file("link.mp3")}), 1));
    EXPECT_EQ(readAll(target), targetBytes);

    // A read-only file written anew keeps its mode.
    const QString readOnly = makeFile(file("readonly.mp3"), audio, 4, 3, 0);
    ::chmod(QFile::encodeName(readOnly).constData(), 0444);
    ASSERT_TRUE(endedWith(runCli({"tag", "set", "--title", "A much longer title than before, surely", readOnly}), 0));
    struct stat st {};
    ::stat(QFile::encodeName(readOnly).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_TRUE(audioKept(readOnly, audio));

    // A folder without write permission: in place works, a growing tag is refused.
    const QString shut = home.file("shut");
    QDir().mkpath(shut);
    const QString inPlace = makeFile(shut + "/in-place.mp3", audio, 3, 1, 2048);
    const QString growing = makeFile(shut + "/growing.mp3", audio, 3, 1, 0);
    const QByteArray growingBytes = readAll(growing);
    ::chmod(QFile::encodeName(shut).constData(), 0555);
    if (::geteuid() != 0) { // root writes anyway
        const CliResult shutRun = runCli({"tag", "set", "--title", "Shut", inPlace, growing});
        EXPECT_TRUE(endedWith(shutRun, 1, "growing.mp3"));
        EXPECT_EQ(readAll(growing), growingBytes);
        EXPECT_EQ(mutagen({"read", inPlace})["TIT2"].toArray().first().toString(), QStringLiteral("Shut"));
    }
    ::chmod(QFile::encodeName(shut).constData(), 0755);
}

TEST_F(Id3v2FileWrite, AFullDiskLeavesTheFileAsItWas)
{
    SmallVolume volume(home.file("small"), 1024);
    if (!volume.isMounted())
        GTEST_SKIP() << "no tmpfs (needs root)";
    const QString song = makeFile(volume.path() + "/song.mp3", mp3Frames(400), 3, 0, 0);
    const QByteArray bytes = readAll(song);
    volume.fill();
    const CliResult run = runCli({"tag", "set", "--title", "A title that does not fit into the tag", song});
    EXPECT_TRUE(endedWith(run, 1, "song.mp3"));
    EXPECT_EQ(readAll(song), bytes);
    for (const QString &name : entries(volume.path()))
        EXPECT_FALSE(name.startsWith(QLatin1String(".kaz-tmp-"))) << qPrintable(name);
}
