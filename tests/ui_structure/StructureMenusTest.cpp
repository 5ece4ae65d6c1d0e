// The structure items of the main window's menus, driven as a user would,
// and the commands behind them with their questions.
#include "structure/ui/StructureCommands.h"
#include "structure/ui/StructureMenus.h"

#include "../structure/StructureFixtures.h"

#include "config/ConfigFile.h"
#include "platform/Messages.h"
#include "rename/ui/RenamePage.h"
#include "support/gui/WindowTest.h"
#include "widgets/HelpWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>

using namespace kaz;
using namespace kaz::test;

namespace {

class StructureMenusTest : public WindowTest
{
protected:
    void SetUp() override { EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr})); }

    void open(const QString &at)
    {
        folder = at;
        WindowTest::open(0, Language::English, [this](MainWindow &w) {
            menus = new StructureMenus(w, w);
        });
    }
    // With the rename page, whose run state the structure runs share.
    void openWithRenamePage(const QString &at)
    {
        folder = at;
        WindowTest::open<RenamePage>(0, Language::English, [this](MainWindow &w) {
            menus = new StructureMenus(w, w, &w.findChild<RenamePage *>()->runState());
        });
    }

    // What a right click on the folder list shows.
    void aboutToShowFolderMenu() { Q_EMIT child<QMenu>("PopupMenu2")->aboutToShow(); }

    StructureMenus *menus = nullptr;
};

} // namespace

TEST_F(StructureMenusTest, ItemsFollowTheFolderAndBreakMovesTheFilesUpAndRefillsTheList)
{
    QDir(home.music()).mkpath("Empty");
    putSong(home.music() + "/Abba/Arrival", "a.mp3", "Abba", "Arrival");
    putSong(home.music() + "/Abba/Arrival", "b.mp3", "Abba", "Arrival");
    open(home.music() + "/Empty");
    auto *create = child<QAction>("createdirectorystructurewithoutrenaming1");
    auto *reorganize = child<QAction>("reorganizedirectorystructurewithoutrenaming1");
    auto *breakUp = child<QAction>("breakdirectorystructure1");
    EXPECT_FALSE(child<QAction>("directorystructure2")->isEnabled());
    aboutToShowFolderMenu();
    EXPECT_FALSE(create->isEnabled()) << "nothing to sort in an empty folder";
    EXPECT_TRUE(reorganize->isEnabled());
    EXPECT_TRUE(breakUp->isEnabled());

    window->files().openFolder("/");
    aboutToShowFolderMenu();
    EXPECT_FALSE(reorganize->isEnabled());
    EXPECT_FALSE(breakUp->isEnabled());

    window->files().openFolder(home.music());
    prompter.answers = {Button::Yes}; // safe mode
    aboutToShowFolderMenu();
    breakUp->trigger();
    EXPECT_FALSE(QDir(home.music() + "/Abba").exists());
    EXPECT_EQ(window->files().fileNames(), QStringList({"a.mp3", "b.mp3"}));
}

// Help and F1 of the settings dialog reach their sections while it is open.
TEST_F(StructureMenusTest, SettingsHelpAndF1OpenTheirSections)
{
    open(home.music());
    QStringList shown;
    whenModalOpens("Tstructure_properties", [&](QWidget *dialog) {
        const auto section = [dialog] {
            auto *help = dialog->findChild<HelpWindow *>();
            return help ? help->currentUrl().fragment() : QString();
        };
        dialog->findChild<QPushButton *>("HelpBtn")->click();
        shown << section();
        dialog->findChild<QAction *>("help")->trigger(); // F1
        shown << section();
        qobject_cast<QDialog *>(dialog)->reject();
    });
    child<QAction>("Directorystructure1")->trigger();
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
    ASSERT_EQ(setIniValue(iniPath(), "show3", "false"), SetResult::Done); // no settings dialog before the run
    openWithRenamePage(a);
    auto *undo = child<QPushButton>("BitBtn5");
    window->files().openFolder(b);
    aboutToShowFolderMenu();
    child<QAction>("createdirectorystructurewithoutrenaming1")->trigger();
    ASSERT_TRUE(namesIn(b).isEmpty()) << namesIn(b).join(',').toStdString();
    window->files().openFolder(a);
    EXPECT_FALSE(undo->isEnabled()) << "the logs hold B's moves";
    const QStringList made = QDir(b).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_FALSE(made.isEmpty());
    window->files().openFolder(b + "/" + made.first()); // below the run's folder
    ASSERT_TRUE(undo->isEnabled());
    prompter.shown.clear();
    undo->click();
    EXPECT_TRUE(prompter.shown.filter("last session").isEmpty()) << prompter.shown.join('|').toStdString();
    EXPECT_EQ(namesIn(b), QStringList({"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(window->files().currentFolder(), b);

    // The logs of a build of an earlier session: asked first, and the window
    // goes to the folder the files came back to.
    aboutToShowFolderMenu();
    child<QAction>("createdirectorystructurewithoutrenaming1")->trigger();
    ASSERT_TRUE(namesIn(b).isEmpty());
    folder = a;
    WindowTest::open<RenamePage>(); // a new session
    prompter.shown.clear();
    prompter.answers = {Button::Ok};
    child<QPushButton>("BitBtn5")->click();
    EXPECT_FALSE(prompter.shown.filter("last session").isEmpty());
    EXPECT_EQ(namesIn(b), QStringList({"1.mp3", "2.mp3", "3.mp3"}));
    EXPECT_EQ(window->files().currentFolder(), b);
}

TEST_F(StructureMenusTest, AStructureBoxOnPageZeroTakesTheFolderTree)
{
    putSong(home.music(), "a.mp3", "Abba", "Arrival");
    folder = home.music();
    WindowTest::open<RenamePage>();
    window->selectAll();
    auto *create = child<QCheckBox>("directory_structure");
    auto *subfolders = child<QCheckBox>("CheckBox1");
    ASSERT_TRUE(create->isEnabled());

    ASSERT_EQ(setIniValue(iniPath(), "show2", "false"), SetResult::Done); // no settings dialog on switching on
    create->click();
    EXPECT_TRUE(subfolders->isChecked());
    EXPECT_FALSE(subfolders->isEnabled());
    EXPECT_FALSE(files()->isEnabled());

    child<QCheckBox>("reorganize_directory_structure")->click();
    EXPECT_FALSE(create->isChecked());
    EXPECT_FALSE(subfolders->isEnabled()) << "one box hands over to the other";

    child<QCheckBox>("reorganize_directory_structure")->click();
    EXPECT_FALSE(subfolders->isChecked());
    EXPECT_TRUE(subfolders->isEnabled());
    EXPECT_TRUE(files()->isEnabled());
}

namespace {

// Presses a button of the next modal dialog as soon as it is shown.
void pressWhenOpen(const char *button)
{
    whenDialogOpens([button](QWidget *dialog) { find<QPushButton>(dialog, button)->click(); });
}

class StructureCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr}));
        for (int i = 0; i < 8; ++i)
            putSong(home.music(), QStringLiteral("a%1.mp3").arg(i), "Abba", "Arrival");
    }

    StructureCommands commands()
    {
        StructureCommandContext c;
        c.prompter = &prompter;
        c.state = &state;
        c.language = Language::English;
        return StructureCommands(c);
    }

    TempHome home;
    ScriptedPrompter prompter;
    RunState state;
};

} // namespace

TEST_F(StructureCommandsTest, CreateRunsOnlyAfterSaveAndBreakAsksForTheModeFirst)
{
    const auto before = hashesByPath(home.music());
    pressWhenOpen("CancelBtn");
    EXPECT_FALSE(commands().create(home.music()).has_value());
    EXPECT_EQ(hashesByPath(home.music()), before);
    EXPECT_TRUE(state.filesTouched);

    pressWhenOpen("OKBtn");
    const auto outcome = commands().create(home.music());
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->moved.size(), 8u);
    EXPECT_TRUE(QFile::exists(home.music() + "/Album/Abba/Arrival/a0.mp3"));

    ASSERT_EQ(setIniValue(iniPath(), "show3", "false"), SetResult::Done);
    prompter.answers = {Button::Cancel};
    EXPECT_FALSE(commands().reorganize(home.music()).has_value());
    EXPECT_EQ(prompter.shown.last(), message(Msg::ReorganizeWarning, Language::English));
    prompter.answers = {Button::Yes};
    EXPECT_TRUE(commands().reorganize(home.music()).has_value()); // no dialog: show3 is off
    EXPECT_TRUE(QFile::exists(home.music() + "/Album/Abba/Arrival/a0.mp3"));

    // Break asks for the mode first.
    putSong(home.music() + "/sub", "b.mp3", "B", "Y");
    putFile(home.music() + "/sub", "cover.jpg", "jpg");
    prompter.answers = {Button::Ignore, Button::No};
    EXPECT_FALSE(commands().breakUp(home.music()).has_value());
    EXPECT_TRUE(QFile::exists(home.music() + "/sub/b.mp3"));
    prompter.answers = {Button::Ignore, Button::Yes};
    const auto broken = commands().breakUp(home.music());
    ASSERT_TRUE(broken.has_value());
    EXPECT_TRUE(broken->moveComplete);
    EXPECT_FALSE(QDir(home.music() + "/sub").exists());
}
