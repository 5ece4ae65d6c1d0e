#include "rename/ui/RenamePage.h"
#include "rename/ui/CharactersDialog.h"
#include "rename/ui/NumberingDialog.h"
#include "rename/ui/RenamePreviewDialog.h"

#include "config/ConfigFile.h"
#include "shell/Startup.h"
#include "shell/ui/MainSession.h"
#include "support/gui/PlaceholderPage.h"
#include "widgets/RadioGroup.h"
#include "shell/ui/MainWindow.h"

#include "platform/Paths.h"
#include "support/TestSupport.h"
#include "support/gui/TestWindow.h"
#include "support/gui/ModalWatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

// Acts on the next modal dialog as soon as it is shown; fails the test
// when none opens.
void whenDialogOpens(std::function<void(QWidget *)> act)
{
    whenModalOpens(QString(), std::move(act));
}

template <typename T>
T *find(QObject *parent, const char *name)
{
    T *found = parent->findChild<T *>(QLatin1String(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

class RenamePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = home.music() + "/In";
        QDir().mkpath(folder);
    }

    void add(const QString &name, const TagValues &v) { ASSERT_TRUE(writeAll(folder + "/" + name, mp3WithTag(v))); }

    void open(Language language = Language::English)
    {
        shown.open(TestWindow::options(folder, language), [this](MainWindow &w) {
            page = new RenamePage(w);
            w.addPage(page);
            w.addPage(new PlaceholderPage("page1", "Cleanup filenames", "Dateinamen bereinigen", 7));
            w.addPage(new PlaceholderPage("page2", "Filename -> ID3Tag", "Dateiname -> ID3Tag", 2));
        });
    }

    QStringList names() { return QDir(folder).entryList(QDir::Files, QDir::Name); }
    RadioGroup *group(const char *name) { return find<RadioGroup>(window.get(), name); }
    QListWidget *files() { return find<QListWidget>(window.get(), "FileListBox1"); }
    QPushButton *button(const char *name) { return find<QPushButton>(window.get(), name); }

    TempHome home;
    QString folder;
    TestWindow shown;
    ScriptedPrompter &prompter = shown.prompter;
    std::unique_ptr<MainWindow> &window = shown.window;
    RenamePage *page = nullptr;
};

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
    EXPECT_EQ(find<QLabel>(window.get(), "StatusBar1")->text(), "Artist - Title");
    window->selectAll();
    ASSERT_TRUE(button("BitBtn1")->isEnabled());

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

    EXPECT_EQ(grid, QStringList({"|Abba - Waterloo.mp3", "|Abba - SOS.mp3", "|Abba - Fernando.mp3",
                                 "   !|! d.mp3"}));
    EXPECT_EQ(names(), QStringList({"! d.mp3", "Abba - Fernando.mp3", "Abba - Waterloo.mp3", "b.mp3"}));
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown.first().startsWith("1 files are not renamed !"));
    EXPECT_EQ(files()->count(), 4);
    EXPECT_FALSE(window->runFrame().running());

    ASSERT_TRUE(button("BitBtn5")->isEnabled());
    button("BitBtn5")->click();
    EXPECT_EQ(treeHashes(folder), before);
    EXPECT_FALSE(button("BitBtn5")->isEnabled());
}

TEST_F(RenamePageTest, CancelledPreviewKeepsFilesAndSelection)
{
    add("a.mp3", values("Waterloo", "Abba", "Waterloo LP"));
    add("b.mp3", values("SOS", "Abba", "ABBA"));
    const auto before = treeHashes(folder);
    open();
    files()->item(1)->setSelected(true);
    whenDialogOpens([](QWidget *dialog) { find<QPushButton>(dialog, "CancelBtn")->click(); });
    button("BitBtn1")->click();
    EXPECT_EQ(treeHashes(folder), before);
    EXPECT_EQ(window->selectedNames(), QStringList{"b.mp3"});
}

TEST_F(RenamePageTest, GoRunsInTheFrameAndLocksTheWindow)
{
    for (int i = 0; i < 30; ++i)
        add(QStringLiteral("%1.mp3").arg(i, 2, 10, QLatin1Char('0')),
            values(QStringLiteral("Song %1").arg(i), "Band", "Record"));
    open();
    window->selectAll();
    int checks = 0;
    bool locked = true;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (!window->runFrame().running())
            return;
        ++checks;
        for (const char *name : {"SpeedButton1", "BitBtn1", "BitBtn5", "RadioGroup1", "CheckBox1", "Button1",
                                 "MaskButton", "DirectoryListBox1"})
            locked = locked && !find<QWidget>(window.get(), name)->isEnabled();
    });
    probe.start(0);
    button("SpeedButton1")->click();
    probe.stop();
    EXPECT_GT(checks, 0) << "events are processed during the run";
    EXPECT_TRUE(locked);
    EXPECT_TRUE(button("SpeedButton1")->isEnabled());
    EXPECT_TRUE(find<QWidget>(window.get(), "MaskButton")->isEnabled());
    // The number comes from the old name where the tag has none.
    EXPECT_TRUE(names().contains("01 - Band - Record - Song 1.mp3"));
    EXPECT_EQ(names().filter("Band - Record").size(), 30);
    EXPECT_EQ(find<QProgressBar>(window.get(), "ProgressBar2")->value(), 0);
}

TEST_F(RenamePageTest, SelectionGroupsStayDistinct)
{
    open();
    struct Case {
        int start[3];
        const char *group;
        int item;
        int expect[3];
        const char *pattern;
    } cases[] = {
        {{0, 1, 2}, "RadioGroup1", 1, {1, 2, 0}, "Album - Title - Artist"},
        {{0, 1, 2}, "RadioGroup2", 0, {0, 1, 2}, "Artist - Album - Title"},
        {{2, 0, 3}, "RadioGroup2", 2, {2, 0, 3}, "Title - Artist"},
        // One pass only: the third group may end up equal to the second.
        {{0, 1, 2}, "RadioGroup3", 0, {0, 1, 1}, "Artist - Album - Album"},
        {{0, 2, 1}, "RadioGroup3", 2, {0, 2, 0}, "Artist - Title - Artist"},
    };
    for (const Case &c : cases) {
        RenameSettings s = page->settings();
        s.firstField = NameField(c.start[0]);
        s.secondField = NameField(c.start[1]);
        s.thirdField = NameField(c.start[2]);
        page->setSettings(s);
        group(c.group)->button(c.item)->click();
        const int got[3] = {group("RadioGroup1")->itemIndex(), group("RadioGroup2")->itemIndex(),
                            group("RadioGroup3")->itemIndex()};
        EXPECT_EQ(std::vector<int>(got, got + 3), std::vector<int>(c.expect, c.expect + 3))
            << c.group << " item " << c.item;
        EXPECT_EQ(find<QLabel>(window.get(), "StatusBar1")->text(), QLatin1String(c.pattern));
    }
}

TEST_F(RenamePageTest, SwitchesAndStatusExample)
{
    add("03 Waterloo.mp3", values("Waterloo", "Abba", "Arrival"));
    open();
    files()->item(0)->setSelected(true);
    EXPECT_EQ(find<QLabel>(window.get(), "StatusBar2")->text(),
              "03 - Abba - Arrival - Waterloo" + QString(13, ' '));

    auto *joliet = find<QCheckBox>(window.get(), "joliet");
    joliet->click();
    EXPECT_FALSE(group("RadioGroup3")->isEnabled());
    EXPECT_EQ(group("RadioGroup3")->itemIndex(), 3);
    EXPECT_TRUE(find<QLabel>(window.get(), "StatusBar1")->text().endsWith("  (Joliet)"));
    joliet->click();
    EXPECT_EQ(group("RadioGroup3")->itemIndex(), 2);
    EXPECT_EQ(find<QLabel>(window.get(), "StatusBar1")->text(), "Artist - Album - Title");

    auto *user = find<QCheckBox>(window.get(), "CheckBox2");
    auto *edit = find<QLineEdit>(window.get(), "Edit2");
    user->click();
    EXPECT_EQ(edit->text(), "Track");
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(group("RadioGroup1")->isEnabled());
    EXPECT_FALSE(joliet->isEnabled());
    user->click();
    EXPECT_EQ(edit->text(), "deactivated");
    EXPECT_TRUE(group("RadioGroup1")->isEnabled());

    window->setLanguage(Language::German);
    EXPECT_EQ(group("RadioGroup1")->title(), "1te Auswahl");
    EXPECT_EQ(group("RadioGroup1")->button(0)->text(), "Interpret");
    EXPECT_EQ(button("SpeedButton1")->text(), "&Start!");
    EXPECT_EQ(button("BitBtn5")->text(), QString::fromUtf8("&Rückg."));
    EXPECT_EQ(edit->text(), "deaktiviert");
    EXPECT_EQ(find<QLabel>(window.get(), "StatusBar1")->text(), "Interpret - Album - Titel");
}

TEST_F(RenamePageTest, NumberingDialogSavesOrRestores)
{
    add("a.mp3", values("Waterloo", "Abba", "Arrival", "1974", {}, "7"));
    open();
    auto *status = find<QLabel>(window.get(), "StatusBar2");
    QList<NumberingSettings> saved;
    QObject::connect(page, &RenamePage::numberingSaved, [&](const NumberingSettings &n) { saved << n; });

    // "before title", saved: the example follows while the dialog is open, on yellow.
    QString during;
    QColor colour;
    whenDialogOpens([&](QWidget *dialog) {
        find<RadioGroup>(dialog, "RadioGroup2")->button(2)->click();
        during = status->text();
        colour = status->palette().color(QPalette::Window);
        EXPECT_EQ(find<RadioGroup>(dialog, "RadioGroup1")->itemIndex(), -1);
        find<QPushButton>(dialog, "Button1")->click();
    });
    button("Button7")->click();
    EXPECT_EQ(during.trimmed(), "Abba - Arrival - 07 - Waterloo");
    EXPECT_EQ(colour, QColor(Qt::yellow));
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(saved.first().fixedPosition, -1);
    EXPECT_EQ(saved.first().relativePosition, 2);
    EXPECT_NE(status->palette().color(QPalette::Window), QColor(Qt::yellow));

    // "at end of filename", cancelled: the saved choice stays.
    whenDialogOpens([&](QWidget *dialog) {
        find<RadioGroup>(dialog, "RadioGroup1")->button(4)->click();
        find<QPushButton>(dialog, "Button2")->click();
    });
    button("Button7")->click();
    EXPECT_EQ(page->settings().numbering.relativePosition, 2);
    EXPECT_EQ(page->settings().numbering.fixedPosition, -1);
    EXPECT_EQ(status->text().trimmed(), "Abba - Arrival - 07 - Waterloo");
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
    ASSERT_EQ(answers.shown.size(), 1);
    EXPECT_EQ(answers.shown.first(), "following delimiter are no allowed\n\r \\ / : * ? \" < > | ");

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

TEST(PreviewDialog, DuplicatesExclusionAndProblemRows)
{
    TempHome home;
    PreviewTable table;
    const QString dir = home.music() + "/";
    table.append({{}, {}, "1.mp3", "Same.mp3", dir + "1.mp3"});
    table.append({{}, "NoID3Tag", "2.mp3", "! 2.mp3", dir + "2.mp3"});
    table.append({{}, {}, "3.mp3", "Same.mp3", dir + "3.mp3"});
    table.append({{}, {}, "4.mp3", "Same.mp3", dir + "4.mp3"});
    RenamePreviewDialog dialog(table, 1, Language::German);
    auto *grid = find<QTableWidget>(&dialog, "StringGrid1");
    EXPECT_EQ(grid->columnWidth(3), 350);
    EXPECT_EQ(grid->item(2, 3)->text(), "Same (2).mp3");
    EXPECT_EQ(grid->item(3, 3)->text(), "Same (3).mp3");
    EXPECT_EQ(grid->item(1, 0)->text(), "   !");
    EXPECT_TRUE(dialog.windowTitle().contains("1 Dateien werden nicht umbenannt"));

    // Excluding twice gives the old status back, also for a marked row.
    for (int row : {0, 1}) {
        const QString old = grid->item(row, 0)->text();
        grid->selectRow(row);
        dialog.toggleSelected();
        EXPECT_EQ(grid->item(row, 0)->text(), row == 0 ? "ausgeschlossen" : "! ausgeschlossen");
        dialog.toggleSelected();
        EXPECT_EQ(grid->item(row, 0)->text(), old);
    }
    dialog.showOnlyProblems();
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 2)->text(), "2.mp3");

    // "&Rename" leaves the excluded paths out of the list for the run.
    writeAll(programFolder() + "/fl.kaz", QString(dir + "1.mp3\r\n" + dir + "2.mp3\r\n" + dir + "3.mp3\r\n").toUtf8());
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
        EXPECT_EQ(find<RadioGroup>(&window, "RadioGroup1")->itemIndex(), 2);
        EXPECT_EQ(find<RadioGroup>(&window, "RadioGroup2")->itemIndex(), 1);
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
    EXPECT_EQ(stored.numberFixedPosition, -1);
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
    auto *create = find<QCheckBox>(window.get(), "directory_structure");
    auto *reorganize = find<QCheckBox>(window.get(), "reorganize_directory_structure");
    ASSERT_TRUE(create->isEnabled());
    create->click();
    reorganize->click();
    EXPECT_FALSE(create->isChecked());
    create->click();
    EXPECT_FALSE(reorganize->isChecked());
    EXPECT_TRUE(create->isChecked());
    button("SpeedButton1")->click();
    EXPECT_TRUE(QFile::exists(folder + "/Album/Abba/Arrival/Abba - Arrival - Song 0.mp3"));
    EXPECT_FALSE(create->isChecked());
    ASSERT_TRUE(button("BitBtn5")->isEnabled());
    button("BitBtn5")->click();
    EXPECT_EQ(treeHashes(folder), before);
}
