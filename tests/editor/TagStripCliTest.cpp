// kaz-cli tag strip, run as a user would.
#include "EditorFixtures.h"

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
