// The journal of writes at a file's start: a replay puts the old bytes back
// while every changed byte is still old or new, and never undoes what
// another program wrote since.
#include "support/TestSupport.h"

#include "platform/HeadWrite.h"
#include "platform/Paths.h"
#include "platform/WorkFiles.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

namespace {

using HeadJournal = HomeTest;

const QByteArray kOldHead = "HEAD-old-old-old";
const QByteArray kNewHead = "HEAD-new-NEW-new";
const QByteArray kAudio(3000, 'a');
const QByteArray kOldEnd = "TAG-old-end";
const QByteArray kNewEnd = "TAG-the-new-longer-end";

HeadJournalEntry entryFor(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    HeadJournalEntry e;
    e.path = QFile::encodeName(path);
    e.device = quint64(st.st_dev);
    e.inode = quint64(st.st_ino);
    e.oldSize = kOldHead.size() + kAudio.size() + kOldEnd.size();
    e.newSize = kOldHead.size() + kAudio.size() + kNewEnd.size();
    e.patches = {{5, kOldHead.mid(5), kNewHead.mid(5)}, {kOldHead.size() + kAudio.size(), kOldEnd, kNewEnd}};
    return e;
}

QString journalPath(int n)
{
    QDir().mkpath(programFolder());
    return programFolder() + QLatin1Char('/') + QLatin1String(workfile::HeadJournalPrefix)
           + QStringLiteral("999999-%1.kaz").arg(n);
}

} // namespace

TEST_F(HeadJournal, AReplayPutsBackWhatTheWriteLeftAndNothingElse)
{
    const QByteArray old = kOldHead + kAudio + kOldEnd;
    // What a kill can leave: nothing written, the start half written, all written.
    const QList<QByteArray> left{old, kNewHead.left(9) + kOldHead.mid(9) + kAudio + kOldEnd,
                                 kNewHead + kAudio + kNewEnd.left(5) + kOldEnd.mid(5), kNewHead + kAudio + kNewEnd};
    for (const QByteArray &now : left) {
        const QString path = putFile(dir, "a.mp3", now);
        writeAll(journalPath(1), renderHeadJournal({entryFor(path)}));
        QStringList problems;
        EXPECT_EQ(recoverInterruptedHeadWrites(&problems), 1);
        EXPECT_EQ(readAll(path), old);
        EXPECT_TRUE(problems.isEmpty());
        EXPECT_FALSE(QFile::exists(journalPath(1)));
    }

    // Changed by another program since: left as it is, and said.
    const QString path = putFile(dir, "a.mp3", kNewHead + kAudio + kNewEnd);
    const HeadJournalEntry entry = entryFor(path);
    writeAll(path, "HEAD-xxx-NEW-new" + kAudio + kNewEnd);
    writeAll(journalPath(1), renderHeadJournal({entry}));
    QStringList problems;
    EXPECT_EQ(recoverInterruptedHeadWrites(&problems), 0);
    EXPECT_EQ(readAll(path), "HEAD-xxx-NEW-new" + kAudio + kNewEnd);
    EXPECT_EQ(problems.size(), 1);

    // A journal cut off before its flush touched nothing; a rewrite's unfinished file goes.
    writeAll(path, kNewHead + kAudio + kNewEnd);
    writeAll(journalPath(2), renderHeadJournal({entry}).chopped(3));
    HeadJournalEntry rewrite;
    rewrite.path = QFile::encodeName(path);
    rewrite.temporary = QFile::encodeName(dir + "/.kaz-tmp-999999-0");
    writeAll(QFile::decodeName(rewrite.temporary), "half a file");
    writeAll(journalPath(3), renderHeadJournal({rewrite}));
    EXPECT_EQ(recoverInterruptedHeadWrites(), 0);
    EXPECT_EQ(readAll(path), kNewHead + kAudio + kNewEnd);
    EXPECT_EQ(namesIn(dir), QStringList{"a.mp3"});
    EXPECT_TRUE(QDir(programFolder()).entryList({"headwrite-*"}, QDir::Files).isEmpty());

    // The entry reads back as written.
    qsizetype length = 0;
    const QByteArray bytes = entry.render();
    const std::optional<HeadJournalEntry> back = HeadJournalEntry::parseFirst(bytes, &length);
    ASSERT_TRUE(back);
    EXPECT_EQ(length, bytes.size());
    EXPECT_EQ(back->patches.size(), 2);
    EXPECT_EQ(back->patches[1].newBytes, kNewEnd);
    EXPECT_FALSE(HeadJournalEntry::parseFirst(QByteArray(bytes).replace("old", "OLD"), &length));
}
