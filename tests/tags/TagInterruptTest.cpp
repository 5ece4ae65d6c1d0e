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

struct Collection { QStringList files; QMap<QString, QByteArray> audio; };

// Untagged files, files with a Lyrics3 block and long titles: a short title
// makes such a trailer shrink, a long one makes it grow.
Collection makeCollection(const QString &dir, int count, bool withLyrics = true)
{
    Collection c;
    for (int i = 0; i < count; ++i) {
        const DemoFile f{
            .relativePath = QStringLiteral("f%1.mp3").arg(i, 4, 10, QLatin1Char('0')), .tagged = i % 5 != 0,
            .values = values(QStringLiteral("A title that is longer than thirty characters %1").arg(i), "Band", "Album"),
            .extraLyrics3Fields = QList<QByteArray>(withLyrics, "LYR00480" + QByteArray(480, char('a' + i % 26))),
            .frames = 1 + i % 3};
        writeDemoFile(dir, f);
        c.files << dir + QLatin1Char('/') + f.relativePath;
        c.audio.insert(c.files.last(), mp3Frames(f.frames));
    }
    return c;
}

// Kills "tag set --title TITLE" over the collection at every stride-th step.
TailKills killWrites(const Collection &c, const QString &title, int stride)
{
    return killTailWritesAtEveryStep(QStringList{"tag", "set", "--title", title} + c.files, c.files, stride);
}

} // namespace

TEST_F(TagInterrupt, KilledAtEveryStepOfABatchEachFileIsOldOrNew)
{
    const Collection c = makeCollection(home.music(), 6);
    for (const QString &title : {QStringLiteral("Short"), QString(200, QLatin1Char('x'))}) {
        SCOPED_TRACE(title.size());
        const TailKills count = killWrites(c, title, 1);
        // The journal, a step before and after each file's write, the drop.
        EXPECT_GE(count.kills, 2 * c.files.size()) << "the kills missed steps of the batch";
        // One batch: the journal brings every file back until it is dropped.
        EXPECT_EQ(count.mixed, 0);
    }
}

TEST_F(TagInterrupt, BatchesOfALongRunCommitOneAfterTheOther)
{
    // More files than one batch holds: a kill in the second batch leaves the
    // first one written.
    const Collection c = makeCollection(home.music(), 600, false);
    const TailKills count = killWrites(c, "New", 151);
    EXPECT_GE(count.kills, 7);
    EXPECT_GT(count.mixed, 0) << "no kill left a committed batch beside an undone one";
}

TEST_F(TagInterrupt, AFileNamedTwiceIsWrittenFromItsFirstWrite)
{
    const Collection c = makeCollection(home.music(), 2);
    const QString file = c.files.first();
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--title", QString(60, 'L'), file, c.files.last(), file}), 0));
    const TagRecord tag = readTag(file, {});
    EXPECT_EQ(tag.longTitle, QString(60, QLatin1Char('L')));
    // Exactly one trailer behind the audio.
    EXPECT_EQ(readAll(file).size(), c.audio[file].size() + 128 + tag.lyrics3Size);
}
