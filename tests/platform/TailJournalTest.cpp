// Interrupted file-end replacements are put back from their journal.
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "platform/TailJournal.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

using TailJournal = HomeTest;

namespace {

const QByteArray kAudio = QByteArray(4000, '\x33');
const QByteArray kOldEnd = "LYRICSBEGIN" + QByteArray(500, 'L') + "000511LYRICS200" + QByteArray(128, 'T');
const QByteArray kNewEnd = QByteArray(128, 'N');

// The journal entry of a write of newEnd over the old end; one of an earlier
// version (without the hashes of the new end) with hashed false.
TailJournalEntry entryFor(const QString &path, const QByteArray &newEnd = kNewEnd, bool hashed = true)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    TailJournalEntry entry{QFile::encodeName(path), st.st_dev, st.st_ino, kAudio.size(), kAudio.size() + kOldEnd.size(),
                           kAudio.size() + newEnd.size(), kOldEnd, {}, {}};
    if (hashed)
        entry.hashNewTail(newEnd);
    return entry;
}

// Files of the names in the folder, each with the old end, and their journal entries.
QList<TailJournalEntry> filesWithOldEnds(const QString &dir, const QStringList &names)
{
    QList<TailJournalEntry> entries;
    for (const QString &name : names)
        entries << entryFor(putFile(dir, name, kAudio + kOldEnd));
    return entries;
}

QString journalPath(int n)
{
    QDir().mkpath(programFolder());
    return programFolder() + QStringLiteral("/tailwrite-1-%1.kaz").arg(n);
}

QStringList journals()
{
    return QDir(programFolder()).entryList({"tailwrite-*"}, QDir::Files);
}

} // namespace

TEST_F(TailJournal, ABatchJournalIsWholeOrNothingAndFinishedWritesLeaveNone)
{
    const QList<TailJournalEntry> entries = filesWithOldEnds(dir, {"a.mp3", "b.mp3", "c.mp3"});
    const QByteArray bytes = renderTailJournal(entries);
    const std::optional<QList<TailJournalEntry>> back = parseTailJournal(bytes);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 3);
    EXPECT_EQ(back->at(2).path, entries[2].path);
    EXPECT_EQ(back->at(1).oldTail, kOldEnd);
    // Cut anywhere, even between two entries, or with more behind it: a
    // journal a kill cut off before its flush, when no file was touched.
    const qsizetype thirdStarts = bytes.lastIndexOf("KAZTAIL2");
    for (qsizetype cut : {qsizetype(10), bytes.size() / 2, thirdStarts, bytes.size() - 1})
        EXPECT_FALSE(parseTailJournal(bytes.left(cut))) << cut;
    EXPECT_FALSE(parseTailJournal(bytes + entries[0].render()));
    // The journal of one write that earlier versions left, whole and damaged.
    const QByteArray one = entryFor(QFile::decodeName(entries[0].path), kNewEnd, false).render();
    const std::optional<QList<TailJournalEntry>> single = parseTailJournal(one);
    ASSERT_TRUE(single);
    ASSERT_EQ(single->size(), 1);
    EXPECT_EQ(single->at(0).newSize, entries[0].newSize);
    for (qsizetype cut : {qsizetype(0), qsizetype(5), one.size() - 1})
        EXPECT_FALSE(TailJournalEntry::parse(one.left(cut))) << cut;
    QByteArray flipped = one;
    flipped[one.indexOf('\n') + 3] = 'x';
    EXPECT_FALSE(TailJournalEntry::parse(flipped));

    // Finished writes leave no journal.
    const QString path = putFile(home.music(), "a.mp3", kAudio + kOldEnd);
    ASSERT_TRUE(replaceFileEnd(path, kAudio.size(), kNewEnd).ok());
    ASSERT_TRUE(replaceFileEnd(path, kAudio.size(), kOldEnd).ok());
    EXPECT_EQ(readAll(path), kAudio + kOldEnd);
    EXPECT_TRUE(journals().isEmpty());
    // A program folder that cannot take the journal refuses the write.
    ::chmod(QFile::encodeName(programFolder()).constData(), 0500);
    if (::geteuid() != 0) { // root writes anyway
        EXPECT_FALSE(replaceFileEnd(path, kAudio.size(), kNewEnd).ok());
        EXPECT_EQ(readAll(path), kAudio + kOldEnd);
    }
    ::chmod(QFile::encodeName(programFolder()).constData(), 0700);
}

// Killed after the first file got its new end, while the second got it, and
// before the third: every file gets its old end back.
TEST_F(TailJournal, AKilledBatchPutsBackTheOldEndsJournalsThatDoNotFitOrAreInUseDoNot)
{
    const QList<TailJournalEntry> entries = filesWithOldEnds(dir, {"a.mp3", "b.mp3", "c.mp3"});
    QStringList paths;
    for (const TailJournalEntry &e : entries)
        paths << QFile::decodeName(e.path);
    writeAll(paths[0], kAudio + kNewEnd);
    writeAll(paths[1], kAudio + kNewEnd + kOldEnd.mid(kNewEnd.size()));
    writeAll(journalPath(1), renderTailJournal(entries));
    QStringList problems;
    EXPECT_EQ(recoverInterruptedTailWrites(&problems), 2);
    EXPECT_TRUE(problems.isEmpty()) << problems.join(QLatin1Char(' ')).toStdString();
    for (const QString &path : paths)
        EXPECT_EQ(readAll(path), kAudio + kOldEnd) << qPrintable(path);
    EXPECT_TRUE(journals().isEmpty());

    // Journals that do not fit the file are dropped without touching it.
    const QString path = putFile(home.music(), "a.mp3", kAudio + kOldEnd);
    // Cut off by a kill before the file was touched.
    writeAll(journalPath(1), entryFor(path).render().chopped(10));
    // The file was replaced by another one since.
    writeAll(journalPath(2), entryFor(path).render());
    const QString other = putFile(home.music(), "b.mp3", "someone else's file");
    QFile::remove(path);
    QFile::rename(other, path);
    problems.clear();
    EXPECT_EQ(recoverInterruptedTailWrites(&problems), 0);
    EXPECT_EQ(readAll(path), "someone else's file");
    EXPECT_EQ(problems.size(), 1);
    EXPECT_TRUE(journals().isEmpty());

    // The journal of a writer that still runs is left alone.
    writeAll(path, kAudio + kNewEnd);
    writeAll(journalPath(1), entryFor(path).render());
    const int fd = ::open(QFile::encodeName(journalPath(1)).constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(recoverInterruptedTailWrites(), 0);
    EXPECT_EQ(readAll(path), kAudio + kNewEnd);
    ::close(fd);
    EXPECT_EQ(recoverInterruptedTailWrites(), 1);
    EXPECT_EQ(readAll(path), kAudio + kOldEnd);
}

// A file gets its old end back only while it holds what the interrupted write
// left: the new end, the new end over the old one not yet cut, or the old end
// put back over a longer new one not yet cut. An edit made since by another
// program stays, and so does every file a journal of an earlier version
// (without the hashes of the new end) names, unless it holds its old end.
TEST_F(TailJournal, ARecoveryPutsBackOnlyWhatTheWriteLeft)
{
    const QByteArray longEnd = kOldEnd + QByteArray(300, 'M');
    QByteArray edited = kNewEnd;
    edited[5] = 'E';
    struct Case {
        const char *name;
        QByteArray newEnd;
        QByteArray holds; // the file's end at the recovery
        bool hashed;
        bool putBack;
        bool reported;
    } cases[] = {
        {"new", kNewEnd, kNewEnd, true, true, false},
        {"uncut", kNewEnd, kNewEnd + kOldEnd.mid(kNewEnd.size()), true, true, false},
        {"longer", longEnd, longEnd, true, true, false},
        {"putback-uncut", longEnd, kOldEnd + longEnd.mid(kOldEnd.size()), true, true, false},
        {"untouched", kNewEnd, kOldEnd, true, false, false},
        {"edited", kNewEnd, edited, true, false, true},
        {"edited-uncut", kNewEnd, edited + kOldEnd.mid(kNewEnd.size()), true, false, true},
        {"cut-between", kNewEnd, kOldEnd.left(300), true, false, true},
        {"old-journal-new", kNewEnd, kNewEnd, false, false, true},
        {"old-journal-untouched", kNewEnd, kOldEnd, false, false, false},
    };
    QList<TailJournalEntry> entries;
    for (const Case &c : cases) {
        const QString path = putFile(dir, c.name, kAudio + kOldEnd);
        entries << entryFor(path, c.newEnd, c.hashed);
        writeAll(path, kAudio + c.holds);
    }
    writeAll(journalPath(1), renderTailJournal(entries));
    QStringList problems;
    recoverInterruptedTailWrites(&problems);
    for (const Case &c : cases) {
        EXPECT_EQ(readAll(dir + "/" + c.name), kAudio + (c.putBack ? kOldEnd : c.holds)) << c.name;
        EXPECT_EQ(problems.filter(QString("/") + c.name + ":").size(), c.reported ? 1 : 0) << c.name;
    }
    EXPECT_TRUE(journals().isEmpty());

    // A file cut and written anew at the same place, same inode and size.
    const QString path = putFile(dir, "again.mp3", kAudio + kNewEnd);
    writeAll(journalPath(1), entryFor(path).render().prepend("KAZTAILS 1\n"));
    writeAll(path, kAudio.left(100) + QByteArray(kAudio.size() - 100 + kNewEnd.size(), 'Z'));
    problems.clear();
    EXPECT_EQ(recoverInterruptedTailWrites(&problems), 0);
    EXPECT_EQ(readAll(path).right(10), QByteArray(10, 'Z'));
    EXPECT_EQ(problems.size(), 1);
}
