// A run that writes ID3v2 tags, killed at every step: in place under the
// journal and written anew under a hidden name, each file ends old or new.
#include "support/Id3v2Fixture.h"
#include "support/KillAtStep.h"
#include "support/SmallVolume.h"
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "tags/DemoCollection.h"

#include <QDir>

using namespace kaz;
using namespace kaz::test;

namespace {

using Id3v2Kill = HomeTest;

// Files whose ID3v2 tag has room (even numbers) or has none (odd numbers).
QStringList makeFiles(const QString &dir, int count)
{
    QDir().mkpath(dir);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        Id3v2Spec spec;
        spec.version = 3 + i % 2;
        spec.encoding = Id3v2Spec::Latin1;
        spec.padding = i % 2 ? 0 : 1500;
        spec.frames = {{"TIT2", QStringLiteral("Old %1").arg(i)}, {"COMM", QStringLiteral("old")}};
        files << putFile(dir, QStringLiteral("f%1.mp3").arg(i),
                         id3v2Tag(spec) + mp3WithTag(values(QStringLiteral("Old %1").arg(i), "Band"), 2 + i));
    }
    return files;
}

// Kills the command at every "head" step; after each kill the next command
// replays, and each file must be old or new, with no work file left.
int killEveryStep(const QStringList &arguments, const QStringList &files, const QString &dir)
{
    const QMap<QString, QByteArray> old = contentsOf(files);
    const qsizetype present = entries(dir).size();
    EXPECT_TRUE(endedWith(runCli(arguments), 0));
    const QMap<QString, QByteArray> done = contentsOf(files);
    for (const QString &f : files)
        EXPECT_NE(done[f], old[f]) << qPrintable(f);
    const int kills = killAtEveryStep(
        arguments, QStringLiteral("head"), [&] { restoreContents(old); },
        [&](int n) {
            EXPECT_TRUE(endedWith(runCli({"tag", "show", files.first()}), 0));
            EXPECT_TRUE(QDir(programFolder()).entryList({"headwrite-*"}, QDir::Files).isEmpty()) << "step " << n;
            EXPECT_EQ(entries(dir).size(), present) << "a temporary file is left after step " << n;
            for (const QString &f : files) {
                const QByteArray now = readAll(f);
                ASSERT_TRUE(now == old[f] || now == done[f]) << qPrintable(f) << " step " << n;
            }
        });
    restoreContents(old);
    return kills;
}

} // namespace

TEST_F(Id3v2Kill, KilledAtEveryStepEachFileIsOldOrNew)
{
    const QString title = QStringLiteral("A new title well over thirty characters long");
    // One file in place, one written anew, and a batch of both.
    const QStringList files = makeFiles(dir, 6);
    EXPECT_GE(killEveryStep({"tag", "set", "--title", title, files[0]}, {files[0]}, dir), 3);
    EXPECT_GE(killEveryStep({"tag", "set", "--title", title, files[1]}, {files[1]}, dir), 4);
    EXPECT_GE(killEveryStep(QStringList{"tag", "set", "--title", title} + files, files, dir), 3 * files.size());
}

TEST_F(Id3v2Kill, KilledAtRandomMomentsOfALargeRunNoFileIsDamaged)
{
    // Files of a megabyte whose tags must grow, killed at random moments.
    const QStringList files = [&] {
        QDir().mkpath(dir);
        QStringList made;
        for (int i = 0; i < 40; ++i) {
            Id3v2Spec spec;
            spec.frames = {{"TIT2", QStringLiteral("Old")}};
            made << putFile(dir, QStringLiteral("big%1.mp3").arg(i), id3v2Tag(spec) + mp3Frames(2400));
        }
        return made;
    }();
    const QMap<QString, QByteArray> old = contentsOf(files);
    const QStringList arguments = QStringList{"tag", "set", "--title", "A title that makes every tag grow"} + files;
    ASSERT_TRUE(endedWith(runCli(arguments), 0));
    const QMap<QString, QByteArray> done = contentsOf(files);
    const quint32 seed = testSeed();
    for (int round = 0; round < 6; ++round) {
        restoreContents(old);
        runCliKilledAfter(arguments, 20 + qint64((seed + round * 37) % 200));
        EXPECT_TRUE(endedWith(runCli({"tag", "show", files.first()}), 0));
        for (const QString &f : files)
            ASSERT_TRUE(readAll(f) == old[f] || readAll(f) == done[f]) << qPrintable(f) << " seed " << seed;
        EXPECT_EQ(entries(dir).size(), files.size());
    }
    restoreContents(old);
}
