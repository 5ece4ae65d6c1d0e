// The structure items of the main window's menus, driven as a user would.
#include "structure/ui/StructureMenus.h"

#include "../structure/StructureFixtures.h"

#include "config/ConfigFile.h"
#include "rename/ui/RenamePage.h"
#include "support/gui/ModalWatch.h"
#include "support/gui/TestWindow.h"
#include "widgets/HelpWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QUrl>

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
    EXPECT_EQ(settings->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
}

// Help and F1 of the settings dialog reach their sections while it is open.
TEST_F(StructureMenusTest, SettingsHelpAndF1OpenTheirSections)
{
    open(home.music());
    QStringList shown;
    whenModalOpens("Tstructure_properties", [&](QWidget *dialog) {
        dialog->findChild<QPushButton *>("HelpBtn")->click();
        if (auto *help = dialog->findChild<HelpWindow *>())
            shown << help->currentUrl().fragment();
        dialog->findChild<QAction *>("help")->trigger(); // F1
        if (auto *help = dialog->findChild<HelpWindow *>())
            shown << help->currentUrl().fragment();
        qobject_cast<QDialog *>(dialog)->reject();
    });
    window.child<QAction>("Directorystructure1")->trigger();
    EXPECT_EQ(shown, QStringList({"context-6", "context-22"}));
}

// The undo logs belong to the run that wrote them: a structure built from
// the folder pop-up is undone from its own folder, in this session, without
// the question about an earlier one, and the window shows that folder.
TEST_F(StructureMenusTest, UndoFollowsTheFolderOfTheLastStructureRun)
{
    const QString a = home.music() + "/A", b = home.music() + "/B";
    putSong(a, "x.mp3", "Queen", "Innuendo");
    for (const char *name : {"1.mp3", "2.mp3", "3.mp3"})
        putSong(b, name, "Abba", "Arrival");
    const auto flat = [&](const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); };
    KazSettings settings = loadIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr});
    settings.structure.showOnFolderMenu = false; // no settings dialog before the run
    ASSERT_TRUE(patchStructureSection(iniPath(), settings.structure));
    window.open(a, [this](MainWindow &w) {
        auto *page = new RenamePage(w);
        w.addPage(page);
        menus = new StructureMenus(w, w, &page->runState());
    });
    auto *undo = window.child<QPushButton>("BitBtn5");
    window->openFolder(b);
    aboutToShowFolderMenu();
    window.child<QAction>("createdirectorystructurewithoutrenaming1")->trigger();
    ASSERT_TRUE(flat(b).isEmpty()) << flat(b).join(',').toStdString();
    EXPECT_TRUE(undo->isEnabled());
    window->openFolder(a);
    EXPECT_FALSE(undo->isEnabled()) << "the logs hold B's moves";
    const QStringList made = QDir(b).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_FALSE(made.isEmpty());
    window->openFolder(b + "/" + made.first()); // below the run's folder
    ASSERT_TRUE(undo->isEnabled());
    window.prompter.shown.clear();
    undo->click();
    EXPECT_TRUE(window.prompter.shown.filter("last session").isEmpty()) << window.prompter.shown.join('|').toStdString();
    EXPECT_EQ(flat(b), QStringList({"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(flat(a), QStringList({"x.mp3"}));
    EXPECT_EQ(window->currentFolder(), b);
    EXPECT_FALSE(undo->isEnabled());

    // The logs of a build of an earlier session: asked first, and the window
    // goes to the folder the files came back to.
    aboutToShowFolderMenu();
    window.child<QAction>("createdirectorystructurewithoutrenaming1")->trigger();
    ASSERT_TRUE(flat(b).isEmpty());
    window.open(a, [](MainWindow &w) { w.addPage(new RenamePage(w)); });
    window.prompter.shown.clear();
    window.prompter.answers = {Button::Ok};
    window.child<QPushButton>("BitBtn5")->click();
    EXPECT_FALSE(window.prompter.shown.filter("last session").isEmpty());
    EXPECT_EQ(flat(b), QStringList({"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(window->currentFolder(), b);
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
