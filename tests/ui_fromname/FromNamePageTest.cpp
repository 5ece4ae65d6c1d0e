// Page "2" in the main window, by control names: its settings, the year
// boxes, the pattern buttons, the folder-names button, and Go! through the
// grid to the written tags.
#include "fromname/ui/FilenameToTagDialog.h"
#include "fromname/ui/FromNamePage.h"

#include "support/Id3v2Fixture.h"
#include "support/QtPrinters.h"
#include "support/gui/WindowTest.h"
#include "tags/TagIO.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>

using namespace kaz;
using namespace kaz::test;

namespace {

class FromNamePageTest : public WindowTest
{
protected:
    void SetUp() override { folder = home.music() + "/Queen/Innuendo/CD2"; }
    void open(Language language = Language::English) { page = WindowTest::open<FromNamePage>(2, language); }
    template <typename T>
    T *control(const char *name) { return find<T>(page, name); }

    // Answers the grid when it opens: notes its rows (and whatever also wants
    // noting), writes all when asked, leaves.
    void onGrid(int &rows, bool write = false, std::function<void()> note = {})
    {
        whenDialogOpens([&rows, write, note, this](QWidget *dialog) {
            rows = find<QTableView>(dialog, "StringGrid1")->model()->rowCount();
            if (note)
                note();
            if (write) {
                prompter.answers = {Button::All};
                find<QPushButton>(dialog, "BitBtn3")->click();
            }
            find<QPushButton>(dialog, "BitBtn4")->click();
        });
    }

    FromNamePage *page = nullptr;
};

} // namespace

// What the grid shows is the table's to test; here Go! locks the window
// while the grid is open, the grid's All writes the page's settings, and the
// menu entries hand over the files they name.
TEST_F(FromNamePageTest, GoAndTheEntriesShowTheGridAndAllWritesTheTags)
{
    writeAll(folder + "/01-Headlong-Queen.mp3", mp3Frames(2));
    writeAll(folder + "/02-Bijou-Queen.mp3", mp3WithTag(values("Bijou", "", "", "1991", "", "0", 12)));
    open();
    control<QCheckBox>("Check6")->setChecked(true);
    control<QLineEdit>("Edit6")->setText("Innuendo");
    int rows = 0;
    bool locked = false;
    onGrid(rows, true, [&] { locked = window->runFrame().running(); });
    control<QPushButton>("BitBtn6")->click();
    EXPECT_EQ(rows, 2);
    EXPECT_TRUE(locked);
    const TagRecord t = readTag(folder + "/01-Headlong-Queen.mp3", {});
    EXPECT_EQ(QStringList({t.trackText, t.title, t.artist, t.album}), QStringList({"01", "Headlong", "Queen", "Innuendo"}));
    EXPECT_EQ(readTag(folder + "/02-Bijou-Queen.mp3", {}).genre, 12); // kept from the file's tag
    EXPECT_FALSE(window->runFrame().running());

    // The file list's entry takes the selection, the folder pop-up's every file.
    selectRows({1});
    onGrid(rows);
    child<QAction>("FilenametoID3Tag1")->trigger();
    EXPECT_EQ(rows, 1);
    onGrid(rows);
    child<QAction>("extractID3Tagsfromfilesincurrentdirectory1")->trigger();
    EXPECT_EQ(rows, 2);
}

// The delimiter field splits every name at its text: the grid's filter
// list shows it and the rows hold the pieces; empty, each name has its own.
// The window keeps the field in its settings.
TEST_F(FromNamePageTest, DelimiterFieldSplitsEveryNameInTheGrid)
{
    writeAll(folder + "/12 - Queen - Innuendo - Headlong.mp3", mp3Frames(2));
    writeAll(folder + "/Queen - Innuendo - I'm Going Slightly Mad.mp3", mp3Frames(2));
    writeAll(folder + "/Bijou.mp3", mp3Frames(2));
    open();
    auto *splitAt = control<QLineEdit>("Edit10");
    EXPECT_EQ(splitAt->maxLength(), 3);
    control<QPushButton>("SpeedButton4")->click();
    for (const char *word : {"artist_button", "Album_button", "Title_button"})
        control<QPushButton>(word)->click();
    QStringList filters, rows;
    const auto openGrid = [&] {
        filters.clear();
        rows.clear();
        whenDialogOpens([&](QWidget *dialog) {
            auto *filter = find<QComboBox>(dialog, "ComboBox1");
            for (int i = 0; i < filter->count(); ++i)
                filters << filter->itemText(i);
            const QAbstractItemModel *grid = find<QTableView>(dialog, "StringGrid1")->model();
            for (int r = 0; r < grid->rowCount(); ++r) {
                QStringList cells;
                for (int c = ColTrack; c <= ColAlbum; ++c)
                    cells << grid->index(r, c).data().toString();
                rows << cells.join('|');
            }
            find<QPushButton>(dialog, "BitBtn4")->click();
        });
        control<QPushButton>("BitBtn6")->click();
    };
    QTest::keyClicks(splitAt, " - ");
    openGrid();
    EXPECT_EQ(filters, QStringList({"All", "' - '", "Rest"}));
    rows.sort();
    EXPECT_EQ(rows, QStringList({"12|Headlong|Queen|Innuendo", "|I'm Going Slightly Mad|Queen|Innuendo", "||Bijou|"}));

    splitAt->clear();
    openGrid();
    EXPECT_EQ(filters, QStringList({"All", "' '", "Rest"})); // the blank is the most frequent
    EXPECT_FALSE(rows.contains("12|Headlong|Queen|Innuendo"));

    KazSettings settings;
    settings.fromNameSplitAt = "_-_";
    window->loadSettings(settings, false);
    EXPECT_EQ(splitAt->text(), "_-_");
    splitAt->setText(" - ");
    window->storeSettings(settings);
    EXPECT_EQ(settings.fromNameSplitAt, " - ");
}

// With "Use ID3v2 tag where no ID3v1 tag" the grid takes a file's ID3v2 tag
// as its tag: "Tag!", and "if ID3Tag exists already" prefers its values.
TEST_F(FromNamePageTest, GridFollowsTheTagSource)
{
    Id3v2Spec spec;
    spec.frames = {{"TIT2", "Headlong"}, {"TPE1", "Queen"}, {"TALB", "Innuendo"}};
    writeAll(folder + "/01-Wrong title-Someone.mp3", id3v2Tag(spec) + mp3Frames(2));
    open();
    ASSERT_TRUE(control<QCheckBox>("Sync1")->isChecked());
    for (const bool id3v2 : {false, true}) {
        window->setUseId3v2(id3v2);
        QStringList row;
        whenDialogOpens([&row](QWidget *dialog) {
            const QAbstractItemModel *grid = find<QTableView>(dialog, "StringGrid1")->model();
            for (int column = 0; column < 6; ++column)
                row << grid->index(0, column).data().toString();
            find<QPushButton>(dialog, "BitBtn4")->click();
        });
        control<QPushButton>("BitBtn6")->click();
        const QStringList expected = id3v2 ? QStringList{"Tag!", "01-Wrong title-Someone.mp3", "01", "Headlong", "Queen", "Innuendo"}
                                           : QStringList{"", "01-Wrong title-Someone.mp3", "01", "Wrong title", "Someone", ""};
        EXPECT_EQ(row, expected) << id3v2;
    }
}

TEST_F(FromNamePageTest, YearBoxesExcludeEachOtherAndPatternButtonsToggleTheirWords)
{
    open();
    EXPECT_FALSE(control<QPushButton>("BitBtn6")->isEnabled());
    EXPECT_FALSE(control<QPushButton>("Button4")->isEnabled());
    auto *file = control<QCheckBox>("Check10");
    auto *system = control<QCheckBox>("Check11");
    auto *year = control<QLineEdit>("Edit8");
    EXPECT_TRUE(file->isChecked());
    QTest::keyClicks(year, "19845");
    EXPECT_EQ(year->text(), "1984");
    EXPECT_FALSE(file->isChecked());
    EXPECT_FALSE(system->isChecked());
    system->click();
    EXPECT_TRUE(system->isChecked());
    EXPECT_TRUE(year->text().isEmpty());
    file->click();
    EXPECT_TRUE(file->isChecked());
    EXPECT_FALSE(system->isChecked());
    control<QCheckBox>("Check8")->setChecked(true);
    EXPECT_EQ(page->settings().yearSource, YearSource::FileDate);

    // The pattern buttons toggle their words.
    auto *pattern = control<QLineEdit>("Edit3");
    EXPECT_EQ(pattern->text(), "title - artist - album - comment");
    control<QPushButton>("Title_button")->click();
    EXPECT_EQ(pattern->text(), "artist - album - comment");
    control<QPushButton>("Title_button")->click();
    EXPECT_EQ(pattern->text(), "artist - album - comment - title");
    control<QPushButton>("SpeedButton4")->click();
    EXPECT_EQ(pattern->text(), "");
    control<QPushButton>("artist_button")->click();
    control<QPushButton>("Title_button")->click();
    EXPECT_EQ(page->settings().pattern, QStringList({"artist", "title"}));
    window->setLanguage(Language::German);
    EXPECT_EQ(pattern->text(), "Interpret - Titel");
}

TEST_F(FromNamePageTest, FolderNamesButtonFillsAndSwaps)
{
    writeAll(folder + "/x.mp3", mp3Frames(1));
    open();
    auto *button = control<QPushButton>("Button4");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    const auto edits = [this] {
        QStringList texts;
        for (const char *name : {"Edit5", "Edit6", "Edit7"})
            texts << control<QLineEdit>(name)->text();
        return texts;
    };
    EXPECT_EQ(edits(), QStringList({"Queen", "Innuendo", "CD2"}));
    button->click(); // again: artist and album swap
    EXPECT_EQ(edits(), QStringList({"Innuendo", "Queen", "CD2"}));
    QAction *cd = find<QAction>(control<QMenu>("PopupMenu3"), "noticeCD1");
    EXPECT_TRUE(cd->isChecked());
    cd->trigger();
    EXPECT_FALSE(page->folderNameOptions().noticeCd);
    control<QLineEdit>("Edit7")->clear();
    button->click();
    EXPECT_EQ(edits(), QStringList({"Queen", "Innuendo", ""}));
}

TEST_F(FromNamePageTest, FieldLabelShowsTheFieldsName)
{
    open(Language::German);
    window->showPage(2);
    auto *label = control<QLineEdit>("Edit9");
    EXPECT_FALSE(label->isVisible());
    control<QLineEdit>("Edit5")->setFocus();
    QApplication::processEvents();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(control<QLineEdit>("Edit5"), &enter);
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->text(), "Interpret");
    EXPECT_TRUE(control<QLineEdit>("Edit5")->text().isEmpty()); // the name is no value
    QEvent focusOut(QEvent::FocusOut);
    QApplication::sendEvent(control<QLineEdit>("Edit5"), &focusOut);
    EXPECT_FALSE(label->isVisible());
}

// With the mask "*.*" Go! takes every listed file; a file that is no MP3
// file gets a tag only when the user says Ignore to the page-1 style question.
TEST_F(FromNamePageTest, FilesThatAreNoMp3FilesNeedTheUsersWord)
{
    writeAll(folder + "/Song-Band.mp3", mp3Frames(1));
    const QByteArray text("Liner notes - Band\n");
    writeAll(folder + "/Notes-Band.txt", text);
    open();
    window->setMaskState(MaskState::All);
    struct Case { Button answer; int rows; bool textTagged; }; // rows -1: no grid
    for (const Case &c : {Case{Button::Cancel, -1, false}, Case{Button::Yes, 1, false}, Case{Button::Ignore, 2, true}}) {
        prompter.shown.clear();
        int rows = -1;
        if (c.rows >= 0)
            onGrid(rows, true);
        prompter.answers = {c.answer};
        control<QPushButton>("BitBtn6")->click();
        ASSERT_FALSE(prompter.shown.isEmpty());
        EXPECT_EQ(prompter.shown[0], "1 file is not a mp3-file!\n\r\n\rShould KAZ only write tags into your mp3-files?");
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(readAll(folder + "/Notes-Band.txt") != text, c.textTagged);
        window->files().refillFileList();
    }
}
