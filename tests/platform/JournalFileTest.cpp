// The journal files both file writers keep: locked while their writer lives,
// replayed and removed once it is gone, and their formats as earlier runs
// left them on the disk.
#include "support/TestSupport.h"

#include "platform/HeadWrite.h"
#include "platform/JournalFile.h"
#include "platform/Paths.h"
#include "platform/TailJournal.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

using JournalFiles = HomeTest;

constexpr const char *kPrefix = "testjournal-";

QString journalPath(const QString &name)
{
    QDir().mkpath(programFolder());
    return programFolder() + QLatin1Char('/') + QLatin1String(kPrefix) + name;
}

QStringList journals()
{
    return QDir(programFolder()).entryList({QLatin1String(kPrefix) + "*"}, QDir::Files | QDir::System);
}

// What the replay was handed, answering done.
QList<QByteArray> replayed(bool done, qint64 maxSize = 1024)
{
    QList<QByteArray> seen;
    replayLeftoverJournals(kPrefix, maxSize, [&](const QByteArray &contents) {
        seen << contents;
        return done;
    });
    return seen;
}

// An entry as the writers seal it, built by hand.
QByteArray sealed(const QByteArray &bytes)
{
    return bytes + QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + '\n';
}

} // namespace

TEST_F(JournalFiles, AJournalIsReplayedOnlyOnceItsWriterIsGone)
{
    {
        JournalFile journal(kPrefix, "test");
        ASSERT_EQ(journal.create("live"), 0);
        ASSERT_EQ(journals().size(), 1);
        EXPECT_EQ(readAll(programFolder() + '/' + journals()[0]), "live");
        // Its writer holds the lock: not a leftover.
        EXPECT_TRUE(replayed(true).isEmpty());
        EXPECT_EQ(journals().size(), 1);
        journal.remove();
        EXPECT_TRUE(journals().isEmpty());
        // A journal its writer keeps (a file it could not put back) stays.
        JournalFile kept(kPrefix, "test");
        ASSERT_EQ(kept.create("kept"), 0);
    }
    EXPECT_EQ(replayed(false), QList<QByteArray>{"kept"});
    EXPECT_EQ(journals().size(), 1); // not done with it: kept for the next start
    EXPECT_EQ(replayed(true), QList<QByteArray>{"kept"});
    EXPECT_TRUE(journals().isEmpty());

    // Not ours: too large, a link, a folder; all left alone.
    writeAll(journalPath("large.kaz"), QByteArray(2000, 'x'));
    const QString target = putFile(dir, "target.kaz", "not a journal");
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(journalPath("link.kaz")).constData()), 0);
    QDir().mkpath(journalPath("folder.kaz"));
    EXPECT_TRUE(replayed(true).isEmpty());
    EXPECT_EQ(readAll(target), "not a journal");
    EXPECT_TRUE(QFile::exists(journalPath("large.kaz")));
}

TEST_F(JournalFiles, JournalsOfEarlierRunsReadAndRenderByteForByte)
{
    // A head journal: one file changed in place at two places.
    const QByteArray headEntry = sealed("KAZHEAD1 7 42 30 33 2 " + QByteArray("/m/a.mp3").toHex() + " -\n"
                                        "5 3 3\noldnew"
                                        "20 10 13\n0123456789abcdefghijklm");
    const QByteArray head = "KAZHEADS 1\n" + headEntry;
    const std::optional<QList<HeadJournalEntry>> heads = parseHeadJournal(head);
    ASSERT_TRUE(heads);
    ASSERT_EQ(heads->size(), 1);
    const HeadJournalEntry &h = heads->at(0);
    EXPECT_EQ(h.path, "/m/a.mp3");
    EXPECT_EQ(h.device, 7u);
    EXPECT_EQ(h.inode, 42u);
    EXPECT_EQ(h.oldSize, 30);
    EXPECT_EQ(h.newSize, 33);
    EXPECT_TRUE(h.temporary.isEmpty());
    ASSERT_EQ(h.patches.size(), 2);
    EXPECT_EQ(h.patches[1].offset, 20);
    EXPECT_EQ(h.patches[1].oldBytes, "0123456789");
    EXPECT_EQ(h.patches[1].newBytes, "abcdefghijklm");
    EXPECT_EQ(renderHeadJournal(*heads), head);

    // A tail journal of two writes, one of them kept by an earlier version (no hashes).
    const QByteArray newHead(32, '\x11'), newRest(32, '\x22');
    const QByteArray hashed = sealed("KAZTAIL2 7 42 100 104 106 4 " + QByteArray("/m/b.mp3").toHex() + ' '
                                     + newHead.toHex() + ' ' + newRest.toHex() + "\nTAG!");
    const QByteArray unhashed = sealed("KAZTAIL1 7 43 10 12 11 2 " + QByteArray("/m/c.mp3").toHex() + "\nLY");
    const QByteArray tail = "KAZTAILS 2\n" + hashed + unhashed;
    const std::optional<QList<TailJournalEntry>> tails = parseTailJournal(tail);
    ASSERT_TRUE(tails);
    ASSERT_EQ(tails->size(), 2);
    EXPECT_EQ(tails->at(0).path, "/m/b.mp3");
    EXPECT_EQ(tails->at(0).offset, 100);
    EXPECT_EQ(tails->at(0).oldTail, "TAG!");
    EXPECT_EQ(tails->at(0).newRestHash, newRest);
    EXPECT_EQ(tails->at(1).inode, 43u);
    EXPECT_TRUE(tails->at(1).newHeadHash.isEmpty());
    EXPECT_EQ(renderTailJournal(*tails), tail);

    // One changed byte anywhere, or a count that does not match: nothing.
    for (const QByteArray &bad : {QByteArray(head).replace("old", "OLD"), QByteArray(head).replace("HEADS 1", "HEADS 2"),
                                  QByteArray(head).replace("HEADS 1", "HEADS -1")})
        EXPECT_FALSE(parseHeadJournal(bad)) << bad.left(40).constData();
    EXPECT_FALSE(parseTailJournal(QByteArray(tail).replace("TAG!", "TAG?")));
    EXPECT_FALSE(parseTailJournal(QByteArray(tail).replace("TAILS 2", "TAILS 1")));
}
