// The outside tools in the main window: favourites, programs, the player buttons.
#include "tools/ui/ToolsMenus.h"

#include "cleanup/ui/CleanupPage.h"
#include "fromname/ui/FromNamePage.h"
#include "rename/ui/RenamePage.h"
#include "structure/ui/StructureMenus.h"

#include "config/ConfigFile.h"
#include "platform/Messages.h"
#include "support/QtPrinters.h"
#include "support/gui/RecordingPlayer.h"
#include "support/gui/WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolButton>

using namespace kaz;
using namespace kaz::test;

namespace {

class ToolsMenusTest : public WindowTest
{
protected:
    // Opens the window on the music folder with these lines in the favourites
    // and programs sections of the configuration.
    void open(const QStringList &userLines, const QStringList &programLines)
    {
        folder = home.music();
        EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{}));
        addBefore("[external programs]", userLines);
        addBefore("[directory structure]", programLines);
        WindowTest::open(0, Language::English, [this](MainWindow &w) {
            tools = new ToolsMenus(w, w, [&w](QToolButton *b) { w.addToolButton(b); });
            tools->applyLanguage(Language::English);
        });
    }
    // Adds the lines to the end of the configuration's section before nextHeader.
    static void addBefore(const QByteArray &nextHeader, const QStringList &lines)
    {
        QByteArray text = readAll(iniPath());
        const QByteArray at = "\r\n" + nextHeader;
        for (const QString &line : lines)
            text.replace(at, QByteArray("\r\n" + line.toUtf8() + at));
        writeAll(iniPath(), text);
    }
    QAction *item(const char *name) { return child<QAction>(name); }

    ToolsMenus *tools = nullptr;
};

} // namespace

TEST_F(ToolsMenusTest, FavouritesInSlotsOneAndThreeShowAsItemsOneAndTwo)
{
    const QString a = home.music() + "/a", c = home.music() + "/c";
    ASSERT_TRUE(QDir().mkpath(a));
    ASSERT_TRUE(QDir().mkpath(c));
    open({"F1=" + a, "F3=" + c}, {});
    EXPECT_TRUE(item("userdir1")->isVisible());
    EXPECT_EQ(item("userdir2")->text(), c);
    EXPECT_EQ(item("userdir2")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_2));
    EXPECT_FALSE(item("userdir3")->isVisible());
    EXPECT_TRUE(child<QMenu>("Userdefineddirectories2")->menuAction()->isVisible());
    EXPECT_FALSE(child<QMenu>("Externalprograms2")->menuAction()->isVisible());

    item("userdir2")->trigger();
    EXPECT_EQ(window->files().currentFolder(), c);

    // A run locks the menus while the free slots are hidden; a favourite
    // filled in afterwards must work at once, not after a restart.
    const QString later = home.music() + "/later";
    QDir().mkpath(later);
    window->runFrame().begin();
    window->runFrame().end();
    addBefore("[external programs]", {"F5=" + later});
    tools->refresh();
    ASSERT_TRUE(item("userdir3")->isVisible());
    ASSERT_TRUE(item("userdir3")->isEnabled());
    item("userdir3")->trigger();
    EXPECT_EQ(window->files().currentFolder(), later);
}

// With favourites and programs set, every menu of the bar is shown at the
// window's minimum width, in both languages: what does not fit wraps into
// a second row instead of hiding behind "»".
TEST_F(ToolsMenusTest, EveryMenuIsShownAtTheMinimumWidth)
{
    QDir().mkpath(home.music() + "/a");
    open({"F1=" + home.music() + "/a"}, {"Editor=/bin/true"});
    for (Language language : {Language::English, Language::German}) {
        window->setLanguage(language);
        tools->applyLanguage(language);
        window->resize(window->minimumWidth(), window->minimumHeight());
        QStringList shown;
        QTRY_VERIFY_WITH_TIMEOUT([&] {
            shown.clear();
            for (QMenuBar *bar : window->findChildren<QMenuBar *>()) {
                auto *more = bar->findChild<QWidget *>(QStringLiteral("qt_menubar_ext_button"));
                if (more && more->isVisible())
                    return false;
                if (!bar->isVisible())
                    continue;
                for (QAction *a : bar->actions())
                    if (a->isVisible() && bar->rect().contains(bar->actionGeometry(a)))
                        shown << a->text();
            }
            return true;
        }(), 5000);
        EXPECT_EQ(shown.size(), 9) << shown.join('|').toStdString(); // five menus, help, three commands
        EXPECT_LE(window->width(), 601 + 1) << "the window's minimum width holds";
    }
}

// The window as the program puts it together, whichever of the tools and
// the structure menus comes first: the items stand in their order in both
// languages, and the window goes without asking the tools anything.
TEST_F(ToolsMenusTest, PropertiesAndFilePopUpKeepTheirOrder)
{
    QDir().mkpath(folder);
    EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{}));
    // Text of each item of the menu that the list names, in the menu's order.
    const auto texts = [](QMenu *menu, const QStringList &names) {
        QStringList found;
        for (QAction *a : menu->actions()) {
            const QString name = a->menu() ? a->menu()->objectName() : a->objectName();
            if (names.contains(name))
                found << a->text();
        }
        return found;
    };
    const QStringList properties{"selectfont1", "Userdefineddirectories1", "Externalprograms1",
                                 "Directorystructure1", "WinAmppath1", "Definecharactersdelimiter1"};
    const QStringList popup{"renameselectedfiles1", "Cleanupfilenames1", "FilenametoID3Tag1", "EditID3Tagfilename1",
                            "invertselection1", "selectall1", "deselectall1", "EditMask1", "Copymovedeletefiles1"};
    for (const bool toolsFirst : {true, false}) {
        shown.open(TestWindow::options(folder), [toolsFirst](MainWindow &w) {
            auto *renamePage = new RenamePage(w);
            w.addPage(renamePage);
            w.addPage(new CleanupPage(w));
            w.addPage(new FromNamePage(w));
            const auto tools = [&w] { (new ToolsMenus(w, w, [&w](QToolButton *b) { w.addToolButton(b); }))
                                           ->applyLanguage(Language::English); };
            if (toolsFirst)
                tools();
            auto *structure = new StructureMenus(w, w, &renamePage->runState());
            QObject::connect(&w, &MainWindow::languageChanged, structure, &StructureMenus::applyLanguage);
            if (!toolsFirst)
                tools();
        });
        QMenu *menu = window->menu(HostMenu::Properties);
        EXPECT_EQ(texts(menu, properties), QStringList({"KAZ size", "Userdefined directories", "External programs",
                                                        "Directory structure", "WinAmp path", "Characters && delimiter"}))
            << toolsFirst;
        EXPECT_EQ(texts(window->menu(HostMenu::FileList), popup),
                  QStringList({"ID3Tag -> filename", "Cleanup filenames", "Filename -> ID3Tag", "Edit ID3Tag/filename",
                               "Invert selection", "Select all", "Deselect all", "Change mask", "Copy/move/delete files"}))
            << toolsFirst;
        window->setLanguage(Language::German);
        window->findChild<ToolsMenus *>()->applyLanguage(Language::German);
        EXPECT_EQ(texts(menu, properties), QStringList({"KAZ Größe", "Benutzerdefinierte Verzeichnisse", "Externe programme",
                                                        "Verzeichnisstruktur", "WinAmp-Pfad", "Zeichen && Trennzeichen"}));

        // The list the tools watch goes while the window is still whole, so
        // that nothing asks a window that is half gone.
        bool windowWhole = false;
        MainWindow *whole = window.get();
        QObject::connect(files()->viewport(), &QObject::destroyed, [&windowWhole, whole] {
            windowWhole = qobject_cast<MainWindow *>(whole) != nullptr;
        });
        window.reset();
        EXPECT_TRUE(windowWhole);
    }
}

TEST_F(ToolsMenusTest, AMissingFavouriteGoesAndTheMenuFollows)
{
    const QString gone = home.music() + "/gone";
    open({"F1=" + gone}, {"Editor=/nowhere/editor"});
    EXPECT_EQ(item("extern11")->text(), "Editor");
    prompter.answers = {Button::Cancel, Button::Cancel};
    tools->openUserFolder(0);
    EXPECT_EQ(prompter.shown.value(0), message(Msg::UserFolderMissing, Language::English));
    EXPECT_FALSE(item("userdir1")->isVisible());
    EXPECT_FALSE(child<QMenu>("Userdefineddirectories2")->menuAction()->isVisible());
    tools->startProgram(0);
    EXPECT_EQ(prompter.shown.value(1), message(Msg::ExternalProgramMissing, Language::English));
    EXPECT_FALSE(child<QMenu>("Externalprograms2")->menuAction()->isVisible());
    const KazSettings s = loadIni(iniPath(), IniContext{});
    EXPECT_TRUE(s.userDirectories[0].isEmpty());
    EXPECT_TRUE(s.externalPrograms[0].isEmpty());
}

TEST_F(ToolsMenusTest, PlayerItemsAndAltClicksDriveThePlayer)
{
    ASSERT_TRUE(writeAll(home.music() + "/a.mp3", mp3Frames(2)));
    ASSERT_TRUE(writeAll(home.music() + "/b.mp3", mp3Frames(2)));
    open({}, {});
    window->selectAll();
    // Without a player nothing plays and nothing is said.
    EXPECT_FALSE(child<QToolButton>("StopButton")->isEnabled());
    tools->playSelection();
    EXPECT_TRUE(prompter.shown.isEmpty());
    auto player = std::make_unique<RecordingPlayer>();
    RecordingPlayer *recorder = player.get();
    window->setMediaPlayer(std::move(player));
    window->files().refillFileList();
    window->selectAll();

    item("PlayfileswithWinAmp1")->trigger();
    EXPECT_EQ(recorder->calls, QStringList({"clear", "add " + folder + "/a.mp3", "add " + folder + "/b.mp3", "start"}));
    EXPECT_TRUE(child<QToolButton>("StopButton")->isEnabled()); // the play list file is the player logic's to test
    recorder->calls.clear();
    item("Nextsong1")->trigger();
    child<QToolButton>("StopButton")->click();
    EXPECT_EQ(recorder->calls, QStringList({"next", "stop"}));

    // Alt + left click plays, Alt + right click stops (and shows no pop-up).
    recorder->calls.clear();
    QWidget *area = files()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, Qt::AltModifier, QPoint(20, 5));
    ASSERT_FALSE(recorder->calls.isEmpty());
    EXPECT_EQ(recorder->calls.last(), "start");
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(20, 5), area->mapToGlobal(QPoint(20, 5)), Qt::AltModifier);
    QApplication::sendEvent(area, &menu);
    EXPECT_EQ(recorder->calls.last(), "stop");
}
