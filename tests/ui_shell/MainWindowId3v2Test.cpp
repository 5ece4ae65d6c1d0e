// The window on a collection tagged with ID3v2: the Properties item switches
// the tagged filter and the status line over, the file pop-up's item writes
// ID3v1 tags for the selection with a report, and every tag editor takes the
// tag source.
#include "fromname/ui/FilenameToTagDialog.h"
#include "fromname/ui/FromNamePage.h"
#include "rename/ui/RenamePage.h"
#include "shell/ui/MainWindow.h"

#include "support/Id3v2Fixture.h"
#include "support/QtPrinters.h"
#include "support/gui/WindowTest.h"

#include "tags/Id3v2.h"
#include "tags/TagIO.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

using namespace kaz;
using namespace kaz::test;

using MainWindowId3v2 = WindowTest;

TEST_F(MainWindowId3v2, TagSourceItemAndConversionOfTheSelection)
{
    const Id3v2Spec spec{.frames = {{"TIT2", QStringLiteral("Song")}, {"TPE1", QStringLiteral("Band")}}};
    writeAll(folder + "/1 v2.mp3", id3v2Tag(spec) + mp3Frames(2));
    writeAll(folder + "/2 v1.mp3", id3v2Tag(spec) + mp3WithTag(values("Old", "Band")));
    writeAll(folder + "/3 none.mp3", mp3Frames(2));
    const QByteArray v2Before = readAll(folder + "/1 v2.mp3");

    open();
    auto *item = child<QAction>("UseID3v2tag1");
    ASSERT_TRUE(item);
    ASSERT_TRUE(item->isCheckable());

    child<QAction>("FilterTagged1")->trigger();
    EXPECT_EQ(files()->count(), 1);
    item->trigger(); // as a click does
    EXPECT_TRUE(window->useId3v2());
    EXPECT_EQ(files()->count(), 2);
    files()->item(0)->setSelected(true);
    EXPECT_NE(child<QLabel>("StatusBar2")->text(), "NoTag!");
    child<QAction>("FilterAll1")->trigger();

    // The conversion leaves the file that has an ID3v1 tag and the one without
    // an ID3v2 tag, and says so.
    window->selectAll();
    QString report;
    whenModalOpens("Id3v2Report", [&](QWidget *dialog) {
        for (QLabel *label : dialog->findChildren<QLabel *>())
            report += label->text();
        dialog->close();
    });
    child<QAction>("ID3v1fromID3v21")->trigger();
    for (const char *line : {"ID3v1 tags written from ID3v2 tags: 1", "kept their ID3v1 tag: 1", "without ID3v2 tag: 1"})
        EXPECT_TRUE(report.contains(line)) << report.toStdString();
    EXPECT_TRUE(readAll(folder + "/1 v2.mp3").startsWith(v2Before));
    EXPECT_EQ(readTag(folder + "/1 v2.mp3", {}).longTitle, "Song");

    // Beside it, what tag writes do with ID3v2 tags: one of three.
    EXPECT_EQ(window->id3v2Write(), "update");
    EXPECT_TRUE(child<QAction>("WriteID3v2update1")->isChecked());
    child<QAction>("WriteID3v2add1")->trigger();
    EXPECT_EQ(window->id3v2Write(), "add");
    EXPECT_FALSE(child<QAction>("WriteID3v2update1")->isChecked());
    window->setLanguage(Language::German);
    EXPECT_EQ(child<QAction>("WriteID3v2off1")->text(), "aus (nur ID3v1 und Lyrics3)");
}

// With the setting on, the editor opened from the rename preview and from the
// file-name grid shows the ID3v2 values of a file without an ID3v1 tag and
// says where they came from; Save in the grid's editor writes them.
TEST_F(MainWindowId3v2, PreviewAndGridEditorsTakeTheTagSource)
{
    const Id3v2Spec spec{.version = 3, .encoding = Id3v2Spec::Utf16Bom,
                         .frames = {{"TIT2", QStringLiteral("Song")}, {"TPE1", QStringLiteral("Band")}}};
    writeAll(folder + "/Song-Band.mp3", id3v2Tag(spec) + mp3Frames(2));

    shown.open(folder, [](MainWindow &w) {
        w.addPage(new RenamePage(w));
        w.addPage(placeholderPage(1));
        w.addPage(new FromNamePage(w));
    });
    child<QAction>("UseID3v2tag1")->trigger();
    window->selectAll();

    // Title and, where shown, the source of the values, of each editor.
    QStringList seen;
    const auto look = [&seen](QWidget *editor) {
        auto *source = editor->findChild<QLabel *>(QStringLiteral("SourceLabel"));
        seen << editor->findChild<QLineEdit *>(QStringLiteral("Edit3"))->text() + "|"
                    + editor->findChild<QLabel *>(QStringLiteral("WritesLabel"))->text() + "|"
                    + (source->isVisibleTo(editor) ? source->text() : QString());
    };
    whenModalOpens(QStringLiteral("Tpreview_dlg"), [&](QWidget *preview) {
        whenModalOpens(QStringLiteral("TOKHelpRightDlg"), [&](QWidget *editor) {
            look(editor);
            editor->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        });
        preview->findChild<QTableWidget *>(QStringLiteral("StringGrid1"))->selectRow(0);
        preview->findChild<QPushButton *>(QStringLiteral("Button3"))->click();
        preview->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
    });
    child<QPushButton>("BitBtn1")->click();

    window->showPage(2);
    whenModalOpens(QStringLiteral("TfilenametoID3Tag"), [&](QWidget *grid) {
        whenModalOpens(QStringLiteral("TOKHelpRightDlg"), [&](QWidget *editor) {
            look(editor);
            editor->findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText("Song, with a title of over thirty");
            editor->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        });
        qobject_cast<FilenameToTagDialog *>(grid)->openOldTag(0);
        grid->findChild<QPushButton *>(QStringLiteral("BitBtn4"))->click();
    });
    child<QPushButton>("BitBtn6")->click();

    EXPECT_EQ(seen, QStringList(2, "Song|(ID3v1 + ID3v2.3)|values from the ID3v2.3 tag"));
    const TagRecord written = readTag(folder + "/Song-Band.mp3", {});
    EXPECT_TRUE(written.tagged);
    EXPECT_EQ(written.artist, "Band");
    // The grid editor's Save wrote the ID3v2 tag too, the title whole.
    EXPECT_EQ(id3v2::read(ReadOnlyFile(folder + "/Song-Band.mp3"))->title, "Song, with a title of over thirty");
}
