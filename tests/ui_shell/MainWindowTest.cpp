#include "widgets/HelpWindow.h"
#include "support/gui/PlaceholderPage.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/WindowScale.h"

#include "platform/Paths.h"
#include "support/TestSupport.h"
#include "support/gui/ModalWatch.h"
#include "support/gui/TestWindow.h"
#include "widgets/GuiPrompter.h"

#include <QAction>
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir(home.music()).mkpath("Album");
        folder = home.music() + "/Album";
        for (int i = 1; i <= 6; ++i)
            writeAll(folder + QStringLiteral("/%1 tagged.mp3").arg(i, 2, 10, QLatin1Char('0')),
                     mp3WithTag(values(QStringLiteral("Song %1").arg(i), "Band", "Record")));
        for (int i = 1; i <= 4; ++i)
            writeAll(folder + QStringLiteral("/%1 plain.mp3").arg(i + 6, 2, 10, QLatin1Char('0')), mp3Frames(2));
        writeAll(folder + "/cover.jpg", "jpeg");
    }

    MainWindow &window(Language language = Language::English)
    {
        return shown.open(TestWindow::options(folder, language));
    }

    template <typename T>
    T *child(const char *name)
    {
        return shown.child<T>(name);
    }
    QListWidget *files() { return child<QListWidget>("FileListBox1"); }
    QString status() { return child<QLabel>("StatusBar2")->text(); }
    void selectRows(const QList<int> &rows)
    {
        files()->clearSelection();
        for (int r : rows)
            files()->item(r)->setSelected(true);
    }

    TempHome home;
    QString folder;
    TestWindow shown;
    ScriptedPrompter &prompter = shown.prompter;
    std::unique_ptr<MainWindow> &m_window = shown.window;
};

} // namespace

TEST_F(MainWindowTest, MaskCyclesAndFilterFollowsIt)
{
    window();
    auto *mask = child<QToolButton>("MaskButton");
    auto *filter = child<QToolButton>("FilterButton");
    EXPECT_EQ(files()->count(), 10);

    struct Step {
        const char *mask;
        bool filterEnabled;
        int count;
    } steps[] = {{"inv (*.mp3)", false, 1}, {"*.*", false, 11}, {"*.mp3", true, 10}};
    for (const Step &s : steps) {
        mask->click();
        EXPECT_EQ(mask->text(), QLatin1String(s.mask));
        EXPECT_EQ(filter->isEnabled(), s.filterEnabled) << s.mask;
        EXPECT_EQ(child<QAction>("FilterTagged1")->isEnabled(), s.filterEnabled) << s.mask;
        EXPECT_EQ(files()->count(), s.count) << s.mask;
    }

    filter->click();
    EXPECT_EQ(filter->text(), "tagged");
    EXPECT_EQ(files()->count(), 6);
    filter->click();
    EXPECT_EQ(filter->text(), "untagged");
    EXPECT_EQ(files()->item(0)->text(), "07 plain.mp3");
    child<QAction>("FilterAll1")->trigger();
    EXPECT_EQ(filter->text(), "all");
    EXPECT_EQ(files()->count(), 10);
}

TEST_F(MainWindowTest, StatusTextsFollowTheSelection)
{
    window();
    struct Step {
        std::function<void()> act;
        const char *status;
    };
    const Step steps[] = {
        {[&] { selectRows({7}); }, "NoTag!"},
        {[&] { selectRows({0, 3, 8}); }, "3/10"},
        {[&] { child<QAction>("selectall2")->trigger(); }, "10/10"},
        {[&] { child<QAction>("deselectall1")->trigger(); }, "0/10"},
        {[&] { m_window->invertSelection(); }, "10/10"}, // inverting nothing selects everything
        {[&] { selectRows({1, 2}); m_window->invertSelection(); }, "8/10"},
    };
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(status(), QLatin1String(s.status));
    }
    EXPECT_FALSE(files()->item(1)->isSelected());
}

TEST_F(MainWindowTest, StatusLineScrollsAndResets)
{
    window();
    selectRows({8});
    auto *line = child<QLabel>("StatusBar2");
    QTest::mousePress(line, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseMove(line, QPoint(90, 5));
    EXPECT_EQ(line->text(), "oTag!N");
    QTest::mouseMove(line, QPoint(95, 5));
    EXPECT_EQ(line->text(), "NoTag!");
    QTest::mouseRelease(line, Qt::LeftButton, {}, QPoint(95, 5));
    QTest::mouseMove(line, QPoint(50, 5)); // released: no more scrolling
    EXPECT_EQ(line->text(), "NoTag!");
    line->setText("something else");
    QTest::mouseDClick(line, Qt::LeftButton);
    EXPECT_EQ(line->text(), "NoTag!");
}

TEST_F(MainWindowTest, LanguageSwitchRelabelsAndKeepsFilter)
{
    window(Language::German);
    EXPECT_EQ(child<QCheckBox>("CheckBox1")->text(), QString::fromUtf8("mit Unterverzeichnissen"));
    child<QToolButton>("FilterButton")->click();
    EXPECT_EQ(child<QToolButton>("FilterButton")->text(), "mit Tag");

    QList<Language> switched;
    QObject::connect(m_window.get(), &MainWindow::languageChanged, [&](Language l) { switched << l; });
    child<QAction>("English1")->trigger();
    EXPECT_EQ(switched, QList<Language>{Language::English});

    for (auto [name, text] : {std::pair{"CheckBox1", "include subdirectories"}, {"Button1", "E&xit"},
                              {"FilterButton", "tagged"}, {"HelpButton", "Help"}})
        EXPECT_EQ(child<QAbstractButton>(name)->text(), QLatin1String(text));
    EXPECT_EQ(child<QMenu>("prperties1")->title(), "Pr&operties");
    EXPECT_EQ(child<QAction>("deselectall1")->text(), "Deselect all");
    EXPECT_TRUE(child<QAction>("English1")->isChecked() && !child<QAction>("German1")->isChecked());
    EXPECT_EQ(child<QTabBar>("TabSet1")->tabText(1), "Cleanup filenames");
    EXPECT_EQ(files()->count(), 6); // the filter is kept

    child<QAction>("German1")->trigger();
    EXPECT_EQ(child<QTabBar>("TabSet1")->tabText(2), "Dateiname -> ID3Tag");
    EXPECT_EQ(child<QAction>("Exit1")->text(), "E&nde\tAlt+N");
}

// Qt's own texts follow the language menu: the standard buttons of every
// message box, and the "All" button that the questions name.
TEST_F(MainWindowTest, StandardButtonsFollowTheLanguage)
{
    window(Language::English);
    const auto buttonTexts = [] {
        QMessageBox box;
        QStringList texts;
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Ignore})
            texts << box.addButton(b)->text().remove(QLatin1Char('&'));
        return texts;
    };
    EXPECT_EQ(buttonTexts(), QStringList({"Yes", "No", "Cancel", "Abort", "Ignore"}));
    child<QAction>("German1")->trigger();
    ASSERT_TRUE(QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm"))
        << "Qt's German catalogue is missing: scripts/install-deps.sh installs qt6-translations-l10n";
    EXPECT_EQ(buttonTexts(), QStringList({"Ja", "Nein", "Abbrechen", "Abbrechen", "Ignorieren"}));
    QString allButton;
    whenModalOpens(QString(), [&](QWidget *box) {
        for (QAbstractButton *b : box->findChildren<QAbstractButton *>())
            allButton += b->text() + QLatin1Char('|');
        qobject_cast<QDialog *>(box)->reject();
    });
    GuiPrompter(m_window.get()).ask(MessageKind::Information, ButtonSet::YesAbortAll, QStringLiteral("?"));
    EXPECT_TRUE(allButton.contains("&Alles|")) << allButton.toStdString();
    child<QAction>("English1")->trigger();
    EXPECT_EQ(buttonTexts().first(), "Yes");
}

// Help asked for from a modal dialog opens over that dialog, where the
// dialog's modality lets the user reach it.
TEST_F(MainWindowTest, HelpFromAModalDialogBelongsToIt)
{
    window();
    HelpWindow *help = nullptr;
    whenModalOpens("ModalForHelp", [&](QWidget *dialog) {
        m_window->showHelp(2);
        help = dialog->findChild<HelpWindow *>();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->currentUrl().fragment(), "context-2");
        qobject_cast<QDialog *>(dialog)->reject();
    });
    QDialog modal(m_window.get());
    modal.setObjectName("ModalForHelp");
    modal.exec();
    ASSERT_NE(help, nullptr);
    // Back in the main window, help is its own again.
    m_window->showHelp(0);
    auto *own = m_window->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->isVisible());
    own->close();
}

TEST_F(MainWindowTest, RunFrameLocksControlsAndRestoresThem)
{
    window();
    child<QToolButton>("MaskButton")->click(); // filter button off before the run
    const char *locked[] = {"CheckBox1", "Button1", "MaskButton", "FilterButton", "SortButton", "FontUpButton",
                            "TabSet1", "DriveComboBox1", "DirectoryListBox1", "StatusBar1", "StatusBar2"};
    {
        RunGuard run(m_window->runFrame());
        for (const char *name : locked)
            EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
        EXPECT_FALSE(child<QMenu>("prperties1")->menuAction()->isEnabled());
        EXPECT_FALSE(child<QMenu>("Language1")->menuAction()->isEnabled());
        // Neither exit nor deactivation while a run is active.
        child<QPushButton>("Button1")->click();
        m_window->close();
        EXPECT_TRUE(m_window->isVisible());
        m_window->deactivate();
        EXPECT_TRUE(m_window->isActivated());
        {
            RunGuard nested(m_window->runFrame());
        }
        EXPECT_FALSE(child<QWidget>("MaskButton")->isEnabled()) << "a nested frame must not unlock";
    }
    EXPECT_FALSE(m_window->runFrame().running());
    for (const char *name : locked) {
        if (QLatin1String(name) != QLatin1String("FilterButton")) {
            EXPECT_TRUE(child<QWidget>(name)->isEnabled()) << name;
        }
    }
    EXPECT_FALSE(child<QWidget>("FilterButton")->isEnabled());
    EXPECT_TRUE(child<QMenu>("Language1")->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, ReactivationFindsRenamedFolderAndSelection)
{
    const QString startDirectory = QDir::currentPath();
    window();
    selectRows({1, 4});
    m_window->deactivate();
    EXPECT_EQ(child<QLabel>("LargeLabel")->text(), "DEACTIVATED");
    EXPECT_FALSE(files()->isVisible());
    EXPECT_EQ(QDir::currentPath(), startDirectory) << "the window never changes the working folder";

    ASSERT_TRUE(QDir(home.music()).rename("Album", "Album (2001)"));
    m_window->reactivate();
    EXPECT_EQ(m_window->files().currentFolder(), home.music() + "/Album (2001)");
    EXPECT_EQ(m_window->files().selectedNames(), QStringList({"02 tagged.mp3", "05 tagged.mp3"}));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // With two new siblings nothing is guessed: one level back, with the message.
    m_window->deactivate();
    ASSERT_TRUE(QDir(home.music()).rename("Album (2001)", "X"));
    QDir(home.music()).mkdir("Y");
    m_window->reactivate();
    EXPECT_EQ(m_window->files().currentFolder(), home.music());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().startsWith(QString::fromUtf8("It isn´t possible")));
    EXPECT_TRUE(prompter.shown.first().endsWith(home.music() + "/Album (2001)"));
}

TEST_F(MainWindowTest, RenameDirectoryThroughTheEdit)
{
    window();
    auto *edit = child<QLineEdit>("RenameEdit");
    child<QAction>("rename1")->trigger();
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "Album");

    QDir(home.music()).mkdir("Taken");
    edit->setText("Taken");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().startsWith("Error in new name."));
    EXPECT_TRUE(edit->isVisible() && QDir(folder).exists());

    writeAll(programFolder() + "/undo1.kaz", "a\r\n");
    writeAll(programFolder() + "/undo2.kaz", "b\r\n");
    edit->setText("Renamed");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(m_window->files().currentFolder(), home.music() + "/Renamed");
    EXPECT_EQ(files()->count(), 10);
    EXPECT_FALSE(QFile::exists(programFolder() + "/undo2.kaz"));

    child<QAction>("rename1")->trigger();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());
}

TEST_F(MainWindowTest, DeleteRemovesOnlyFolderTreesWithoutFiles)
{
    window();
    QDir(home.music()).mkpath("Empty/inner");
    m_window->files().openFolder(home.music() + "/Empty");
    prompter.answers = {Button::Cancel};
    child<QAction>("delete1")->trigger();
    EXPECT_TRUE(QDir(home.music() + "/Empty").exists());

    prompter.answers = {Button::Ok};
    child<QAction>("delete1")->trigger();
    EXPECT_FALSE(QDir(home.music() + "/Empty").exists());
    EXPECT_EQ(m_window->files().currentFolder(), home.music());

    m_window->files().openFolder(folder);
    prompter.answers = {Button::Ok};
    child<QAction>("delete1")->trigger();
    EXPECT_EQ(treeHashes(folder).size(), 11);
    EXPECT_EQ(prompter.shown.last(), QString::fromUtf8("Really delete all directories?"));
}

TEST_F(MainWindowTest, LetterSortButtonAndRefill)
{
    writeAll(folder + "/Zulu.mp3", mp3Frames(2));
    writeAll(folder + "/alpha.mp3", mp3Frames(2));
    window();
    auto *sort = child<QToolButton>("SortButton");
    sort->click();
    EXPECT_TRUE(sort->isChecked());
    EXPECT_EQ(files()->item(0)->text(), "Zulu.mp3");
    EXPECT_EQ(files()->item(1)->text(), "alpha.mp3");
    // Stays sorted over a re-fill, and natural again when released.
    child<QAction>("refresh1")->trigger();
    EXPECT_EQ(files()->item(0)->text(), "Zulu.mp3");
    sort->click();
    EXPECT_EQ(files()->item(0)->text(), "01 tagged.mp3");
}

TEST_F(MainWindowTest, HelpContextsAndSizeCommands)
{
    window();
    child<QAction>("Contents1")->trigger();
    auto *help = m_window->findChild<HelpWindow *>();
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->currentUrl().fragment(), "context-0");
    EXPECT_TRUE(help->currentUrl().path().endsWith("kaz-en.html"));
    m_window->showPage(1);
    child<QPushButton>("HelpButton")->click();
    EXPECT_EQ(help->currentUrl().fragment(), "context-7");
    help->close();

    // A grown window must fit the screen; screens of 1250 pixels and more
    // need no growing.
    EXPECT_TRUE(WindowScale::canEnlarge(1024, 471));
    EXPECT_FALSE(WindowScale::canEnlarge(1024, 918));
    EXPECT_FALSE(WindowScale::canEnlarge(1300, 471));

    // "Increase" grows window and font together while the window fits the
    // screen, then changes nothing; "standard" goes back.
    const int screenHeight = m_window->screen()->geometry().height();
    int steps = 0;
    for (QSize before; steps < 8 && m_window->size() != before; ++steps) {
        before = m_window->size();
        const qreal pointsBefore = m_window->font().pointSizeF();
        child<QAction>("increase1")->trigger();
        EXPECT_LE(m_window->height(), screenHeight);
        EXPECT_EQ(m_window->font().pointSizeF() > pointsBefore, m_window->size() != before);
    }
    EXPECT_LT(steps, 8) << "the window kept growing";
    child<QAction>("decrease1")->trigger();
    EXPECT_EQ(m_window->size(), QSize(601, 471));

    m_window->resize(500, 300);
    EXPECT_GE(m_window->width(), 601);
    EXPECT_GE(m_window->height(), 471);
}

TEST_F(MainWindowTest, FolderListOpensOnLeftClickOnly)
{
    QDir(folder).mkdir("Disc 2");
    window();
    auto *folders = child<QListWidget>("DirectoryListBox1");
    QListWidgetItem *sub = folders->findItems("Disc 2", Qt::MatchEndsWith).value(0);
    ASSERT_NE(sub, nullptr);
    const QPoint at = folders->visualItemRect(sub).center();
    QTest::mouseClick(folders->viewport(), Qt::RightButton, {}, at);
    QApplication::processEvents();
    for (QWidget *popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
        popup->close();
    EXPECT_EQ(m_window->files().currentFolder(), folder);
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualItemRect(sub).center());
    EXPECT_EQ(m_window->files().currentFolder(), folder + "/Disc 2");
    EXPECT_EQ(child<QLabel>("StatusBar2")->text(), "");
}
