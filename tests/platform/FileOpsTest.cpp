// The file-safety layer on real files: nothing is ever replaced or lost.
#include "support/TestSupport.h"

#include "platform/FileOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

using FileOps = HomeTest;

namespace {

dev_t deviceOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_dev;
}

} // namespace

TEST_F(FileOps, RenameNeverReplacesReplaceFileEndKeepsWhatLiesInFront)
{
    const QString a = home.music() + "/a.mp3";
    const QString b = home.music() + "/b.mp3";
    writeAll(a, "first");
    writeAll(b, "second");

    EXPECT_EQ(renameNoReplace(a, b).outcome, FsStatus::TargetExists);
    EXPECT_EQ(readAll(a), "first");
    EXPECT_EQ(readAll(b), "second");

    EXPECT_TRUE(renameNoReplace(a, a).ok()); // its own name: done, nothing changes

    const QString upper = home.music() + "/A.mp3";
    EXPECT_TRUE(renameNoReplace(a, upper).ok()); // letter case alone
    EXPECT_EQ(readAll(upper), "first");
    EXPECT_FALSE(QFileInfo::exists(a));

    EXPECT_FALSE(renameNoReplace(a, home.music() + "/c.mp3").errorText().isEmpty());
    EXPECT_FALSE(renameNoReplace(upper, home.music() + "/no/such/folder/x.mp3").ok());
    EXPECT_EQ(readAll(upper), "first");

    // A copy that must not replace leaves whatever stands at the target, a
    // link included, and no temporary; one that may replaces the name, never
    // what a link points to.
    const QString outside = putFile(home.path(), "outside.mp3", "outside");
    const QString copies = home.music() + "/copies";
    for (const CopyMode mode : {CopyMode::NeverReplace, CopyMode::ReplaceExisting}) {
        const bool replace = mode == CopyMode::ReplaceExisting;
        ASSERT_TRUE(QDir(copies).removeRecursively());
        putFile(copies, "file.mp3", "old");
        putFile(copies, "empty.mp3", "");
        ASSERT_TRUE(QFile::link(outside, copies + "/link.mp3"));
        ASSERT_TRUE(QFile::link(home.path() + "/nowhere", copies + "/dangling.mp3"));
        for (const char *name : {"file.mp3", "empty.mp3", "link.mp3", "dangling.mp3"}) {
            const QString target = copies + '/' + name;
            const QString before = QFileInfo(target).symLinkTarget();
            const FsStatus status = copyFile(upper, target, mode);
            EXPECT_EQ(status.ok(), replace) << name << " " << replace;
            if (!replace) {
                EXPECT_EQ(status.outcome, FsStatus::TargetExists) << name;
                EXPECT_EQ(QFileInfo(target).symLinkTarget(), before) << name;
            }
            EXPECT_EQ(readAll(target) == "first", replace) << name << " " << replace;
        }
        EXPECT_EQ(readAll(outside), "outside");
        EXPECT_EQ(QDir(copies).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"dangling.mp3", "empty.mp3", "file.mp3", "link.mp3"}));
    }
    EXPECT_TRUE(copyFile(upper, copies + "/new.mp3", CopyMode::NeverReplace).ok());
    EXPECT_EQ(readAll(copies + "/new.mp3"), "first");

    // Replacing a file's end keeps what lies in front.
    const QString path = putFile(home.music(), "f.mp3", "AUDIOAUDIO-old-trailer-that-is-long");
    ASSERT_TRUE(replaceFileEnd(path, 10, "new").ok());
    EXPECT_EQ(readAll(path), "AUDIOAUDIOnew");
    ASSERT_TRUE(replaceFileEnd(path, 13, "+more").ok()); // appending
    EXPECT_EQ(readAll(path), "AUDIOAUDIOnew+more");
    EXPECT_FALSE(replaceFileEnd(path, 100, "x").ok()); // past the end: refused, file unchanged
    EXPECT_EQ(readAll(path), "AUDIOAUDIOnew+more");
    EXPECT_FALSE(replaceFileEnd(home.music(), 0, "x").ok()); // a folder
    EXPECT_FALSE(QFileInfo::exists(home.music() + "/none.mp3"));
}

TEST_F(FileOps, MoveAcrossFileSystemsCopiesThenRemoves)
{
    QTemporaryDir other("/dev/shm/kaz-test-XXXXXX");
    if (!other.isValid() || deviceOf(other.path()) == deviceOf(home.music()))
        GTEST_SKIP() << "no second file system to move across";
    const QByteArray content = mp3WithTag(values("t", "a"), 40);
    const QString source = other.filePath("song.mp3");
    writeAll(source, content);
    ::chmod(QFile::encodeName(source).constData(), 0640);

    const QString target = home.music() + "/song.mp3";
    ASSERT_TRUE(moveFile(source, target).ok());
    EXPECT_FALSE(QFileInfo::exists(source));
    EXPECT_EQ(readAll(target), content);
    EXPECT_EQ(QFileInfo(target).permissions() & (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    // A taken target refuses the move and leaves both files alone, no temporary file behind.
    writeAll(source, "other content");
    EXPECT_EQ(moveFile(source, target).outcome, FsStatus::TargetExists);
    EXPECT_EQ(readAll(source), "other content");
    EXPECT_EQ(readAll(target), content);
    EXPECT_EQ(QDir(home.music()).entryList(QDir::Files | QDir::Hidden), QStringList{"song.mp3"});

    // A target folder that does not exist: the source stays.
    EXPECT_FALSE(moveFile(source, home.music() + "/missing/x.mp3").ok());
    EXPECT_EQ(readAll(source), "other content");
}

TEST_F(FileOps, ReadOnlyFileReportsWhatItCannotRead)
{
    const QString path = putFile(home.music(), "f.mp3", "0123456789");
    ReadOnlyFile file(path);
    EXPECT_EQ(file.error(), 0);
    EXPECT_EQ(file.size(), 10);
    EXPECT_EQ(file.readAt(7, 10), "789"); // short read at the end
    EXPECT_TRUE(file.readAt(20, 4).isEmpty());
    EXPECT_TRUE(file.readAt(-1, 4).isEmpty());
    EXPECT_NE(ReadOnlyFile(home.music()).error(), 0);
    EXPECT_NE(ReadOnlyFile(home.music() + "/none").error(), 0);

    // By name in the folder's descriptor: a link is not followed, a FIFO
    // does not block the open.
    FolderDescriptor folder;
    const int dir = folder.open(QString(home.music() + QLatin1Char('/')));
    ASSERT_GE(dir, 0);
    const ReadOnlyFile byName(dir, "f.mp3");
    EXPECT_EQ(byName.size(), 10);
    EXPECT_EQ(byName.readAt(0, 3), "012");
    ASSERT_TRUE(QFile::link(path, home.music() + "/link.mp3"));
    EXPECT_EQ(ReadOnlyFile(dir, "link.mp3").error(), ELOOP);
    ASSERT_EQ(::mkfifo(QFile::encodeName(home.music() + "/fifo.mp3").constData(), 0644), 0);
    EXPECT_EQ(ReadOnlyFile(dir, "fifo.mp3").error(), EINVAL);
}
