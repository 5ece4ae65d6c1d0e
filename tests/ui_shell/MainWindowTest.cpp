#include "shell/ui/WindowScale.h"
#include "widgets/HelpWindow.h"

#include "platform/Paths.h"
#include "support/gui/EventGaps.h"
#include "support/gui/WindowTest.h"
#include "widgets/GuiPrompter.h"

#include <QAction>
#include <QElapsedTimer>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLibraryInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdio>

using namespace kaz;
using namespace kaz::test;

namespace {

// The window over "Album": six tagged files, four without a tag, a cover.
class MainWindowTest : public WindowTest
{
protected:
    void SetUp() override
    {
        folder = home.music() + "/Album";
        for (int i = 1; i <= 10; ++i) {
            const QString name = QStringLiteral("/%1 %2.mp3").arg(i, 2, 10, QLatin1Char('0')).arg(i <= 6 ? "tagged" : "plain");
            writeAll(folder + name, i <= 6 ? mp3WithTag(values(QStringLiteral("Song %1").arg(i), "Band", "Record")) : mp3Frames(2));
        }
        writeAll(folder + "/cover.jpg", "jpeg");
    }

    QString status() { return child<QLabel>("StatusBar2")->text(); }
};

} // namespace

TEST_F(MainWindowTest, MaskCyclesAndFilterFollowsIt)
{
    open();
    auto *mask = child<QToolButton>("MaskButton");
    auto *filter = child<QToolButton>("FilterButton");
    EXPECT_EQ(files()->count(), 10);

    // "inv (*.mp3)" is told in words beside the buttons.
    auto *told = child<QLabel>("Label4");
    struct Step { const char *mask; bool filterEnabled; int count; };
    for (const Step &s : {Step{"inv (*.mp3)", false, 1}, Step{"*.*", false, 11}, Step{"*.mp3", true, 10}}) {
        mask->click();
        EXPECT_EQ(mask->text(), QLatin1String(s.mask));
        EXPECT_EQ(filter->isEnabled(), s.filterEnabled) << s.mask;
        EXPECT_EQ(child<QAction>("FilterTagged1")->isEnabled(), s.filterEnabled) << s.mask;
        EXPECT_EQ(files()->count(), s.count) << s.mask;
        EXPECT_EQ(told->isVisible(), s.count == 1) << s.mask;
        if (s.count == 1) {
            EXPECT_EQ(told->text(), "*.*  without *.mp3");
            window->setLanguage(Language::German);
            EXPECT_EQ(told->text(), "*.*  ohne *.mp3");
            window->setLanguage(Language::English);
        }
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

TEST_F(MainWindowTest, StatusLineFollowsTheSelectionScrollsAndResets)
{
    open();
    struct Step { std::function<void()> act; const char *status; };
    const Step steps[] = {
        {[&] { selectRows({7}); }, "NoTag!"},
        {[&] { selectRows({0, 3, 8}); }, "3/10"},
        {[&] { child<QAction>("selectall2")->trigger(); }, "10/10"},
        {[&] { child<QAction>("deselectall1")->trigger(); }, "0/10"},
        {[&] { window->invertSelection(); }, "10/10"}, // inverting nothing selects everything
        {[&] { selectRows({1, 2}); window->invertSelection(); }, "8/10"},
    };
    for (const Step &s : steps) {
        s.act();
        EXPECT_EQ(status(), QLatin1String(s.status));
    }
    EXPECT_FALSE(files()->item(1)->isSelected());

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
    open(0, Language::German);
    child<QToolButton>("FilterButton")->click();
    EXPECT_EQ(child<QToolButton>("FilterButton")->text(), "mit Tag");

    QList<Language> switched;
    QObject::connect(window.get(), &MainWindow::languageChanged, [&](Language l) { switched << l; });
    child<QAction>("English1")->trigger();
    EXPECT_EQ(switched, QList<Language>{Language::English});
    // A control of each kind is relabelled: button, menu, menu item, tab; the filter is kept.
    EXPECT_EQ(child<QToolButton>("FilterButton")->text(), "tagged");
    EXPECT_EQ(child<QCheckBox>("CheckBox1")->text(), "include subdirectories");
    EXPECT_EQ(child<QMenu>("prperties1")->title(), "Pr&operties");
    EXPECT_EQ(child<QAction>("deselectall1")->text(), "Deselect all");
    EXPECT_EQ(child<QTabBar>("TabSet1")->tabText(1), "Cleanup filenames");
    EXPECT_TRUE(child<QAction>("English1")->isChecked());
    EXPECT_FALSE(child<QAction>("German1")->isChecked());
    EXPECT_EQ(files()->count(), 6);
    child<QAction>("German1")->trigger();
    EXPECT_EQ(child<QAction>("Exit1")->text(), "E&nde\tAlt+N");
}

// Qt's own texts follow the language menu: the standard buttons of every
// message box, and the "All" button that the questions name.
TEST_F(MainWindowTest, StandardButtonsFollowTheLanguage)
{
    open();
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
    GuiPrompter(window.get()).ask(MessageKind::Information, ButtonSet::YesAbortAll, QStringLiteral("?"));
    EXPECT_TRUE(allButton.contains("&Alles|")) << allButton.toStdString();
    child<QAction>("English1")->trigger();
    EXPECT_EQ(buttonTexts().first(), "Yes");
}

TEST_F(MainWindowTest, RunFrameLocksControlsAndRestoresThem)
{
    open();
    child<QToolButton>("MaskButton")->click(); // filter button off before the run
    const char *locked[] = {"CheckBox1", "Button1", "MaskButton", "FilterButton", "SortButton", "FontUpButton",
                            "TabSet1", "DriveComboBox1", "DirectoryListBox1", "StatusBar1", "StatusBar2"};
    {
        RunGuard run(window->runFrame());
        for (const char *name : locked)
            EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
        EXPECT_FALSE(child<QMenu>("prperties1")->menuAction()->isEnabled());
        EXPECT_FALSE(child<QMenu>("Language1")->menuAction()->isEnabled());
        // Neither exit nor deactivation while a run is active.
        child<QPushButton>("Button1")->click();
        window->close();
        EXPECT_TRUE(window->isVisible());
        window->deactivate();
        EXPECT_TRUE(window->isActivated());
        { RunGuard nested(window->runFrame()); }
        EXPECT_FALSE(child<QWidget>("MaskButton")->isEnabled()) << "a nested frame must not unlock";
    }
    EXPECT_FALSE(window->runFrame().running());
    for (const char *name : locked) // the filter button stays off, as the mask left it
        EXPECT_EQ(child<QWidget>(name)->isEnabled(), qstrcmp(name, "FilterButton") != 0) << name;
    EXPECT_TRUE(child<QMenu>("Language1")->menuAction()->isEnabled());
}

TEST_F(MainWindowTest, ReactivationFindsRenamedFolderAndSelection)
{
    const QString startDirectory = QDir::currentPath();
    open();
    selectRows({1, 4});
    window->deactivate();
    EXPECT_EQ(child<QLabel>("LargeLabel")->text(), "DEACTIVATED");
    EXPECT_FALSE(files()->isVisible());
    EXPECT_EQ(QDir::currentPath(), startDirectory) << "the window never changes the working folder";

    ASSERT_TRUE(QDir(home.music()).rename("Album", "Album (2001)"));
    window->reactivate();
    EXPECT_EQ(window->files().currentFolder(), home.music() + "/Album (2001)");
    EXPECT_EQ(window->files().selectedNames(), QStringList({"02 tagged.mp3", "05 tagged.mp3"}));
    EXPECT_TRUE(prompter.shown.isEmpty());

    // With two new siblings nothing is guessed: one level back, with the message.
    window->deactivate();
    ASSERT_TRUE(QDir(home.music()).rename("Album (2001)", "X"));
    QDir(home.music()).mkdir("Y");
    window->reactivate();
    EXPECT_EQ(window->files().currentFolder(), home.music());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().startsWith(QString::fromUtf8("It isn´t possible")));
    EXPECT_TRUE(prompter.shown.first().endsWith(home.music() + "/Album (2001)"));
}

TEST_F(MainWindowTest, RenameAndDeleteTheFolderThroughItsMenu)
{
    open();
    auto *edit = child<QLineEdit>("RenameEdit");
    child<QAction>("rename1")->trigger();
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(edit->text(), "Album");

    QDir(home.music()).mkdir("Taken");
    edit->setText("Taken");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith("Error in new name."));
    EXPECT_TRUE(edit->isVisible());
    EXPECT_TRUE(QDir(folder).exists());

    ASSERT_TRUE(writeAll(programFolder() + "/undo1.kaz", "a\r\n"));
    ASSERT_TRUE(writeAll(programFolder() + "/undo2.kaz", "b\r\n"));
    edit->setText("Renamed");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(window->files().currentFolder(), home.music() + "/Renamed");
    EXPECT_EQ(files()->count(), 10);
    EXPECT_FALSE(QFile::exists(programFolder() + "/undo2.kaz")) << "the logs' paths went stale";

    child<QAction>("rename1")->trigger();
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_FALSE(edit->isVisible());

    // Delete removes only folder trees without files.
    folder = home.music() + "/Renamed";
    prompter.shown.clear();
    QDir(home.music()).mkpath("Empty/inner");
    window->files().openFolder(home.music() + "/Empty");
    prompter.answers = {Button::Cancel};
    child<QAction>("delete1")->trigger();
    EXPECT_EQ(prompter.shown, QStringList{"Really delete all directories?"});
    EXPECT_TRUE(QDir(home.music() + "/Empty").exists());

    prompter.answers = {Button::Ok};
    child<QAction>("delete1")->trigger();
    EXPECT_FALSE(QDir(home.music() + "/Empty").exists());
    EXPECT_EQ(window->files().currentFolder(), home.music());

    // A tree that holds files stays whole, whatever the answer.
    window->files().openFolder(folder);
    prompter.answers = {Button::Ok};
    child<QAction>("delete1")->trigger();
    EXPECT_EQ(treeHashes(folder).size(), 11);
}

TEST_F(MainWindowTest, LetterSortButtonAndRefill)
{
    writeAll(folder + "/Zulu.mp3", mp3Frames(2));
    writeAll(folder + "/alpha.mp3", mp3Frames(2));
    open();
    auto *sort = child<QToolButton>("SortButton");
    sort->click();
    EXPECT_TRUE(sort->isChecked());
    EXPECT_EQ(QString(files()->item(0)->text() + "|" + files()->item(1)->text()), "Zulu.mp3|alpha.mp3");
    // Stays sorted over a re-fill, and natural again when released.
    child<QAction>("refresh1")->trigger();
    EXPECT_EQ(files()->item(0)->text(), "Zulu.mp3");
    sort->click();
    EXPECT_EQ(files()->item(0)->text(), "01 tagged.mp3");
}

// Help asked for from a modal dialog opens over it, where the dialog's
// modality lets the user reach it; back in the window, help is its own
// again and opens at the page's context.
TEST_F(MainWindowTest, HelpOpensOverAModalDialogAndAtThePagesContext)
{
    open();
    HelpWindow *help = nullptr;
    whenModalOpens("ModalForHelp", [&](QWidget *dialog) {
        window->showHelp(2);
        help = dialog->findChild<HelpWindow *>();
        ASSERT_NE(help, nullptr);
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->currentUrl().fragment(), "context-2");
        qobject_cast<QDialog *>(dialog)->reject();
    });
    QDialog modal(window.get());
    modal.setObjectName("ModalForHelp");
    modal.exec();
    ASSERT_NE(help, nullptr);

    child<QAction>("Contents1")->trigger();
    auto *own = window->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->isVisible());
    EXPECT_EQ(own->currentUrl().fragment(), "context-0");
    EXPECT_TRUE(own->currentUrl().path().endsWith("kaz-en.html"));
    window->showPage(1);
    child<QPushButton>("HelpButton")->click();
    EXPECT_EQ(own->currentUrl().fragment(), "context-7");
    own->close();
}

TEST_F(MainWindowTest, SizeCommandsGrowWithinTheScreen)
{
    open();
    // A grown window must fit the screen; screens of 1250 pixels and more
    // need no growing.
    EXPECT_TRUE(WindowScale::canEnlarge(1024, 471));
    EXPECT_FALSE(WindowScale::canEnlarge(1024, 918));
    EXPECT_FALSE(WindowScale::canEnlarge(1300, 471));

    // "Increase" grows window and font together while the window fits the
    // screen, then changes nothing; "standard" goes back. Every control
    // grows: those that inherit the window's font, those with their own,
    // and those of a size fixed in pixels.
    const auto looks = [this] {
        QStringList sizes;
        for (const char *name : {"CheckBox1", "DirectoryListBox1", "MaskButton", "FileListBox1", "LargeLabel", "TabSet1"})
            sizes << QString::number(QFontInfo(child<QWidget>(name)->font()).pixelSize());
        sizes << QString::number(child<QWidget>("HelpButton")->maximumWidth())
              << QString::number(child<QWidget>("ProgressBar1")->maximumHeight());
        return sizes;
    };
    const QStringList standard = looks();
    child<QToolButton>("FontUpButton")->click(); // "A-" can be used then
    ASSERT_TRUE(child<QToolButton>("FontDownButton")->isEnabled());
    const QStringList bigger = looks();
    child<QAction>("increase1")->trigger();
    const QStringList increased = looks();
    for (qsizetype i = 0; i < standard.size(); ++i)
        EXPECT_GT(increased[i].toInt(), bigger[i].toInt()) << i;
    child<QAction>("decrease1")->trigger();
    EXPECT_EQ(looks(), bigger);
    EXPECT_TRUE(child<QToolButton>("FontDownButton")->isEnabled());
    child<QToolButton>("FontDownButton")->click();
    EXPECT_EQ(looks(), standard);

    const int screenHeight = window->screen()->geometry().height();
    int steps = 0;
    for (QSize before; steps < 8 && window->size() != before; ++steps) {
        before = window->size();
        const qreal pointsBefore = window->font().pointSizeF();
        child<QAction>("increase1")->trigger();
        EXPECT_LE(window->height(), screenHeight);
        EXPECT_EQ(window->font().pointSizeF() > pointsBefore, window->size() != before);
    }
    EXPECT_LT(steps, 8) << "the window kept growing";
    child<QAction>("decrease1")->trigger();
    EXPECT_EQ(window->size(), QSize(601, 471));

    window->resize(500, 300);
    EXPECT_GE(window->width(), 601);
    EXPECT_GE(window->height(), 471);
}

TEST_F(MainWindowTest, FolderListOpensOnLeftClickOnly)
{
    QDir(folder).mkdir("Disc 2");
    open();
    auto *folders = child<QListWidget>("DirectoryListBox1");
    QListWidgetItem *sub = folders->findItems("Disc 2", Qt::MatchEndsWith).value(0);
    ASSERT_NE(sub, nullptr);
    const QPoint at = folders->visualItemRect(sub).center();
    QTest::mouseClick(folders->viewport(), Qt::RightButton, {}, at);
    QApplication::processEvents();
    for (QWidget *popup = QApplication::activePopupWidget(); popup; popup = QApplication::activePopupWidget())
        popup->close();
    EXPECT_EQ(window->files().currentFolder(), folder);
    QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, folders->visualItemRect(sub).center());
    EXPECT_EQ(window->files().currentFolder(), folder + "/Disc 2");
    EXPECT_EQ(child<QLabel>("StatusBar2")->text(), "");
}

// The tag editor from the window: the button and Alt+I walk the selection,
// and the list is read again afterwards.
TEST_F(MainWindowTest, TagEditorWalksTheSelectionAndTheListIsReadAgain)
{
    open();
    auto *button = child<QToolButton>("TagButton");
    auto *item = child<QAction>("EditID3Tagfilename1");
    selectRows({});
    EXPECT_FALSE(button->isEnabled());
    selectRows({0, 2});
    EXPECT_TRUE(button->isEnabled());

    QStringList orders;
    onEachModal("TOKHelpRightDlg", [&](QWidget *dialog) {
        orders << find<QLabel>(dialog, "StatusBar2")->text();
        if (orders.size() == 1)
            find<QLineEdit>(dialog, "Trackname")->setText("renamed");
        find<QPushButton>(dialog, "OKBtn")->click();
        return orders.size() < 2;
    });
    button->click();
    EXPECT_EQ(orders, (QStringList{"1/2", "2/2"}));
    EXPECT_EQ(files()->findItems("renamed.mp3", Qt::MatchExactly).size(), 1);

    // Exit in the first editor stops the walk.
    selectRows({0, 1});
    int opened = 0;
    onEachModal("TOKHelpRightDlg", [&](QWidget *dialog) {
        ++opened;
        find<QPushButton>(dialog, "CancelBtn")->click();
        return false;
    });
    item->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&opened] { return opened > 0 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(opened, 1);
}

// The window with a large folder, for bench/gui_timings.sh: the list filled
// on opening and again on refresh, then the tagged filter, each with the
// longest wait of the window's events, and the peak memory. The size comes
// from KAZ_BENCH_FILES; KAZ_BENCH_FOLDER, when set, is where the files go
// (and stay, for kaz-cli and later runs). Only what the list shows is checked.
using LargeFolder = WindowTest;

TEST_F(LargeFolder, FillRefreshAndTaggedFilter)
{
    const int count = qEnvironmentVariableIsSet("KAZ_BENCH_FILES") ? qEnvironmentVariableIntValue("KAZ_BENCH_FILES")
                                                                   : 2000;
    if (qEnvironmentVariableIsSet("KAZ_BENCH_FOLDER"))
        folder = qEnvironmentVariable("KAZ_BENCH_FOLDER");
    QDir().mkpath(folder);
    const QByteArray tagged = mp3WithTag(values("Song", "Band", "Record"), 1), plain = mp3Frames(1);
    for (int i = 0; i < count; ++i) {
        // Files of an earlier run in the same folder are used again.
        const QString path = folder + QStringLiteral("/%1.mp3").arg(i, 6, 10, QLatin1Char('0'));
        if (!QFile::exists(path)) {
            ASSERT_TRUE(writeAll(path, i % 2 ? plain : tagged));
        }
    }

    EventGaps gaps;
    QElapsedTimer clock;
    clock.start();
    open();
    const qint64 openMs = clock.elapsed();
    EXPECT_EQ(files()->count(), count);

    clock.start();
    gaps.start();
    window->files().refillFileList();
    const qint64 refreshGap = gaps.stop();
    const qint64 refreshMs = clock.elapsed();
    EXPECT_EQ(files()->count(), count);

    clock.start();
    gaps.start();
    window->setTagFilter(TagFilter::Tagged);
    const qint64 filterGap = gaps.stop();
    const qint64 filterMs = clock.elapsed();
    EXPECT_EQ(files()->count(), count / 2 + count % 2);
    EXPECT_EQ(child<QProgressBar>("ProgressBar2")->value(), 0) << "the bar is back at rest";

    std::printf("files: %d; open until the list is complete %lld ms; refresh %lld ms, longest wait for events "
                "%lld ms; tagged filter %lld ms, longest wait %lld ms; peak memory %lld MiB\n",
                count, static_cast<long long>(openMs), static_cast<long long>(refreshMs),
                static_cast<long long>(refreshGap), static_cast<long long>(filterMs),
                static_cast<long long>(filterGap), static_cast<long long>(peakMemoryMiB()));
}
