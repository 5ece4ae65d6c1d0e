// kaz-cli tag strip, run as a user would.
#include "EditorFixtures.h"
#include "support/Terminal.h"

#include "tags/TagIO.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>

using namespace kaz;
using namespace kaz::test;

using TagStripCli = HomeTest;

TEST_F(TagStripCli, StripsTagsAndBlocksLeavesUntaggedAndReportsWhatFailed)
{
    // What goes with the tag is the editor's strip rule (TagEditorModelTest).
    const QString plain = putSong(dir, "plain.mp3", values("T", "A"));
    const QString bare = putSong(dir, "bare.mp3", {}, false);
    const QString readOnly = putSong(dir, "ro.mp3", values("T", "A"));
    const QByteArray readOnlyBytes = readAll(readOnly);
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    const QString missing = dir + "/missing.mp3";

    const CliResult r = runCli({"tag", "strip", plain, readOnly, missing, bare});
    EXPECT_EQ(r.exitCode, 1) << r.err.constData();
    for (const QString &f : {plain, bare})
        EXPECT_EQ(readAll(f), mp3Frames(3)) << f.toStdString();
    EXPECT_TRUE(QString::fromUtf8(r.out).contains("no tag: " + bare));
    EXPECT_TRUE(QString::fromUtf8(r.out).contains("stripped " + plain + " (128 bytes)"));
    EXPECT_TRUE(r.err.contains("ro.mp3")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("missing.mp3")) << r.err.constData();
    EXPECT_EQ(readAll(readOnly), readOnlyBytes);
    EXPECT_FALSE(QFileInfo(readOnly).permissions() & QFileDevice::WriteOwner);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner);

    // Nothing left to strip: exit 0, files unchanged.
    const CliResult again = runCli({"tag", "strip", "--json", plain, bare});
    EXPECT_EQ(again.exitCode, 0);
    const QList<QJsonObject> lines = jsonLines(again.out);
    ASSERT_EQ(lines.size(), 2);
    const QJsonObject o = lines[0];
    EXPECT_FALSE(o["stripped"].toBool());
    EXPECT_EQ(o["removed"].toInt(), 0);

    EXPECT_EQ(runCli({"tag", "strip"}).exitCode, 2);
}

TEST_F(TagStripCli, ManyFilesAreStrippedInGroupsReportedInTheirOrderWithAProgressBarOnATerminal)
{
    // More files than one group takes, a read-only one and a missing one among them.
    QStringList files;
    for (int i = 0; i < 700; ++i)
        files << putSong(dir, QStringLiteral("%1.mp3").arg(i, 3, 10, QLatin1Char('0')), values("T", "A"), i % 5 != 0);
    QFile::setPermissions(files[300], QFile::ReadOwner);
    const QByteArray readOnlyBytes = readAll(files[300]);
    files.insert(400, dir + "/missing.mp3");

    const CliResult r = runCli(QStringList{"tag", "strip", "--json"} + files);
    EXPECT_EQ(r.exitCode, 1) << r.err.constData();
    const QList<QJsonObject> lines = jsonLines(r.out);
    ASSERT_EQ(lines.size(), files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &file = files[i];
        EXPECT_EQ(lines[i]["file"].toString(), file);
        const bool fails = i == 300 || i == 400;
        EXPECT_EQ(lines[i]["error"].toString().isEmpty(), !fails) << file.toStdString();
        if (!fails) {
            EXPECT_EQ(readAll(file), mp3Frames(3)) << file.toStdString();
        }
    }
    EXPECT_EQ(readAll(files[300]), readOnlyBytes);
    QFile::setPermissions(files[300], QFile::ReadOwner | QFile::WriteOwner);

    // On a terminal a progress bar runs and ends its line before the next output.
    const QString again = putSong(dir, "again.mp3", values("T", "A"));
    const CliResult shown = runCliOnTerminal({"tag", "strip", "--lang", "en", again, dir + "/gone.mp3"});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_TRUE(shown.out.contains("strip [")) << shown.out.constData();
    EXPECT_TRUE(shown.out.contains("(2/2)\nstripped ")) << shown.out.constData();
    EXPECT_TRUE(shown.out.contains("(128 bytes)\nkaz-cli tag strip: cannot strip")) << shown.out.constData();
    EXPECT_EQ(readAll(again), mp3Frames(3));
}
