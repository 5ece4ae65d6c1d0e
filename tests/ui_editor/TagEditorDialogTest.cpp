// The tag editor dialog offscreen, driven by its control names.
#include "editor/ui/BeforeWriteTagEditor.h"
#include "editor/ui/TagEditorDialog.h"
#include "editor/ui/EditTagsOneByOne.h"

#include "editor/EditorFixtures.h"
#include "support/QtPrinters.h"
#include "support/gui/FindChild.h"
#include "support/gui/RecordingPlayer.h"
#include "tags/TagIO.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace kaz;
using namespace kaz::test;

namespace {

// Acts on each editor of a sequence as soon as it is shown.
void onEachEditor(TagEditorOptions &options, std::function<void(TagEditorDialog &)> act)
{
    options.beforeShow = [act](TagEditorDialog &dialog) {
        QTimer::singleShot(0, &dialog, [act, &dialog] { act(dialog); });
    };
}

class TagEditorDialogTest : public ::testing::Test
{
protected:
    std::unique_ptr<TagEditorDialog> openDialog(const QString &path, Language language = Language::English)
    {
        const TagContext context{.prompter = &prompter, .language = language};
        auto dialog = std::make_unique<TagEditorDialog>(session, context, player);
        dialog->setBeep([this] { ++beeps; });
        dialog->setSequence(1, 1);
        dialog->openFile(path);
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        return dialog;
    }

    TempHome home;
    QString dir = home.music();
    ScriptedPrompter prompter;
    TagEditorSession session;
    RecordingPlayer player;
    int beeps = 0;
};

} // namespace

TEST_F(TagEditorDialogTest, LongFieldsAndTheNameFieldFollowTypingARenameHasAnUndo)
{
    const QString song = putSong(dir, "song.mp3", values("T", "A"));
    putSong(dir, "taken.mp3", values("X", "Y"));
    auto dialog = openDialog(song);
    auto *header = find<QLabel>(dialog.get(), "Label7");
    auto *artist = find<QLineEdit>(dialog.get(), "Edit1");
    auto *label = find<QLabel>(dialog.get(), "Label2");
    artist->setFocus();
    artist->selectAll();
    QTest::keyClicks(artist, QString(34, QLatin1Char('b')));
    EXPECT_EQ(label->text(), "Artist (34) extended");
    EXPECT_EQ(header->text(), "ID3Tag / Lyrics3 V2.0 (extended Tag)");
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(artist, Qt::Key_Backspace);
    EXPECT_EQ(header->text(), "ID3Tag");

    // The name field refuses forbidden characters; a rename takes a free name and can be undone.
    auto *name = find<QLineEdit>(dialog.get(), "Trackname");
    auto *undo = find<QPushButton>(dialog.get(), "Button4");
    name->setFocus();
    QFocusEvent focusIn(QEvent::FocusIn);
    QApplication::sendEvent(name, &focusIn); // offscreen focus is not always delivered
    name->end(false);
    QTest::keyClick(name, Qt::Key_Question);
    EXPECT_EQ(name->text(), "song");
    EXPECT_EQ(beeps, 1);
    EXPECT_FALSE(undo->isEnabled());

    name->setText("taken");
    EXPECT_TRUE(undo->isEnabled());
    find<QAbstractButton>(dialog.get(), "BitBtn3")->click();
    EXPECT_EQ(dialog->path(), dir + "/taken (1).mp3");
    EXPECT_TRUE(player.calls.contains("stop")); // the player let go of the file first
    undo->click();
    EXPECT_EQ(name->text(), "song");
    EXPECT_TRUE(QFileInfo::exists(song));

    const QString bare = putSong(dir, "b.mp3", {}, false);
    auto german = openDialog(bare, Language::German);
    EXPECT_EQ(find<QLabel>(german.get(), "Label7")->text(), "ID3Tag nicht vorhanden!");
    EXPECT_FALSE(find<QPushButton>(german.get(), "BitBtn2")->isEnabled());
}

// What is carried over is the model's to test; here the sequence shows its
// place, offers the sampler box and "&Save && next" (as the preview asks) for
// more than one file only, and stops at Exit.
TEST_F(TagEditorDialogTest, SequenceShowsItsPlaceOffersTheSamplerAndStopsAtExit)
{
    QStringList files;
    for (int i = 1; i <= 3; ++i)
        files << putSong(dir, QStringLiteral("%1.mp3").arg(i),
                         values(QStringLiteral("Title %1").arg(i), "Artist", QStringLiteral("Album %1").arg(i)));
    int shown = 0;
    TagEditorOptions options;
    options.prompter = &prompter;
    options.language = Language::English;
    options.saveAndNext = true;
    onEachEditor(options, [&](TagEditorDialog &dialog) {
        ++shown;
        EXPECT_EQ(find<QLabel>(&dialog, "StatusBar2")->text(), QStringLiteral("%1/3").arg(shown));
        EXPECT_EQ(find<QPushButton>(&dialog, "OKBtn")->text(), "&Save && next");
        auto *sampler = find<QCheckBox>(&dialog, "CheckBox1");
        EXPECT_TRUE(sampler->isEnabled());
        // What the model carries over is shown.
        EXPECT_TRUE(shown != 2 || find<QLineEdit>(&dialog, "Edit2")->text() == "Album 1");
        sampler->setChecked(true);
        find<QPushButton>(&dialog, shown == 2 ? "CancelBtn" : "Button6")->click();
    });
    EditorSequenceResult result = editTagsOneByOne(files, session, options);
    EXPECT_EQ(shown, 2);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.saved, QList<qsizetype>{0});

    onEachEditor(options, [](TagEditorDialog &dialog) {
        EXPECT_FALSE(find<QCheckBox>(&dialog, "CheckBox1")->isEnabled());
        EXPECT_EQ(find<QPushButton>(&dialog, "OKBtn")->text(), "&Save");
        find<QPushButton>(&dialog, "Button5")->click();
    });
    editTagsOneByOne({files[0]}, session, options);
}

// Insertion and stripping are the model's to test; here the menu reopens in
// place for the next choice, the buttons follow, and Enter walks the fields.
TEST_F(TagEditorDialogTest, ClipboardMenuStripAndEnterOrder)
{
    const QString a = putSong(dir, "a.mp3", values("TA", "AA", "LA"));
    auto dialog = openDialog(a);
    auto *insert = find<QPushButton>(dialog.get(), "Button2");
    EXPECT_FALSE(insert->isEnabled());
    find<QPushButton>(dialog.get(), "Button1")->click();
    EXPECT_TRUE(insert->isEnabled());

    auto *menu = find<QMenu>(dialog.get(), "PopupMenu2");
    Q_EMIT insert->customContextMenuRequested(QPoint(10, 10));
    ASSERT_TRUE(menu->isVisible());
    const QPoint where = menu->pos();
    QStringList texts;
    for (QAction *item : menu->actions())
        texts << (item->isSeparator() ? QStringLiteral("-") : item->text() + (item->isChecked() ? QStringLiteral("+") : QString()));
    EXPECT_EQ(texts, (QStringList{"Title", "Artist+", "Album+", "Comment+", "Year+", "Genre+", "-", "Exit"}));
    find<QAction>(menu, "Artist1")->trigger();
    menu->hide();
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    EXPECT_EQ(menu->pos(), where);
    menu->hide();
    EXPECT_FALSE(session.clipboard.isChosen(TagClipboard::Artist));

    auto *strip = find<QPushButton>(dialog.get(), "BitBtn2");
    auto *unstrip = find<QPushButton>(dialog.get(), "BitBtn1");
    strip->click();
    EXPECT_FALSE(find<QComboBox>(dialog.get(), "ComboBox1")->isEnabled());
    EXPECT_TRUE(strip->isHidden());
    EXPECT_FALSE(unstrip->isHidden());
    unstrip->click();
    EXPECT_EQ(find<QLineEdit>(dialog.get(), "Edit3")->text(), "TA");
    EXPECT_FALSE(strip->isHidden());
    EXPECT_TRUE(unstrip->isHidden());

    auto *track = find<QSpinBox>(dialog.get(), "SpinEdit1");
    track->setValue(300);
    EXPECT_EQ(track->value(), 0); // no track byte beyond 255

    const char *order[] = {"Edit3", "Edit1", "Edit2", "Edit4", "Edit5", "ComboBox1", "Edit3"};
    for (int i = 0; i + 1 < 7; ++i) {
        QTest::keyClick(find<QWidget>(dialog.get(), order[i]), Qt::Key_Return);
        EXPECT_TRUE(find<QWidget>(dialog.get(), order[i + 1])->hasFocus()) << order[i];
    }
    EXPECT_TRUE(dialog->isVisible()); // Enter in the fields does not save
}

// The bar's arithmetic is tested with the editor's texts; here the buttons
// and the Alt keys reach the player, and without one they are harmless.
TEST_F(TagEditorDialogTest, PlayerControlsAndPositionBar)
{
    const QString a = putSong(dir, "a.mp3", values("T", "A"));
    auto dialog = openDialog(a);
    auto *play = find<QAbstractButton>(dialog.get(), "SpeedButton1");
    auto *bar = find<QSlider>(dialog.get(), "TrackBar1");
    play->click();
    EXPECT_EQ(player.calls, (QStringList{"clear", "add " + a, "start"}));
    EXPECT_TRUE(play->isHidden());

    player.lengthMs = 200000;
    player.positionMs = 100000;
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->value() == 25; })) << bar->value();
    QTest::keyClick(dialog.get(), Qt::Key_Right, Qt::AltModifier);
    auto *time = find<QLabel>(dialog.get(), "Label10");
    EXPECT_TRUE(QTest::qWaitFor([time] { return time->text() == "1:44/3:20"; })) << time->text().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([this] { return player.calls.contains("jump 104000"); }));
    QTest::keyClick(dialog.get(), Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(player.calls.contains("pause"));
    EXPECT_FALSE(play->isHidden());
    QTest::keyClick(dialog.get(), Qt::Key_Up, Qt::AltModifier);
    EXPECT_TRUE(player.calls.contains("stop"));
    EXPECT_EQ(bar->value(), 0);

    TagContext context;
    TagEditorDialog quiet(session, context, nullMediaPlayer());
    quiet.openFile(a);
    for (const char *name : {"SpeedButton1", "SpeedButton3", "SpeedButton2"})
        find<QAbstractButton>(&quiet, name)->click();
    find<QSlider>(&quiet, "TrackBar1")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCoreApplication::processEvents(); // the bar's move schedules the jump
    for (QTimer *timer : quiet.findChildren<QTimer *>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(!timer->isActive() || QSignalSpy(timer, &QTimer::timeout).wait(5000));
    EXPECT_EQ(readAll(a).size(), mp3Frames(3).size() + 128);
}

TEST_F(TagEditorDialogTest, OpenedByTheTagWriterShowsHandedValuesAndLetsItWrite)
{
    const QString a = putSong(dir, "a.mp3", values("old", "A"));
    TagEditorOptions options;
    onEachEditor(options, [](TagEditorDialog &dialog) {
        EXPECT_EQ(find<QLineEdit>(&dialog, "Edit3")->text(), "from the name");
        find<QLineEdit>(&dialog, "Trackname")->setText("renamed");
        find<QLineEdit>(&dialog, "Edit2")->setText(QString(33, QLatin1Char('b')));
        find<QPushButton>(&dialog, "OKBtn")->click();
    });
    BeforeWriteTagEditor editor(session, options);
    TagOverride override;
    override.title = "from the name";
    const TagContext context{.override = &override, .editor = &editor};
    QString name = a;
    TagWriteResult written;
    get_id3tag(name, true, context, &written);
    EXPECT_EQ(name, dir + "/renamed.mp3");
    EXPECT_EQ(readTag(name, {}).title, "from the name");
    EXPECT_EQ(readTag(name, {}).longAlbum, QString(33, QLatin1Char('b')));
    EXPECT_TRUE(readAll(name).startsWith(mp3Frames(3)));
}

// What the editor keeps beyond one dialog: the clipboard lives as long as
// the program, the header follows the folder names, and Play plays the
// editor's file even after a pause of another song.
TEST_F(TagEditorDialogTest, ClipboardHeaderAndPlayFollowTheEditorsFile)
{
    const QString song = putSong(dir + "/Queen/Innuendo", "a.mp3", values(QString(40, 't'), "A", "L"));
    {
        auto first = openDialog(song);
        find<QPushButton>(first.get(), "Button1")->click();
        find<QPushButton>(first.get(), "CancelBtn")->click();
    }
    player.playing = true;
    auto dialog = openDialog(song);
    EXPECT_TRUE(find<QPushButton>(dialog.get(), "Button2")->isEnabled());
    find<QLineEdit>(dialog.get(), "Edit3")->setText("short");
    find<QPushButton>(dialog.get(), "Button3")->click(); // artist and album from "Queen/Innuendo"
    EXPECT_EQ(find<QLineEdit>(dialog.get(), "Edit1")->text(), "Queen");
    EXPECT_EQ(find<QLabel>(dialog.get(), "Label7")->text(), "ID3Tag");

    // The player plays another song; the user pauses it, then presses Play;
    // then a pause of the editor's own file, which Play resumes.
    player.calls.clear();
    for (int i = 0; i < 2; ++i) {
        find<QAbstractButton>(dialog.get(), "SpeedButton3")->click();
        find<QAbstractButton>(dialog.get(), "SpeedButton1")->click();
    }
    EXPECT_EQ(player.calls, (QStringList{"pause", "clear", "add " + song, "start", "pause", "pause"}));
}

// What a field shows is what Save stores, and nothing stays behind: a track
// of 33 or more (a character the comment would otherwise end in) goes when
// its field is emptied, an emptied year takes typing again, the length
// labels go with a strip, and "Save and copy" values end with their run.
TEST_F(TagEditorDialogTest, EmptiedFieldsSaveAsEmptyAndNothingStaysBehind)
{
    QByteArray bytes = mp3WithTag(values("T", "A", "L", "1999", "Nice", "65"));
    const QString song = putFile(dir, "song.mp3", bytes);
    auto dialog = openDialog(song);
    auto *track = find<QSpinBox>(dialog.get(), "SpinEdit1");
    auto *comment = find<QLineEdit>(dialog.get(), "Edit4");
    auto *year = find<QLineEdit>(dialog.get(), "Edit5");
    EXPECT_EQ(comment->text(), "Nice");
    EXPECT_EQ(track->value(), 65);
    auto *trackText = track->findChild<QLineEdit *>();
    trackText->selectAll();
    QTest::keyClick(trackText, Qt::Key_Backspace);
    year->clear();
    find<QPushButton>(dialog.get(), "OKBtn")->click();
    TagRecord saved = readTag(song, {});
    EXPECT_EQ(QStringList({saved.trackText, saved.comment}), QStringList({"0", "Nice"}));

    dialog = openDialog(song);
    year = find<QLineEdit>(dialog.get(), "Edit5");
    EXPECT_EQ(year->text(), "");
    QTest::keyClicks(year, "2001");
    EXPECT_EQ(year->text(), "2001");

    auto *artist = find<QLineEdit>(dialog.get(), "Edit1");
    artist->setFocus();
    QTest::keyClicks(artist, QString(33, QLatin1Char('b')));
    ASSERT_EQ(find<QLabel>(dialog.get(), "Label2")->text(), "Artist (34) extended");
    find<QPushButton>(dialog.get(), "BitBtn2")->click();
    EXPECT_EQ(find<QLabel>(dialog.get(), "Label2")->text(), "Artist");
    dialog.reset();

    // "Save and copy" on the first file, Exit on the second: the next run
    // shows an unrelated file's own tag.
    const QString a = putSong(dir, "a.mp3", values("One", "First", "Album 1", "1990", "c1"));
    const QString b = putSong(dir, "b.mp3", values("Two", "Second", "Album 2"));
    const QString c = putSong(dir, "c.mp3", values("Three", "Third", "Album 3", "2003"));
    TagEditorOptions options;
    options.prompter = &prompter;
    int shown = 0;
    onEachEditor(options, [&](TagEditorDialog &editor) {
        ++shown;
        if (shown == 2) {
            EXPECT_EQ(find<QLineEdit>(&editor, "Edit2")->text(), "Album 1"); // within the run
        }
        find<QPushButton>(&editor, shown == 1 ? "Button6" : "CancelBtn")->click();
    });
    editTagsOneByOne({a, b}, session, options);
    onEachEditor(options, [](TagEditorDialog &editor) {
        EXPECT_EQ(QStringList({find<QLineEdit>(&editor, "Edit1")->text(), find<QLineEdit>(&editor, "Edit2")->text(),
                               find<QLineEdit>(&editor, "Edit5")->text()}),
                  QStringList({"Third", "Album 3", "2003"}));
        find<QPushButton>(&editor, "OKBtn")->click();
    });
    editTagsOneByOne({c}, session, options);
    EXPECT_EQ(readTag(c, {}).album, "Album 3");
}
