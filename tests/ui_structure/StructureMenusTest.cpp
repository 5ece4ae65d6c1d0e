// The structure items of the main window's menus, driven as a user would.
#include "structure/ui/StructureMenus.h"

#include "../structure/StructureFixtures.h"

#include "config/ConfigFile.h"
#include "rename/ui/RenamePage.h"
#include "support/gui/TestWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QDir>
#include <QFile>
#include <QMenu>

using namespace kaz;
using namespace kaz::test;

namespace {

class StructureMenusTest : public ::testing::Test
{
protected:
    void SetUp() override { EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr})); }

    void open(const QString &folder)
    {
        window.open(folder, [this](MainWindow &w) {
            placeholderPages(w);
            menus = new StructureMenus(w, w);
            QObject::connect(&w, &MainWindow::languageChanged, menus, &StructureMenus::applyLanguage);
        });
    }

    // What a right click on the folder list shows.
    void aboutToShowFolderMenu() { Q_EMIT window.child<QMenu>("PopupMenu2")->aboutToShow(); }

    TempHome home;
    TestWindow window;
    StructureMenus *menus = nullptr;
};

} // namespace

TEST_F(StructureMenusTest, ItemsStandInTheirMenusAndFollowTheFolder)
{
    QDir(home.music()).mkpath("Empty");
    open(home.music() + "/Empty");
    auto *settings = window.child<QAction>("Directorystructure1");
    EXPECT_EQ(settings->text(), "Directory structure");
    EXPECT_EQ(settings->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(window.child<QMenu>("prperties1")->actions().contains(settings));

    auto *create = window.child<QAction>("createdirectorystructurewithoutrenaming1");
    auto *reorganize = window.child<QAction>("reorganizedirectorystructurewithoutrenaming1");
    auto *breakUp = window.child<QAction>("breakdirectorystructure1");
    EXPECT_FALSE(window.child<QAction>("directorystructure2")->isEnabled());
    aboutToShowFolderMenu();
    EXPECT_FALSE(create->isEnabled()) << "nothing to sort in an empty folder";
    EXPECT_TRUE(reorganize->isEnabled());
    EXPECT_TRUE(breakUp->isEnabled());

    window->openFolder("/");
    aboutToShowFolderMenu();
    EXPECT_FALSE(reorganize->isEnabled());
    EXPECT_FALSE(breakUp->isEnabled());

    window->setLanguage(Language::German);
    EXPECT_EQ(breakUp->text(), QString::fromUtf8("  auflösen"));
}

TEST_F(StructureMenusTest, BreakFromTheFolderMenuMovesTheFilesUpAndRefillsTheList)
{
    putSong(home.music() + "/Abba/Arrival", "a.mp3", "Abba", "Arrival");
    putSong(home.music() + "/Abba/Arrival", "b.mp3", "Abba", "Arrival");
    open(home.music());
    window.prompter.answers = {Button::Yes}; // safe mode
    aboutToShowFolderMenu();
    window.child<QAction>("breakdirectorystructure1")->trigger();

    EXPECT_TRUE(QFile::exists(home.music() + "/a.mp3"));
    EXPECT_TRUE(QFile::exists(home.music() + "/b.mp3"));
    EXPECT_FALSE(QDir(home.music() + "/Abba").exists());
    EXPECT_EQ(window->fileNames(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_FALSE(window->runFrame().running());
}

TEST_F(StructureMenusTest, AStructureBoxOnPageZeroTakesTheFolderTree)
{
    putSong(home.music(), "a.mp3", "Abba", "Arrival");
    window.open(home.music(), [](MainWindow &w) { w.addPage(new RenamePage(w)); });
    window->selectAll();
    auto *create = window.child<QCheckBox>("directory_structure");
    auto *subfolders = window.child<QCheckBox>("CheckBox1");
    auto *files = window.child<QListWidget>("FileListBox1");
    ASSERT_TRUE(create->isEnabled());

    // No settings dialog on switching on ("show2").
    KazSettings settings = loadIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr});
    settings.structure.showOnCheckBox = false;
    ASSERT_TRUE(patchStructureSection(iniPath(), settings.structure));
    create->click();
    EXPECT_TRUE(subfolders->isChecked());
    EXPECT_FALSE(subfolders->isEnabled());
    EXPECT_FALSE(files->isEnabled());
    EXPECT_TRUE(window->selectedNames().isEmpty());
    window->showPage(0);
    EXPECT_FALSE(subfolders->isEnabled()) << "stays locked while the box is on";

    window.child<QCheckBox>("reorganize_directory_structure")->click();
    EXPECT_FALSE(create->isChecked());
    EXPECT_FALSE(subfolders->isEnabled()) << "one box hands over to the other";

    window.child<QCheckBox>("reorganize_directory_structure")->click();
    EXPECT_FALSE(subfolders->isChecked());
    EXPECT_TRUE(subfolders->isEnabled());
    EXPECT_TRUE(files->isEnabled());
}
