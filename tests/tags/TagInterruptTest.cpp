// Tag writes are committed in groups. A run killed at any step of a batch
// leaves each file with its old trailer or its new one, once the next
// command has replayed the journal.
#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "tags/TagIO.h"

using namespace kaz;
using namespace kaz::test;

using TagInterrupt = HomeTest;

namespace {

// Untagged files, files with a Lyrics3 block and long titles: a short title
// makes such a trailer shrink, a long one makes it grow.
QStringList makeCollection(const QString &dir, int count, bool withLyrics = true)
{
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const DemoFile f{
            .relativePath = QStringLiteral("f%1.mp3").arg(i, 4, 10, QLatin1Char('0')), .tagged = i % 5 != 0,
            .values = values(QStringLiteral("A title that is longer than thirty characters %1").arg(i), "Band", "Album"),
            .extraLyrics3Fields = QList<QByteArray>(withLyrics, "LYR00480" + QByteArray(480, char('a' + i % 26))),
            .frames = 1 + i % 3};
        writeDemoFile(dir, f);
        files << dir + QLatin1Char('/') + f.relativePath;
    }
    return files;
}

// Kills "tag set --title TITLE" over the collection at every stride-th step.
TailKills killWrites(const QStringList &files, const QString &title, int stride)
{
    return killTailWritesAtEveryStep(QStringList{"tag", "set", "--title", title} + files, files, stride);
}

} // namespace

TEST_F(TagInterrupt, KilledAtEveryStepOfABatchEachFileIsOldOrNew)
{
    const QStringList files = makeCollection(home.music(), 6);
    for (const QString &title : {QStringLiteral("Short"), QString(200, QLatin1Char('x'))}) {
        SCOPED_TRACE(title.size());
        const TailKills count = killWrites(files, title, 1);
        // The journal, a step before and after each file's write, the drop.
        EXPECT_GE(count.kills, 2 * files.size()) << "the kills missed steps of the batch";
        // One batch: the journal brings every file back until it is dropped.
        EXPECT_EQ(count.mixed, 0);
    }

    // A file named twice is written from its first write.
    const QString file = files.first();
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--title", QString(60, 'L'), file, files[1], file}), 0));
    const TagRecord tag = readTag(file, {});
    EXPECT_EQ(tag.longTitle, QString(60, QLatin1Char('L')));
    // Exactly one trailer behind the audio.
    EXPECT_EQ(readAll(file).size(), mp3Frames(1).size() + 128 + tag.lyrics3Size); // the first file has one frame
}

TEST_F(TagInterrupt, BatchesOfALongRunCommitOneAfterTheOther)
{
    // More files than one batch holds: a kill in the second batch leaves the
    // first one written.
    const TailKills count = killWrites(makeCollection(home.music(), 600, false), "New", 151);
    EXPECT_GE(count.kills, 7);
    EXPECT_GT(count.mixed, 0) << "no kill left a committed batch beside an undone one";
}
