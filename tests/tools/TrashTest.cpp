// The desktop trash on real files: the home trash, the trash of another
// file system, and every way a trash can refuse a file.
#include "support/SmallVolume.h"

#include "support/TestSupport.h"

#include "platform/Trash.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {


// The Path line of an info file, decoded.
QString infoPath(const QString &infoFile)
{
    const QByteArray info = readAll(infoFile);
    const QRegularExpressionMatch m = QRegularExpression("^\\[Trash Info\\]\nPath=(.*)\nDeletionDate=(.*)\n$")
                                          .match(QString::fromLatin1(info));
    if (!m.hasMatch() || !QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d$").match(m.captured(2)).hasMatch())
        return "bad info: " + QString::fromLatin1(info);
    return QFile::decodeName(QByteArray::fromPercentEncoding(m.captured(1).toLatin1()));
}

struct Trash : HomeTest { const QString homeTrash = home.path() + "/data/Trash"; };

} // namespace

TEST_F(Trash, HomeTrashKeepsNamesAndPathsExactly)
{
    const QString odd = home.music() + "/odd ä";
    // A name that percent-decoding would change, one with blanks, and one long enough that its
    // info file name must be shortened.
    const QString longName = QString(248, QChar('x')) + ".mp3";
    for (const QString &name : {QString("100%41.mp3"), QString("a b#?.mp3"), longName}) {
        const QString path = putFile(odd, name, name.toUtf8());
        const TrashResult result = moveToTrash(path);
        ASSERT_TRUE(result.ok()) << result.problem.toStdString();
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_EQ(readAll(homeTrash + "/files/" + QFileInfo(result.trashedAs).fileName()), name.toUtf8());
        const QString info = homeTrash + "/info/" + QFileInfo(result.trashedAs).fileName() + ".trashinfo";
        EXPECT_EQ(infoPath(info), path) << name.toStdString(); // the way back
    }
    // A second file of a name already in the trash gets a free name of its own.
    const QString again = putFile(odd, "100%41.mp3", "second");
    EXPECT_EQ(QFileInfo(moveToTrash(again).trashedAs).fileName(), "100%41 (1).mp3");
    EXPECT_EQ(readAll(homeTrash + "/files/100%41.mp3"), "100%41.mp3");
    EXPECT_EQ(infoPath(homeTrash + "/info/100%41 (1).mp3.trashinfo"), again);
    EXPECT_EQ(entries(homeTrash + "/info").size(), 4);

    EXPECT_EQ(moveToTrash(odd + "/gone.mp3").outcome, TrashResult::Failed);
}

TEST_F(Trash, AHomeTrashThatIsNoFolderTakesNothing)
{
    writeAll(homeTrash, "a file, not a folder");
    const QString path = putFile(home.music(), "song.mp3", "song");
    const QString before = QDir::currentPath();
    QDir::setCurrent(home.music()); // nothing may land relative to the working folder
    const TrashResult result = moveToTrash(path);
    QDir::setCurrent(before);
    EXPECT_EQ(result.outcome, TrashResult::NoTrash);
    EXPECT_TRUE(result.problem.contains(homeTrash)) << result.problem.toStdString();
    EXPECT_EQ(readAll(path), "song");
    EXPECT_EQ(entries(home.music()), QStringList({"song.mp3"}));
}

// On another file system: $topdir/.Trash/$uid when .Trash is a sticky folder
// and no link, else $topdir/.Trash-$uid; and nothing when neither can be made.
TEST_F(Trash, AnotherFileSystemHasATrashOfItsOwn)
{
    SmallVolume volume(home.path() + "/volume", 4096);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a tmpfs (needs root): the trash of another file system is not tested";
    const QString top = volume.path();
    const QString uid = QString::number(::getuid());
    struct Case { const char *name; std::function<void()> prepare; QString trash; }; // trash empty: none takes the file
    const QList<Case> cases = {
        {"no .Trash", [] {}, top + "/.Trash-" + uid},
        {"sticky .Trash", [&] { QDir().mkdir(top + "/.Trash"); ::chmod(QFile::encodeName(top + "/.Trash"), 01777); },
         top + "/.Trash/" + uid},
        {".Trash not sticky", [&] { QDir().mkdir(top + "/.Trash"); ::chmod(QFile::encodeName(top + "/.Trash"), 0777); },
         top + "/.Trash-" + uid},
        {".Trash a link to a sticky folder",
         [&] {
             QDir().mkdir(top + "/elsewhere");
             ::chmod(QFile::encodeName(top + "/elsewhere"), 01777);
             QFile::link(top + "/elsewhere", top + "/.Trash");
         },
         top + "/.Trash-" + uid},
        {".Trash-uid a file", [&] { writeAll(top + "/.Trash-" + uid, "x"); }, QString()},
    };
    for (const Case &c : cases) {
        QDir(top).removeRecursively(); // links removed, not followed; the mount point itself stays
        c.prepare();
        const QString path = putFile(top + "/music", "100%41.mp3", "song");
        const TrashResult result = moveToTrash(path);
        if (c.trash.isEmpty()) {
            EXPECT_EQ(result.outcome, TrashResult::NoTrash) << c.name;
            EXPECT_EQ(readAll(path), "song") << c.name;
            EXPECT_FALSE(QDir(homeTrash).exists()) << c.name << ": never the home trash";
            continue;
        }
        ASSERT_TRUE(result.ok()) << c.name << ": " << result.problem.toStdString();
        EXPECT_EQ(result.trashedAs, c.trash + "/files/100%41.mp3") << c.name;
        // Relative to the top of the file system, so that the volume may be mounted elsewhere.
        EXPECT_EQ(infoPath(c.trash + "/info/100%41.mp3.trashinfo"), "music/100%41.mp3") << c.name;
    }
}

TEST_F(Trash, AFullTrashLeavesTheFileAndNoHalfInfo)
{
    SmallVolume volume(home.path() + "/volume", 256);
    if (!volume.isMounted())
        GTEST_SKIP() << "cannot mount a tmpfs (needs root): the full trash is not tested";
    const QString trash = volume.path() + "/.Trash-" + QString::number(::getuid());
    QDir().mkpath(trash + "/files");
    QDir().mkpath(trash + "/info");
    const QString path = putFile(volume.path(), "song.mp3", "song");
    QFile filler(volume.path() + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
    }
    filler.close();
    const TrashResult result = moveToTrash(path);
    EXPECT_EQ(result.outcome, TrashResult::NoTrash);
    EXPECT_TRUE(result.problem.contains(".trashinfo")) << result.problem.toStdString();
    EXPECT_EQ(readAll(path), "song");
    EXPECT_TRUE(entries(trash + "/info").isEmpty());
    EXPECT_TRUE(entries(trash + "/files").isEmpty());
}
