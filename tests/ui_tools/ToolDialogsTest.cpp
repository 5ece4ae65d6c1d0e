// The dialogs of the outside tools, offscreen.
#include "tools/ui/FolderPicker.h"
#include "tools/ui/PlayerPathDialog.h"
#include "tools/ui/SendToDialog.h"
#include "tools/ui/UserDirectoriesDialog.h"

#include "config/ConfigFile.h"
#include "support/TestSupport.h"
#include "support/gui/FindChild.h"
#include "tools/SendToList.h"
#include "widgets/RadioGroup.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// A shell script at dir/name, executable or not.
QString putScript(const QString &dir, const QString &name, bool executable)
{
    const QString path = putFile(dir, name, "#!/bin/sh\n");
    ::chmod(QFile::encodeName(path).constData(), executable ? 0700 : 0600);
    return path;
}

QStringList itemsOf(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text();
    return items;
}

class ToolDialog : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(createDefaultIni(ini, IniContext{})); }

    TempHome home;
    const QString ini = iniPath();
    ScriptedPrompter prompter;
};

// The send-to dialog over a list of the files.
class SendDialog : public ToolDialog
{
protected:
    void open(const QStringList &files)
    {
        ASSERT_TRUE(SendToList::write(files));
        dialog.applyLanguage(Language::English);
        dialog.reload();
    }
    RadioGroup *operation() { return dialog.findChild<RadioGroup *>("RadioGroup1"); }

    SendToDialog dialog{prompter};
};

} // namespace

TEST_F(ToolDialog, PlayerModeSavesAnExecutableIntoLine12)
{
    const QString players = home.path() + "/players", empty = home.path() + "/docs";
    const QString player = putScript(players, "vlc", true);
    putScript(players, "readme", false);
    putScript(empty, "notes.txt", false);

    PlayerPathDialog dialog(PlayerPathDialog::Mode::Player, prompter);
    dialog.openPlayer(ini, ".", true);
    auto *save = find<QPushButton>(&dialog, "BitBtn1");
    for (const QString &at : {empty, players}) { // no executable chosen: nothing to save
        ASSERT_TRUE(dialog.browser()->setFolder(at));
        EXPECT_FALSE(save->isEnabled());
    }
    EXPECT_EQ(itemsOf(dialog.fileList()), QStringList({"vlc"}));
    dialog.fileList()->setCurrentRow(0);
    save->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(IniDocument::read(ini).line(11), "WinAmp=" + player);

    // Reopened, it starts at the stored player; Reset leaves the file alone.
    PlayerPathDialog again(PlayerPathDialog::Mode::Player, prompter);
    again.openPlayer(ini, player, true);
    ASSERT_NE(again.fileList()->currentItem(), nullptr);
    EXPECT_EQ(again.browser()->folder() + "/" + again.fileList()->currentItem()->text(), player);
    const QByteArray before = readAll(ini);
    find<QPushButton>(&again, "BitBtn2")->click();
    EXPECT_EQ(readAll(ini), before);
    EXPECT_TRUE(again.playerKnown());
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(ToolDialog, ProgramModeWantsAName)
{
    const QString editor = putScript(home.path() + "/bin", "editor", true);
    PlayerPathDialog dialog(PlayerPathDialog::Mode::Program, prompter);
    dialog.applyLanguage(Language::English);
    dialog.openProgram({});
    auto *name = dialog.findChild<QLineEdit *>("Edit1");
    EXPECT_EQ(name->text(), "Define name!");
    dialog.browser()->setFolder(home.path() + "/bin");
    dialog.fileList()->setCurrentRow(0);
    for (const QString &typed : {QString(), QString("Define name!")}) {
        name->setText(typed);
        find<QPushButton>(&dialog, "BitBtn1")->click();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << typed.toStdString();
    }
    EXPECT_EQ(prompter.shown, QStringList(2, "Define name for external program!\n\r"));

    name->setText("Edit=or");
    find<QPushButton>(&dialog, "BitBtn1")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.programEntry(), (ExternalProgram{"Edit-or", editor}));

    // Opened on an entry: its name and its file are chosen.
    PlayerPathDialog reopened(PlayerPathDialog::Mode::Program, prompter);
    reopened.openProgram({"Editor", editor});
    EXPECT_EQ(reopened.findChild<QLineEdit *>("Edit1")->text(), "Editor");
    ASSERT_NE(reopened.fileList()->currentItem(), nullptr);
    EXPECT_EQ(reopened.fileList()->currentItem()->text(), "editor");
}

TEST_F(SendDialog, MovesTheHandedFilesAndStaysOpenOnABadDestination)
{
    const QString src = home.music() + "/src";
    open({putFile(src, "a.mp3", "a"), putFile(src, "b.mp3", "b")});
    EXPECT_EQ(itemsOf(dialog.findChild<QListWidget *>("ListBox1")), QStringList({"a.mp3", "b.mp3"}));

    auto *destination = dialog.findChild<QLineEdit *>("Edit1");
    operation()->button(2)->click(); // delete: no destination
    EXPECT_FALSE(destination->isEnabled());
    EXPECT_FALSE(find<QPushButton>(&dialog, "BitBtn3")->isEnabled());
    operation()->button(1)->click();
    EXPECT_TRUE(destination->isEnabled());

    destination->setText("x");
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.shown, QStringList({"Error in destination directory.\n\r\n\rPlease re-enter directory."}));

    destination->setText(home.music() + "/dst");
    dialog.accept();
    EXPECT_TRUE(dialog.refreshNeeded());
    EXPECT_EQ(readAll(home.music() + "/dst/a.mp3"), "a");
    EXPECT_FALSE(QFile::exists(src + "/b.mp3"));
    EXPECT_EQ(operation()->itemIndex(), 0); // copy again for the next time
}

// A delete that no trash can take asks before anything goes for good, and a
// file kept is told with the reason.
TEST_F(SendDialog, ADeleteTellsWhatTheTrashCouldNotTake)
{
    writeAll(home.path() + "/data/Trash", "no folder");
    const QString a = putFile(home.music(), "a.mp3", "a");
    open({a});
    prompter.answers = {Button::Ok, Button::No};
    operation()->button(2)->click();
    dialog.accept();
    ASSERT_EQ(prompter.shown.size(), 3);
    EXPECT_EQ(prompter.shown[1], "1 files cannot be moved to the trash: delete for good?\n\r\n\r" + a);
    EXPECT_TRUE(prompter.shown[2].startsWith("1 files could not be handled:\n\r\n\r" + a
                                             + ": cannot be moved to the trash, not deleted ("))
        << prompter.shown[2].toStdString();
    EXPECT_EQ(readAll(a), "a");
}

TEST_F(SendDialog, BrowsingPutsTheFolderIntoTheDestination)
{
    QDir().mkpath(home.music() + "/target");
    dialog.show();
    auto *browser = dialog.findChild<FolderPicker *>();
    EXPECT_FALSE(browser->isVisible());
    dialog.findChild<QLineEdit *>("Edit1")->setText(home.music());
    find<QPushButton>(&dialog, "BitBtn3")->click();
    EXPECT_EQ(browser->folder(), home.music());
    QListWidget *folders = browser->folderList();
    const QList<QListWidgetItem *> target = folders->findItems("target", Qt::MatchEndsWith);
    ASSERT_EQ(target.size(), 1);
    Q_EMIT folders->itemClicked(target.constFirst());
    EXPECT_EQ(dialog.findChild<QLineEdit *>("Edit1")->text(), home.music() + "/target");
    find<QPushButton>(&dialog, "BitBtn2")->click(); // Cancel closes the browser first
    EXPECT_FALSE(browser->isVisible());
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(ToolDialog, UserDirectoriesRowsAreChosenAndWrittenOnOk)
{
    UserDirectoriesDialog folders(UserDirectoriesDialog::Mode::Folders, ini, prompter);
    folders.applyLanguage(Language::German);
    folders.setFolderChooser([&](const QString &) { return home.music(); });
    folders.select(2);
    EXPECT_EQ(folders.findChild<QLabel *>("Label3")->text(), home.music());
    folders.accept();
    EXPECT_EQ(loadIni(ini, IniContext{}).userDirectories[0], home.music()); // read back into the first slot

    UserDirectoriesDialog programs(UserDirectoriesDialog::Mode::Programs, ini, prompter);
    programs.applyLanguage(Language::English);
    programs.setProgramChooser([](const ExternalProgram &) { return ExternalProgram{"Editor", "/usr/bin/editor"}; });
    programs.select(0);
    programs.accept();
    const KazSettings s = loadIni(ini, IniContext{});
    EXPECT_EQ(s.externalPrograms[0], (ExternalProgram{"Editor", "/usr/bin/editor"}));
    EXPECT_EQ(s.userDirectories[0], home.music()); // the other section kept
}
