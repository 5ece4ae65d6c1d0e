// Tag writes are committed in groups. A run killed at any step of a batch
// leaves each file with its old trailer or its new one, once the next
// command has replayed the journal.
#include "support/KillAtStep.h"
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "tags/TagIO.h"

#include <QDir>

using namespace kaz;
using namespace kaz::test;

namespace {

using Snapshot = QMap<QString, QByteArray>;

struct Collection {
    QStringList files;
    Snapshot audio;
};

// Untagged files, files with a Lyrics3 block and long titles: a short title
// makes such a trailer shrink, a long one makes it grow.
Collection makeCollection(const QString &dir, int count, bool withLyrics = true)
{
    Collection c;
    for (int i = 0; i < count; ++i) {
        DemoFile f;
        f.relativePath = QStringLiteral("f%1.mp3").arg(i, 4, 10, QLatin1Char('0'));
        f.frames = 1 + i % 3;
        f.tagged = i % 5 != 0;
        f.values = values(QStringLiteral("A title that is longer than thirty characters %1").arg(i), "Band", "Album");
        if (withLyrics)
            f.extraLyrics3Fields = {"LYR00480" + QByteArray(480, char('a' + i % 26))};
        writeDemoFile(dir, f);
        c.files << dir + QLatin1Char('/') + f.relativePath;
        c.audio.insert(c.files.last(), mp3Frames(f.frames));
    }
    return c;
}

QStringList journals()
{
    return QDir(programFolder()).entryList({"tailwrite-*"}, QDir::Files);
}

struct KillCount {
    int kills = 0;
    int mixed = 0; // replays after which some files were new and some old
};

// Kills "tag set --title TITLE" at every stride-th step; after each kill the
// next command replays the journal, and then each file must hold exactly its
// old bytes or those of a completed write.
KillCount killWrites(const Collection &c, const QString &title, int stride)
{
    const Snapshot old = contentsOf(c.files);
    const QStringList arguments = QStringList{"tag", "set", "--title", title} + c.files;
    EXPECT_EQ(runCli(arguments).exitCode, 0);
    const Snapshot done = contentsOf(c.files);
    KillCount count;
    count.kills = killAtEveryStep(
        arguments, "tail", [&] { restoreContents(old); },
        [&](int n) {
            const CliResult show = runCli({"tag", "show", c.files.first()});
            EXPECT_EQ(show.exitCode, 0) << show.err.constData();
            EXPECT_TRUE(journals().isEmpty()) << "step " << n;
            int changed = 0;
            for (const QString &f : c.files) {
                const QByteArray now = readAll(f);
                ASSERT_TRUE(now.startsWith(c.audio[f])) << qPrintable(f) << " step " << n;
                ASSERT_TRUE(now == old[f] || now == done[f]) << qPrintable(f) << " step " << n;
                changed += now != old[f];
            }
            count.mixed += changed > 0 && changed < c.files.size();
        },
        stride);
    restoreContents(old);
    return count;
}

} // namespace

TEST(TagInterrupt, KilledAtEveryStepOfABatchEachFileIsOldOrNew)
{
    TempHome home;
    const Collection c = makeCollection(home.music(), 6);
    for (const QString &title : {"Short", QString(200, QLatin1Char('x'))}) {
        SCOPED_TRACE(title.size());
        const KillCount count = killWrites(c, title, 1);
        // The journal, a step before and after each file's write, the drop.
        EXPECT_GE(count.kills, 2 * c.files.size()) << "the kills missed steps of the batch";
        // One batch: the journal brings every file back until it is dropped.
        EXPECT_EQ(count.mixed, 0);
    }
}

TEST(TagInterrupt, BatchesOfALongRunCommitOneAfterTheOther)
{
    TempHome home;
    // More files than one batch holds: a kill in the second batch leaves the
    // first one written.
    const Collection c = makeCollection(home.music(), 600, false);
    const KillCount count = killWrites(c, "New", 151);
    EXPECT_GE(count.kills, 7);
    EXPECT_GT(count.mixed, 0) << "no kill left a committed batch beside an undone one";
}

TEST(TagInterrupt, AFileNamedTwiceIsWrittenFromItsFirstWrite)
{
    TempHome home;
    const Collection c = makeCollection(home.music(), 2);
    const QString file = c.files.first();
    const CliResult r = runCli({"tag", "set", "--title", QString(60, 'L'), file, c.files.last(), file});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    const TagRecord tag = readTag(file, {});
    EXPECT_EQ(tag.longTitle, QString(60, QLatin1Char('L')));
    // Exactly one trailer behind the audio.
    EXPECT_EQ(readAll(file).size(), c.audio[file].size() + 128 + tag.lyrics3Size);
}
