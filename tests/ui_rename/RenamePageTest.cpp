// Page "0" in the main window, by control names: the choices, the preview,
// Go! and Undo, the dialogs of the page, and what the window tells after a
// run that could not do everything.
#include "rename/ui/RenamePage.h"
#include "rename/ui/CharactersDialog.h"
#include "rename/ui/NumberingDialog.h"
#include "rename/ui/RenamePreviewDialog.h"

#include "config/ConfigFile.h"
#include "platform/Paths.h"
#include "platform/WorkFiles.h"
#include "shell/Startup.h"
#include "shell/ui/MainSession.h"
#include "support/gui/EventGaps.h"
#include "support/gui/WindowTest.h"
#include "tags/TagIO.h"
#include "widgets/GuiPrompter.h"
#include "widgets/RadioGroup.h"

#include <QScrollBar>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace kaz;
using namespace kaz::test;

namespace {

class RenamePageTest : public WindowTest
{
protected:
    void open(Language language = Language::English) { page = WindowTest::open<RenamePage>(0, language); }
    RadioGroup *group(const char *name) { return child<RadioGroup>(name); }

    RenamePage *page = nullptr;
};

using LargeRun = RenamePageTest;

} // namespace

TEST_F(RenamePageTest, PreviewExcludeRenameAndUndo)
{
    add("a.mp3", values("Waterloo", "Abba", "Waterloo LP"));
    add("b.mp3", values("SOS", "Abba", "ABBA"));
    add("c.mp3", values("Fernando", "Abba", "Greatest"));
    add("d.mp3", values("Intro", "", "Nothing"));
    const auto before = treeHashes(folder);
    open();
    group("RadioGroup2")->button(2)->click(); // Artist - Title
    group("RadioGroup3")->button(3)->click(); // no third part

    // A cancelled preview keeps the files and the selection.
    selectRows({1});
    whenDialogOpens([](QWidget *dialog) { find<QPushButton>(dialog, "CancelBtn")->click(); });
    button("BitBtn1")->click();
    EXPECT_EQ(treeHashes(folder), before);
    EXPECT_EQ(window->files().selectedNames(), QStringList{"b.mp3"});

    window->selectAll();
    QStringList grid;
    whenDialogOpens([&](QWidget *dialog) {
        auto *table = find<QTableWidget>(dialog, "StringGrid1");
        for (int r = 0; r < table->rowCount(); ++r)
            grid << table->item(r, 0)->text() + "|" + table->item(r, 3)->text();
        EXPECT_TRUE(dialog->windowTitle().contains("1 files will not be renamed"));
        table->selectRow(1); // b.mp3
        find<QPushButton>(dialog, "Button1")->click();
        EXPECT_EQ(table->item(1, 0)->text(), "excluded");
        find<QPushButton>(dialog, "OKBtn")->click();
    });
    button("BitBtn1")->click();

    EXPECT_EQ(grid, QStringList({"|Abba - Waterloo.mp3", "|Abba - SOS.mp3", "|Abba - Fernando.mp3", "   !|! d.mp3"}));
    EXPECT_EQ(names(), QStringList({"! d.mp3", "Abba - Fernando.mp3", "Abba - Waterloo.mp3", "b.mp3"}));
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith("1 files are not renamed !"));
    button("BitBtn5")->click();
    EXPECT_EQ(treeHashes(folder), before);
    EXPECT_FALSE(button("BitBtn5")->isEnabled());
}

// Another run over the same data folder while the preview is open (kaz-cli,
// say) takes "fl.kaz" for its own files or removes it: "&Rename" still
// renames what the preview showed, and nothing else.
TEST_F(RenamePageTest, PreviewRenamesWhatItShowedWhenAnotherRunTookTheWorkList)
{
    add("a.mp3", values("Waterloo", "Abba"));
    add("b.mp3", values("SOS", "Abba"));
    const QString elsewhere = home.music() + "/Other";
    ASSERT_TRUE(writeAll(elsewhere + "/x.mp3", mp3WithTag(values("X", "Band"))));
    open();
    group("RadioGroup2")->button(2)->click(); // Artist - Title
    group("RadioGroup3")->button(3)->click();
    for (const bool removed : {false, true}) {
        window->selectAll();
        whenDialogOpens([&](QWidget *dialog) {
            const QString list = programFolder() + "/fl.kaz";
            if (removed)
                QFile::remove(list);
            else
                writeAll(list, QString(elsewhere + "/x.mp3\r\n").toUtf8());
            find<QPushButton>(dialog, "OKBtn")->click();
        });
        button("BitBtn1")->click();
        EXPECT_EQ(names(), QStringList({"Abba - SOS.mp3", "Abba - Waterloo.mp3"})) << removed;
        EXPECT_TRUE(QFile::exists(elsewhere + "/x.mp3"));
        EXPECT_TRUE(button("BitBtn5")->isEnabled());
        button("BitBtn5")->click();
        EXPECT_EQ(names(), QStringList({"a.mp3", "b.mp3"}));
    }
}

// The selection rules are their own to test; here a click in one group
// reaches all three groups and the status lines, and the switches lock what
// they decide.
TEST_F(RenamePageTest, SelectionGroupsSwitchesAndStatusExample)
{
    add("03 Waterloo.mp3", values("Waterloo", "Abba", "Arrival"));
    open();
    selectRows({0});
    EXPECT_EQ(child<QLabel>("StatusBar2")->text(), "03 - Abba - Arrival - Waterloo" + QString(13, ' '));

    auto *joliet = child<QCheckBox>("joliet");
    joliet->click();
    EXPECT_FALSE(group("RadioGroup3")->isEnabled());
    EXPECT_EQ(group("RadioGroup3")->itemIndex(), 3);
    EXPECT_TRUE(child<QLabel>("StatusBar1")->text().endsWith("  (Joliet)"));
    joliet->click();
    EXPECT_EQ(group("RadioGroup3")->itemIndex(), 2);
    EXPECT_EQ(child<QLabel>("StatusBar1")->text(), "Artist - Album - Title");

    auto *user = child<QCheckBox>("CheckBox2");
    auto *edit = child<QLineEdit>("Edit2");
    auto *create = child<QCheckBox>("directory_structure");
    auto *reorganize = child<QCheckBox>("reorganize_directory_structure");
    ASSERT_TRUE(create->isEnabled() && reorganize->isEnabled());
    user->click();
    EXPECT_EQ(edit->text(), "Track");
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(group("RadioGroup1")->isEnabled());
    EXPECT_FALSE(joliet->isEnabled());
    // The structure needs names made from tags; a new list keeps that.
    EXPECT_FALSE(create->isEnabled() || reorganize->isEnabled());
    window->files().refillFileList();
    EXPECT_FALSE(create->isEnabled());
    user->click();
    EXPECT_EQ(edit->text(), "deactivated");
    EXPECT_TRUE(group("RadioGroup1")->isEnabled());
    EXPECT_TRUE(create->isEnabled() && reorganize->isEnabled());

    window->setLanguage(Language::German);
    EXPECT_EQ(edit->text(), "deaktiviert");
    EXPECT_EQ(child<QLabel>("StatusBar1")->text(), "Interpret - Album - Titel");

    group("RadioGroup1")->button(1)->click();
    EXPECT_EQ(QList<int>({group("RadioGroup1")->itemIndex(), group("RadioGroup2")->itemIndex(),
                          group("RadioGroup3")->itemIndex()}), QList<int>({1, 2, 0}));
    EXPECT_EQ(child<QLabel>("StatusBar1")->text(), "Album - Titel - Interpret");
}

TEST_F(RenamePageTest, NumberingDialogSavesOrRestores)
{
    add("a.mp3", values("Waterloo", "Abba", "Arrival", "1974", {}, "7"));
    open();
    auto *status = child<QLabel>("StatusBar2");
    QList<NumberingSettings> saved;
    QObject::connect(page, &RenamePage::numberingSaved, [&](const NumberingSettings &n) { saved << n; });

    // "before title", saved: the example follows while the dialog is open, on yellow.
    QString during;
    QColor colour;
    whenDialogOpens([&](QWidget *dialog) {
        find<RadioGroup>(dialog, "RadioGroup2")->button(2)->click();
        during = status->text();
        colour = status->palette().color(QPalette::Window);
        find<QPushButton>(dialog, "Button1")->click();
    });
    button("Button7")->click();
    EXPECT_EQ(during.trimmed(), "Abba - Arrival - 07 - Waterloo");
    EXPECT_EQ(colour, QColor(Qt::yellow));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().relativePosition, 2);
    EXPECT_NE(status->palette().color(QPalette::Window), QColor(Qt::yellow));

    // "at end of filename", cancelled: the saved choice stays.
    whenDialogOpens([&](QWidget *dialog) {
        find<RadioGroup>(dialog, "RadioGroup1")->button(4)->click();
        find<QPushButton>(dialog, "Button2")->click();
    });
    button("Button7")->click();
    EXPECT_EQ(page->settings().numbering.relativePosition, 2);
    EXPECT_EQ(saved.size(), 1);
}

TEST_F(RenamePageTest, CharacterDialogRefusesBadDelimiter)
{
    ScriptedPrompter answers;
    CharactersDialog dialog(answers);
    dialog.applyLanguage(Language::English);
    dialog.setValues("___   --_", " - ");
    EXPECT_EQ(find<QLineEdit>(&dialog, "Edit1")->text(), "_");
    find<QLineEdit>(&dialog, "Edit10")->setText("a/b");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(answers.shown, QStringList{"following delimiter are no allowed\n\r \\ / : * ? \" < > | "});

    find<QLineEdit>(&dialog, "Edit2")->setText("/");
    find<QLineEdit>(&dialog, "Edit10")->setText("_");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);

    find<QLineEdit>(&dialog, "Edit2")->setText("");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.replacements(), "_ _   --_");
    EXPECT_EQ(dialog.delimiter(), "_");
}

TEST(PreviewDialog, DuplicatesProblemRowsAndTheListForTheRun)
{
    TempHome home;
    PreviewTable table;
    const QString dir = home.music() + "/";
    table.append({{}, {}, "1.mp3", "Same.mp3", dir + "1.mp3"});
    table.append({{}, "NoID3Tag", "2.mp3", "! 2.mp3", dir + "2.mp3"});
    table.append({{}, {}, "3.mp3", "Same.mp3", dir + "3.mp3"});
    table.append({{}, {}, "4.mp3", "Same.mp3", dir + "4.mp3"});
    for (const char *name : {"1.mp3", "2.mp3", "3.mp3"}) // the files the run went through
        table.addRunPath(dir + name);
    RenamePreviewDialog dialog(table, 1, Language::German);
    auto *grid = find<QTableWidget>(&dialog, "StringGrid1");
    EXPECT_EQ(grid->item(2, 3)->text(), "Same (2).mp3"); // numbered as the table numbers them
    EXPECT_EQ(grid->item(1, 0)->text(), "   !");
    EXPECT_TRUE(dialog.windowTitle().contains("1 Dateien werden nicht umbenannt"));

    dialog.showOnlyProblems();
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 2)->text(), "2.mp3");

    // "&Rename" leaves the excluded paths out of the list for the run.
    grid->selectRow(0);
    dialog.toggleSelected(); // the problem row: "! ausgeschlossen" is left untouched too
    dialog.renameAndClose();
    EXPECT_EQ(dialog.outcome(), RenamePreviewDialog::Rename);
    EXPECT_EQ(readAll(programFolder() + "/fl_pre.kaz"), QString(dir + "1.mp3\r\n" + dir + "3.mp3\r\n").toUtf8());

    RenamePreviewDialog empty(PreviewTable(), 0, Language::English);
    EXPECT_EQ(find<QTableWidget>(&empty, "StringGrid1")->rowCount(), 1);
    EXPECT_EQ(empty.windowTitle(), "Preview");
}

TEST(RenamePageSession, ChoicesGoThroughTheConfiguration)
{
    TempHome home;
    ASSERT_TRUE(createDefaultIni(iniPath(), IniContext{}));
    ASSERT_EQ(setIniValue(iniPath(), "SelectionBoxes", "213"), SetResult::Done);
    ASSERT_EQ(setIniValue(iniPath(), "Delimiter", "_"), SetResult::Done);
    {
        TestWindow shown;
        StartupResult startup = startUp({{}, QSize(1024, 768), "/usr/bin/kaz"}, shown.prompter);
        RenamePage *page = nullptr;
        MainWindow &window = shown.open(TestWindow::options(home.music(), kDefaultLanguage), [&](MainWindow &w) {
            page = new RenamePage(w);
            w.addPage(page);
            auto *session = new MainSession(std::move(startup), "/usr/bin/kaz", w);
            session->apply();
        });
        EXPECT_EQ(find<RadioGroup>(&window, "RadioGroup3")->itemIndex(), 3);
        EXPECT_EQ(page->settings().delimiter, "_");

        find<RadioGroup>(&window, "RadioGroup1")->button(0)->click();
        RenameSettings s = page->settings();
        s.numbering.setRelative(3);
        page->setSettings(s);
        window.close();
    }
    const KazSettings stored = loadIni(iniPath(), IniContext{});
    EXPECT_EQ(stored.selection, (std::array<int, 3>{0, 1, 3}));
    EXPECT_EQ(stored.numberRelativePosition, 3);
    EXPECT_EQ(stored.delimiter, "_");
}

TEST_F(RenamePageTest, GoWithCreateSortsThenRenamesAndOneUndoRevertsBoth)
{
    for (int i = 0; i < 8; ++i)
        add(QStringLiteral("x%1.mp3").arg(i), values(QStringLiteral("Song %1").arg(i), "Abba", "Arrival"));
    const auto before = treeHashes(folder);
    ASSERT_EQ(setIniValue(iniPath(), "show1", "false"), SetResult::Done);
    ASSERT_EQ(setIniValue(iniPath(), "show2", "false"), SetResult::Done);
    open();
    auto *create = child<QCheckBox>("directory_structure");
    create->click();
    ASSERT_TRUE(create->isChecked());
    button("SpeedButton1")->click();
    EXPECT_TRUE(QFile::exists(folder + "/Album/Abba/Arrival/Abba - Arrival - Song 0.mp3"));
    EXPECT_FALSE(create->isChecked());
    ASSERT_TRUE(button("BitBtn5")->isEnabled());
    button("BitBtn5")->click();
    EXPECT_EQ(treeHashes(folder), before);
}

// After a run or an undo that could not do everything the window lists what
// was left: a name the run cannot take, an old name something new took in
// the meantime (the undo never replaces it).
TEST_F(RenamePageTest, RunAndUndoListWhatTheyLeftAlone)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    add("b.mp3", values("SOS", "Abba", "Gold"));
    add("line\nbreak.mp3", values("Fernando", "Abba", "Gold"));
    open();
    window->selectAll();
    button("SpeedButton1")->click();
    ASSERT_EQ(prompter.shown.size(), 1) << prompter.shown.join("|").toStdString();
    EXPECT_TRUE(prompter.shown[0].startsWith("1 files or folders were not renamed and keep their names:"));
    EXPECT_TRUE(prompter.shown[0].contains("line break: " + folder + "/line\nbreak.mp3")) << prompter.shown[0].toStdString();
    ASSERT_TRUE(QFile::exists(folder + "/Abba - Gold - Waterloo.mp3"));

    ASSERT_TRUE(writeAll(folder + "/a.mp3", "not mine"));
    button("BitBtn5")->click();
    ASSERT_EQ(prompter.shown.size(), 2);
    const QString shown = prompter.shown[1];
    EXPECT_TRUE(shown.startsWith("1 files could not get their old names back:")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(folder + "/a.mp3")) << shown.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/b.mp3"));
    EXPECT_EQ(readAll(folder + "/a.mp3"), "not mine");
    EXPECT_TRUE(QFile::exists(folder + "/Abba - Gold - Waterloo.mp3"));
}

TEST_F(RenamePageTest, UndoButtonNeedsBothLogs)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    open();
    ASSERT_TRUE(writeAll(workFilePath(workfile::UndoNew), folder.toUtf8() + "/x.mp3\r\n"));
    window->files().refillFileList();
    EXPECT_FALSE(button("BitBtn5")->isEnabled()) << "one log alone cannot be undone";
    ASSERT_TRUE(writeAll(workFilePath(workfile::UndoOld), folder.toUtf8() + "/a.mp3\r\n"));
    window->files().refillFileList();
    EXPECT_TRUE(button("BitBtn5")->isEnabled());
}

TEST(RunReport, DialogScrollsThroughEveryLine)
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("/music/file %1.mp3: Permission denied").arg(i);
    QString listed;
    whenDialogOpens([&](QWidget *dialog) {
        auto *list = find<QPlainTextEdit>(dialog, "ReportList");
        listed = list->toPlainText();
        EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
        dialog->close();
    });
    QWidget parent;
    GuiPrompter(&parent).report(MessageKind::Warning, "300 files were not renamed:", lines);
    EXPECT_EQ(listed, lines.join('\n'));
}

TEST_F(RenamePageTest, ReactivationFillsTheListsFromTheEventLoop)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    activationDelayMs = 50;
    open();
    EXPECT_EQ(files()->count(), 0) << "nothing is read before the pause has passed";
    EXPECT_TRUE(window->isActivated());
    EXPECT_TRUE(QTest::qWaitFor([this] { return files()->count() == 1; }));

    // A deactivation during the pause leaves everything released.
    window->deactivate();
    window->reactivate();
    window->deactivate();
    for (QTimer *timer : window->findChildren<QTimer *>()) {
        if (timer->isActive() && timer->isSingleShot() && timer->interval() == 50) { // the pause
            EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }));
        }
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(files()->count(), 0);
    EXPECT_FALSE(window->isActivated());
}

TEST_F(RenamePageTest, PreviewTagEditorMarksTheSavedRowsModified)
{
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        add(name, values("T", "Band"));
    open();
    window->selectAll();

    QStringList info, okCaptions;
    whenModalOpens("Tpreview_dlg", [&](QWidget *preview) {
        auto *grid = find<QTableWidget>(preview, "StringGrid1");
        grid->clearSelection();
        grid->setSelectionMode(QAbstractItemView::MultiSelection);
        grid->selectRow(1);
        grid->selectRow(2);
        // The editor of the preview skips b and saves c.
        int shown = 0;
        onEachModal("TOKHelpRightDlg", [&](QWidget *editor) {
            okCaptions << find<QPushButton>(editor, "OKBtn")->text();
            find<QLineEdit>(editor, "Edit3")->setText("new");
            find<QPushButton>(editor, ++shown == 1 ? "Button5" : "OKBtn")->click();
            return shown == 1;
        });
        find<QPushButton>(preview, "Button3")->click();
        for (int r = 0; r < 3; ++r)
            info << grid->item(r, 1)->text();
        find<QPushButton>(preview, "CancelBtn")->click();
    });
    button("BitBtn1")->click();
    EXPECT_EQ(info, QStringList({info.value(0), info.value(0), "modified"})); // skipped: as it was
    EXPECT_EQ(okCaptions, QStringList(2, "&Save && next"));
    EXPECT_EQ(readTag(folder + "/c.mp3", {}).title, "new");
    EXPECT_EQ(readTag(folder + "/b.mp3", {}).title, "T");
}

// A rename run lets the window's events through for every file, however fast
// the disk: counted, not timed. The size comes from KAZ_BENCH_FILES
// (bench/gui_timings.sh asks for 20,000). The run locks the window's controls
// meanwhile.
TEST_F(LargeRun, RenameKeepsWindowAliveAndBarsMoving)
{
    const int count = qEnvironmentVariableIsSet("KAZ_BENCH_FILES") ? qEnvironmentVariableIntValue("KAZ_BENCH_FILES")
                                                                   : 1000;
    for (int i = 0; i < count; ++i)
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/f%1.mp3").arg(i),
                             mp3WithTag(values(QStringLiteral("Song %1").arg(i), "Band", "Record"), 1)));

    QList<int> barAtEvents;
    QProgressBar *bar = nullptr;
    bool running = false, locked = true;
    eventsProcessed = [&] {
        // The list filled again after the run lets events through too.
        if (!running || !window->runFrame().running())
            return;
        barAtEvents << bar->value();
        if (barAtEvents.size() % 100 == 1)
            for (const char *name : {"SpeedButton1", "BitBtn1", "BitBtn5", "RadioGroup1", "CheckBox1", "Button1",
                                     "MaskButton", "DirectoryListBox1"})
                locked = locked && !child<QWidget>(name)->isEnabled();
    };
    open();
    window->selectAll();
    bar = child<QProgressBar>("ProgressBar2");

    EventGaps gaps;
    QElapsedTimer clock;
    clock.start();
    gaps.start();
    running = true;
    button("SpeedButton1")->click();
    running = false;
    const qint64 gap = gaps.stop();
    const qint64 ms = clock.elapsed();

    EXPECT_TRUE(locked);
    EXPECT_TRUE(button("SpeedButton1")->isEnabled());
    EXPECT_TRUE(child<QWidget>("MaskButton")->isEnabled());
    EXPECT_EQ(names().size(), count);
    EXPECT_EQ(names().filter(QStringLiteral("Band - Record - Song")).size(), count);
    EXPECT_GE(barAtEvents.size(), count) << "events go through once per file at least";
    const int highest = barAtEvents.isEmpty() ? 0 : *std::max_element(barAtEvents.cbegin(), barAtEvents.cend());
    EXPECT_GE(highest, count - 1) << "the file bar went (nearly) all the way";
    EXPECT_EQ(bar->value(), 0) << "the bar is back at rest";
    std::printf("files: %d; rename run %lld ms, longest wait for events %lld ms, events went through %lld times, "
                "file bar reached %d\n",
                count, static_cast<long long>(ms), static_cast<long long>(gap),
                static_cast<long long>(barAtEvents.size()), highest);
}
