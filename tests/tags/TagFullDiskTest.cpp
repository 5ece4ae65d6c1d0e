// Tag writes on a full file system change nothing: the room is claimed
// before the first byte is overwritten. Needs root for a small tmpfs.
#include "support/SmallVolume.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

using TagFullDisk = HomeTest;

// Files that end on a page boundary: any longer trailer needs a new page.
// The program folder on the full disk as well refuses even a trailer that
// would fit, as its journal has no room.
TEST_F(TagFullDisk, NothingChangesWhenTheNewTrailerOrItsJournalHasNoRoom)
{
    const QString small = home.path() + "/small";
    SmallVolume disk(small, 256);
    if (!disk.isMounted())
        GTEST_SKIP() << "needs root to mount a small tmpfs; full-disk tag writes not tested";
    const QByteArray tag = mp3WithTag(values("Old title", "Band", "Album"), 1);
    const QString plain = putFile(small, "plain.mp3", QByteArray(8192 - tag.size(), '\x11') + tag);
    DemoFile f;
    f.values = values(QString(40, QLatin1Char('t')), "Band");
    f.frames = 1;
    const QByteArray bytes = demoFileBytes(f);
    const QString withBlock = putFile(small, "block.mp3", QByteArray(8192 - bytes.size(), '\x11') + bytes);
    const QString elsewhere = putTagged(dir, "a.mp3", values("Old title", "Band"));
    QDir().mkpath(small + "/kaz");
    disk.fill();
    const QMap<QString, QByteArray> before = contentsOf({plain, withBlock, elsewhere});

    CliResult r = runCli({"tag", "set", "--title", QString(45, 'L'), plain, withBlock});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(r.err).count("No space left"), 2) << r.err.constData();
    EXPECT_EQ(contentsOf({plain, withBlock, elsewhere}), before);

    const QByteArray oldData = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(small));
    r = runCli({"tag", "set", "--title", QString(45, 'L'), elsewhere});
    qputenv("XDG_DATA_HOME", oldData);
    EXPECT_TRUE(endedWith(r, 1, "No space left"));
    EXPECT_EQ(readAll(elsewhere), before[elsewhere]);

    // A trailer that does not grow needs no room.
    EXPECT_EQ(runCli({"tag", "set", "--title", "New", plain}).exitCode, 0);
    EXPECT_EQ(readAll(plain).left(8192 - 128), before[plain].left(8192 - 128));
}
