// The filename-to-tag grid off screen, by control names: filter and its
// question, editors and their limits, column edits, numbering, sorting,
// header exchange and the write question.
#include "fromname/ui/FilenameToTagDialog.h"
#include "fromname/ui/GridModel.h"

#include "support/QtPrinters.h"
#include "support/TestSupport.h"
#include "support/gui/FindChild.h"
#include "tags/TagIO.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace kaz;
using namespace kaz::test;

namespace {

class GridDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = home.music() + "/Queen/Innuendo";
        // Five names with "-", one with blanks only, one without any delimiter.
        for (const char *name : {"Headlong-Queen-Innuendo.mp3", "Bijou-Queen-Innuendo.mp3", "Ride-Queen-Innuendo.mp3",
                                 "Delilah-Queen-Innuendo.mp3", "Innuendo-Queen-Innuendo.mp3", "All God's People.mp3",
                                 "Solo.mp3"})
            paths << putFile(folder, name, mp3Frames(2));
        dialog = std::make_unique<FilenameToTagDialog>(Language::English, prompter);
        dialog->load(paths, folder + "/", {});
        dialog->show();
        grid = find<QTableView>(dialog.get(), "StringGrid1");
    }

    QString cell(int row, int column) const { return grid->model()->index(row, column).data().toString(); }
    QStringList column(int c) const
    {
        QStringList texts;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            texts << cell(r, c);
        return texts;
    }
    QLineEdit *editor() { return find<QLineEdit>(dialog.get(), "Edit2"); }
    // Types into the open cell editor and ends with the key.
    void type(const QString &text, Qt::Key key = Qt::Key_Return)
    {
        QTest::keyClicks(editor(), text);
        QTest::keyClick(editor(), key);
    }
    QAction *action(const char *menu, const char *name) { return find<QAction>(find<QMenu>(dialog.get(), menu), name); }
    int rowOf(const QString &name) const { return int(column(ColFilename).indexOf(name)); }

    TempHome home;
    QString folder;
    QStringList paths;
    ScriptedPrompter prompter;
    std::unique_ptr<FilenameToTagDialog> dialog;
    QTableView *grid = nullptr;
};

} // namespace

// The filter asks before a view change that would drop what was not kept,
// though nothing was typed yet, and a No leaves the view as it is.
TEST_F(GridDialog, OpensWithAllRowsAndFiltersAfterTheQuestion)
{
    EXPECT_EQ(grid->model()->rowCount(), 7);
    auto *filter = find<QComboBox>(dialog.get(), "ComboBox1");
    QStringList items;
    for (int i = 0; i < filter->count(); ++i)
        items << filter->itemText(i);
    EXPECT_EQ(items, QStringList({"All", "' '", "-", "Rest"})); // the blank shown quoted
    EXPECT_EQ(filter->itemData(1).toString(), " ");
    EXPECT_EQ(find<QLabel>(dialog.get(), "Label1")->text(), "../Queen/Innuendo/");
    EXPECT_EQ(dialog->selectedRows(), QList<int>{0});

    const int dash = filter->findText("-");
    dialog->filterChosen(dash);
    EXPECT_TRUE(prompter.shown.value(0).startsWith("You did not keep the changes."));
    dialog->editCell(0, ColComment);
    type("mine");
    prompter.answers = {Button::No};
    dialog->filterChosen(0);
    EXPECT_EQ(grid->model()->rowCount(), 5);
    EXPECT_EQ(filter->currentIndex(), dash);
    prompter.answers = {Button::Yes};
    dialog->filterChosen(0);
    EXPECT_EQ(grid->model()->rowCount(), 7);
    EXPECT_TRUE(column(ColComment).contains("mine")); // the hidden copy holds what the editor stored
}

TEST_F(GridDialog, EditorsKeepTheirLimitsAndTheGenreListStoresAtOnce)
{
    struct Case { int column; const char *typed; const char *stored; };
    const Case cases[] = {
        {ColYear, "19999", "1999"},
        {ColTrack, "1234", "123"},
        {ColComment, "A comment that is longer than thirty", "A comment that is longer than "},
        {ColTitle, "A title that is longer than thirty characters", "A title that is longer than thirty characters"},
    };
    for (const Case &c : cases) {
        dialog->editCell(1, c.column);
        ASSERT_TRUE(editor()->isVisible());
        type(c.typed);
        EXPECT_EQ(cell(1, c.column), QString(c.stored)) << c.column;
        // The editor moved on to the row below.
        EXPECT_TRUE(editor()->isVisible());
        type("x", Qt::Key_Escape);
        EXPECT_FALSE(editor()->isVisible());
        EXPECT_NE(cell(2, c.column), "x");
    }

    // The genre list stores at once; typing on a cell opens its editor.
    dialog->editCell(0, ColGenre);
    auto *genres = find<QComboBox>(dialog.get(), "ComboBox2");
    ASSERT_TRUE(genres->isVisible());
    const int rock = genres->findText("Rock");
    genres->setCurrentIndex(rock);
    Q_EMIT genres->activated(rock);
    EXPECT_EQ(cell(0, ColGenre), "Rock");
    EXPECT_FALSE(genres->isVisible());
    grid->setCurrentIndex(grid->model()->index(2, ColArtist));
    grid->setFocus();
    QTest::keyClicks(grid, "Z");
    ASSERT_TRUE(editor()->isVisible());
    type("appa", Qt::Key_Enter);
    EXPECT_EQ(cell(2, ColArtist), "Zappa");
}

// Exchanging and sorting are the table's own to test; here a press and a
// release on another header exchange the two, a click sorts, a drag exchanges.
TEST_F(GridDialog, HeaderPressAndReleaseExchangeAClickSortsADragExchanges)
{
    const QStringList made = column(ColFilename);
    QHeaderView *header = grid->horizontalHeader();
    const auto at = [&](int c) { return QPoint(header->sectionViewportPosition(c) + 20, header->height() / 2); };
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, at(ColTitle));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, at(ColAlbum));
    EXPECT_EQ(grid->model()->headerData(ColTitle, Qt::Horizontal).toString(), "Album");
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at(ColFilename));
    EXPECT_NE(column(ColFilename), made);
    action("PopupMenu1", "unsort1")->trigger();
    EXPECT_EQ(column(ColFilename), made);

    // Of a selected row dragged, the grabbed cell travels, not the first of
    // the row; a track number stays a track number.
    auto *model = dialog->model();
    const QString title = cell(1, ColTitle), artist = cell(1, ColArtist);
    model->setGrabbedCell(model->index(1, ColArtist));
    std::unique_ptr<QMimeData> track(model->mimeData({model->index(0, ColTrack)}));
    EXPECT_FALSE(model->canDropMimeData(track.get(), Qt::CopyAction, -1, -1, model->index(1, ColTitle)));
    std::unique_ptr<QMimeData> data(
        model->mimeData({model->index(1, ColTrack), model->index(1, ColTitle), model->index(1, ColArtist)}));
    model->dropMimeData(data.get(), Qt::CopyAction, -1, -1, model->index(1, ColTitle));
    EXPECT_EQ(cell(1, ColTitle), artist);
    EXPECT_EQ(cell(1, ColArtist), title);
}

// "Keep changes" asks: Yes writes the files selected (still selected after
// numbering and sorting), All writes every file, and with nothing selected
// it says so instead of writing nothing silently.
TEST_F(GridDialog, KeepChangesWritesTheSelectionOrAll)
{
    const auto keep = [&](Button answer) {
        prompter.answers = {answer};
        find<QPushButton>(dialog.get(), "BitBtn3")->click();
    };
    const auto path = [&](const char *name) -> QString { return folder + "/" + name + "-Queen-Innuendo.mp3"; };
    keep(Button::Abort);
    EXPECT_EQ(prompter.shown.value(0), "Generate tags for selected files? (Yes)\n\rFor all files press \"All\".");
    EXPECT_FALSE(taginfo(path("Ride")));

    // Which field a column goes to is the table's to test; here the rows
    // numbered and still selected after sorting are written.
    grid->clearSelection();
    for (const char *name : {"Ride-Queen-Innuendo.mp3", "Delilah-Queen-Innuendo.mp3"})
        grid->selectionModel()->select(grid->model()->index(rowOf(name), 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    action("PopupMenu3", "generateincreasingnumbers1")->trigger();
    Q_EMIT grid->horizontalHeader()->sectionClicked(ColFilename);
    keep(Button::Yes);
    EXPECT_EQ(readTag(path("Ride"), {}).track + readTag(path("Delilah"), {}).track, 1 + 2);
    EXPECT_EQ(cell(rowOf("Ride-Queen-Innuendo.mp3"), ColStatus), "Tag!");
    EXPECT_FALSE(taginfo(path("Bijou")));

    grid->clearSelection();
    const QByteArray before = readAll(path("Bijou"));
    keep(Button::Yes);
    ASSERT_EQ(prompter.shown.size(), 4);
    EXPECT_TRUE(prompter.shown[3].startsWith("No file is selected")) << prompter.shown[3].toStdString();
    EXPECT_EQ(readAll(path("Bijou")), before);

    keep(Button::All);
    EXPECT_EQ(cell(rowOf("Bijou-Queen-Innuendo.mp3"), ColStatus), "Tag!");
    EXPECT_EQ(prompter.shown.size(), 5); // no failure report
    // A kept view changes without a question.
    dialog->filterChosen(1); // the blank
    EXPECT_EQ(prompter.shown.size(), 5);
    EXPECT_EQ(column(ColFilename), QStringList{"All God's People.mp3"});
}

namespace {

// Stands in for the tag editor: shows nothing, keeps what it was handed,
// may rename and change the comment.
class RecordingEditor : public TagEditor
{
public:
    bool edit(QString &fileName, TagValues &values) override
    {
        shown = values;
        values.comment = "from editor";
        if (!renameTo.isEmpty() && QFile::rename(fileName, renameTo))
            fileName = renameTo;
        return true;
    }
    TagValues shown;
    QString renameTo;
};

} // namespace

TEST_F(GridDialog, OldAndNewID3TagOpenTheTagEditor)
{
    EXPECT_FALSE(action("PopupMenu2", "newID3Tag1")->isEnabled());
    RecordingEditor editor;
    dialog->setTagEditor(&editor);
    EXPECT_TRUE(action("PopupMenu2", "newID3Tag1")->isEnabled());
    const int row = rowOf("Headlong-Queen-Innuendo.mp3");
    dialog->exchangeHeaders(ColTitle, ColArtist);
    dialog->table().setCell(row, ColTrack, "5");
    editor.renameTo = folder + "/Headlong.mp3";
    dialog->openNewTag(row);
    // The row's values, title and artist by their headers.
    EXPECT_EQ(QStringList({editor.shown.title, editor.shown.artist, editor.shown.trackText}),
              QStringList({"Queen", "Headlong", "05"}));
    EXPECT_EQ(cell(row, ColStatus), "Tag!");
    EXPECT_EQ(cell(row, ColFilename), "Headlong.mp3");
    EXPECT_EQ(readTag(folder + "/Headlong.mp3", {}).comment, "from editor");
    // "old ID3Tag": the file's own tag.
    editor.renameTo.clear();
    dialog->openOldTag(row);
    EXPECT_EQ(QStringList({editor.shown.title, editor.shown.comment}), QStringList({"Queen", "from editor"}));
}

// Enter on the last row leaves no editor open; Escape then reaches the
// dialog, which asks before dropping what was not kept.
TEST_F(GridDialog, ClosingWithUnkeptChangesAsksFirst)
{
    QTest::keyClick(grid, Qt::Key_Escape); // nothing changed: closes without a question
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(prompter.shown.isEmpty());
    dialog->show();
    const int last = grid->model()->rowCount() - 1;
    dialog->editCell(last, ColAlbum);
    type("Greatest Hits");
    EXPECT_FALSE(editor()->isVisible());
    prompter.answers = {Button::No};
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_TRUE(prompter.shown.value(0).startsWith("You did not keep the changes."));
    EXPECT_EQ(cell(last, ColAlbum), "Greatest Hits");
    prompter.answers = {Button::Yes};
    find<QPushButton>(dialog.get(), "BitBtn4")->click();
    EXPECT_EQ(prompter.shown.size(), 2);
    EXPECT_FALSE(dialog->isVisible());
}
