#include "support/TestSupport.h"

#include "rename/FolderTree.h"
#include "platform/WorkFiles.h"
#include "rename/WorkListReader.h"

#include <QDir>
#include <QFile>

using namespace kaz;
using namespace kaz::test;

TEST(FolderTree, BreadthFirstWithOnlyTheFolderListLeft)
{
    TempHome home;
    const QString s = home.music();
    QDir().mkpath(s + "/A/B/C");
    QDir().mkpath(s + "/Z");
    QDir().mkpath(s + "/A/Y");
    writeAll(s + "/A/file.mp3", "x");
    // A link back up must not send the walk round in circles.
    QFile::link(s, s + "/A/loop");

    const FolderTreeResult result = buildFolderList(s + '/');
    EXPECT_EQ(result.folderCount, 6);
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::FolderList)),
              QStringList({s + '/', s + "/A", s + "/Z", s + "/A/B", s + "/A/Y", s + "/A/B/C"}));
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::FolderLevel)));
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::FolderNextLevel)));

    const QString lonely = home.file("lonely");
    QDir().mkpath(lonely);
    buildFolderList(lonely);
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::FolderList)), QStringList({lonely}));
}
