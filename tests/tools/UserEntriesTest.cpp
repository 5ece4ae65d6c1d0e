// Favourite folders and external programs.
#include "support/TestSupport.h"

#include "config/ConfigFile.h"
#include "tools/UserEntries.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

using namespace kaz;
using namespace kaz::test;

namespace {

QString writtenIni(const QString &folderA, const QString &folderB, const QString &program)
{
    const QString path = iniPath();
    EXPECT_TRUE(createDefaultIni(path, IniContext{}));
    KazSettings s;
    s.userDirectories = {folderA, QString(), folderB, {}, {}, {}};
    s.externalPrograms[0] = {QStringLiteral("Editor"), program};
    EXPECT_TRUE(patchUserSections(path, s.userDirectories, s.externalPrograms));
    return path;
}

using UserEntries = HomeTest;

} // namespace

TEST_F(UserEntries, AMissingFavouriteIsRemovedBeforeTheQuestion)
{
    const QString kept = home.music();
    const QString gone = home.path() + "/gone";
    const QString path = writtenIni(gone, kept, "/nowhere/editor");
    EXPECT_EQ(openUserFolder(kept, path, nullptr, Language::English), EntryOutcome::Open);
    EXPECT_EQ(openUserFolder("/x", path, nullptr, Language::English), EntryOutcome::Ignored);

    struct Question : Prompter {
        QString iniPath;
        QStringList directoriesWhenAsked;
        Button ask(MessageKind, ButtonSet, const QString &) override
        {
            const KazSettings s = loadIni(iniPath, IniContext{});
            directoriesWhenAsked = QStringList(s.userDirectories.begin(), s.userDirectories.end());
            return Button::Yes;
        }
    } prompter;
    prompter.iniPath = path;
    EXPECT_EQ(openUserFolder(gone, path, &prompter, Language::English), EntryOutcome::RemovedChooseNew);
    EXPECT_EQ(prompter.directoriesWhenAsked.value(0), kept); // already gone from the file
}

TEST_F(UserEntries, AnExternalProgramStartsInItsOwnFolder)
{
    const QString folder = home.path() + "/tools dir";
    const QString program = folder + "/editor";
    const QString marker = home.path() + "/started-in";
    writeAll(program, "#!/bin/sh\npwd > \"" + marker.toUtf8() + ".tmp\" && mv \"" + marker.toUtf8() + ".tmp\" \""
                          + marker.toUtf8() + "\"\n");
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString path = writtenIni(QString(), QString(), program);
    const QString before = QDir::currentPath();

    EXPECT_EQ(startExternalProgram(program, path, nullptr, Language::English), EntryOutcome::Started);
    for (const QDeadlineTimer deadline(10000); !QFile::exists(marker) && !deadline.hasExpired();)
        QThread::msleep(20);
    EXPECT_EQ(readAll(marker).trimmed(), folder.toUtf8());
    EXPECT_EQ(QDir::currentPath(), before);
}
