// Page "1" off screen, by control names: the script editor, the live view,
// the options, saved rules, and a run with undo.
#include "cleanup/ui/CleanupPage.h"
#include "cleanup/ui/LiveView.h"

#include "cleanup/SavedRules.h"
#include "platform/Messages.h"
#include "support/QtPrinters.h"
#include "support/gui/WindowTest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace kaz;
using namespace kaz::test;

namespace {

class CleanupPageTest : public WindowTest
{
protected:
    // Files of any content: the page looks at names only.
    void add(const QString &name) { ASSERT_TRUE(writeAll(folder + "/" + name, "data of " + name.toUtf8())); }

    void open()
    {
        page = WindowTest::open<CleanupPage>(1);
        page->setDragStarter([this](bool fromRuler) { drags.append(fromRuler); });
        window->showPage(1);
        // The stored default capitalises; these tests look at the rules alone.
        if (check("clean1")->isChecked())
            check("clean1")->click();
    }

    QLineEdit *script() { return child<QLineEdit>("Edit_b"); }
    LiveView *view() { return child<LiveView>("view1"); }
    QString preview() { return child<QLabel>("view2")->text(); }
    QCheckBox *check(const char *name) { return child<QCheckBox>(name); }

    CleanupPage *page = nullptr;
    QList<bool> drags;
};

} // namespace

TEST_F(CleanupPageTest, ThreeFormsOfADropNoSecondCopyAndTheCaret)
{
    add("Song feat Band.mp3");
    open();
    selectRows({0});
    ASSERT_EQ(view()->text(), "Song feat Band");

    // A selection dragged from the live view: a deleting string rule.
    view()->setSelection(5, 4);
    page->dropOnScript(false);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":");
    EXPECT_EQ(script()->cursorPosition(), script()->text().size() - 2);
    EXPECT_TRUE(script()->hasFocus() || !window->isActiveWindow());
    EXPECT_EQ(preview(), "Song  Band");
    page->dropOnScript(false); // no second copy
    EXPECT_EQ(script()->text(), "\"feat\"\"\":");

    // From the ruler: a range of positions, with the marks over it.
    view()->setSelection(2, 3);
    QTest::mousePress(child<QLabel>("StaticText1"), Qt::RightButton);
    EXPECT_EQ(drags, QList<bool>{true});
    page->dropOnScript(true);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":3-5\"\":");
    EXPECT_EQ(QString(child<QLabel>("StaticText3")->text() + child<QLabel>("StaticText4")->text()), "35");

    // A right click with nothing selected: the caret goes before the
    // character under the mouse, the mark stands over it, and the drop inserts.
    view()->deselect();
    const int width = view()->characterWidth();
    const int x = view()->boundaryX(0) + 4 * width + width / 2;
    QTest::mousePress(view(), Qt::RightButton, {}, QPoint(x, view()->height() / 2));
    EXPECT_EQ(view()->cursorPosition(), 4);
    EXPECT_EQ(drags.size(), 2);
    EXPECT_EQ(child<QLabel>("StaticText3")->text(), "5");
    EXPECT_EQ(child<QLabel>("StaticText3")->mapTo(window.get(), QPoint(0, 0)).x(),
              view()->mapTo(window.get(), QPoint(view()->boundaryX(4), 0)).x());
    page->dropOnScript(false);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":3-5\"\":5\"\":");
    EXPECT_EQ(script()->cursorPosition(), script()->text().size() - 2);
}

// The rules of the options are the computation's to test; here the arrows
// walk exactly the selected files and every change (script, option)
// recomputes the preview.
TEST_F(CleanupPageTest, UpDownCyclesThroughExactlyTheSelectedFilesAndThePreviewFollows)
{
    for (const char *name : {"a_1.mp3", "b_2.mp3", "c_3.mp3", "d_4.mp3", "e_5.mp3"})
        add(name);
    open();
    selectRows({1});
    EXPECT_FALSE(child<QWidget>("UpDown1")->isEnabled());
    selectRows({0, 2, 4});
    ASSERT_TRUE(child<QWidget>("UpDown1")->isEnabled());
    script()->setText("\"_\"\"-\":");
    QStringList shown{view()->text() + "=" + preview()};
    for (const char *arrow : {"UpDown1Up", "UpDown1Up", "UpDown1Up", "UpDown1Up", "UpDown1Down"}) {
        child<QToolButton>(arrow)->click();
        shown << view()->text() + "=" + preview();
    }
    EXPECT_EQ(shown, (QStringList{"a_1=a-1", "c_3=c-3", "e_5=e-5", "a_1=a-1", "c_3=c-3", "a_1=a-1"}));

    // Which entry goes is the script editing's to test; here the button and
    // the menu item reach it, and a script that would empty the name is told.
    script()->setText("\"a\"\"A\":\"_\"\"-\":");
    child<QToolButton>("SpeedButton7")->click();
    EXPECT_EQ(preview(), "A_1");
    child<QAction>("deletelast1")->trigger();
    EXPECT_EQ(script()->text(), "");
    script()->setText("\"x\"\"y\":1-3\"\":");
    EXPECT_EQ(prompter.shown, QStringList{message(Msg::WholeNameRemoved, Language::English)});
    EXPECT_EQ(script()->text(), "\"x\"\"y\":");
    EXPECT_EQ(preview(), "a_1");

    script()->setText("\"_\"\"-\":");

    check("clean1")->click();
    EXPECT_EQ(preview(), "A-1");
    check("clean2")->click();
    child<QSpinBox>("SpinEdit1")->setValue(3);
    EXPECT_EQ(preview(), "A_1");
}

// The undo's rules are its own to test; here Go! renames the listed files,
// and an Undo that another file blocks says why and stays available.
TEST_F(CleanupPageTest, GoAndABlockedUndo)
{
    for (const char *name : {"x-a.mp3", "x-b.mp3", "x.txt"}) // x.txt is not listed under "*.mp3"
        add(name);
    open();
    window->selectAll();
    script()->setText("2-3\"\":");
    EXPECT_FALSE(button("BitBtn8")->isEnabled());
    button("BitBtn7")->click();
    EXPECT_EQ(names(), (QStringList{"x (1).mp3", "x.mp3", "x.txt"}));
    EXPECT_EQ(files()->count(), 2);

    ASSERT_TRUE(writeAll(folder + "/x-a.mp3", "another file"));
    button("BitBtn8")->click();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith("Not every file got its old name back (1 left for the next Undo):"));
    EXPECT_TRUE(prompter.shown[0].contains(".mp3 -> " + folder + "/x-a.mp3: another file stands at the old path"))
        << prompter.shown[0].toStdString();
    EXPECT_EQ(readAll(folder + "/x-a.mp3"), "another file");
    EXPECT_TRUE(button("BitBtn8")->isEnabled());
}

// The live view follows the run, so that the "whole filename" message
// stands beside the name it is about.
TEST_F(CleanupPageTest, RunShowsEachFileAndTheMessageBesideItsName)
{
    add("abcd.mp3");
    add("bc.mp3");
    open();
    struct ViewAtMessage : ScriptedPrompter {
        QLineEdit *name = nullptr;
        QLabel *preview = nullptr;
        QStringList views;
        Button ask(MessageKind kind, ButtonSet buttons, const QString &text) override
        {
            views << name->text() + "=" + preview->text();
            return ScriptedPrompter::ask(kind, buttons, text);
        }
    } recording;
    recording.name = view();
    recording.preview = child<QLabel>("view2");
    window->setPrompter(&recording);
    window->selectAll();
    script()->setText("bc:");
    button("BitBtn7")->click();
    EXPECT_EQ(recording.shown, QStringList{message(Msg::WholeNameRemoved, Language::English)});
    EXPECT_EQ(recording.views, QStringList{"bc=bc"});
    EXPECT_EQ(names(), (QStringList{"ad.mp3", "bc.mp3"}));
    EXPECT_EQ(script()->text(), "");
    window->setPrompter(&prompter);
}

// Saving and deleting are the saved rules' own to test; here the dialog
// saves, the menu follows, a chosen rule fills the script once, and the
// dialog deletes after the question.
TEST_F(CleanupPageTest, SavedRulesMenuAndDialog)
{
    add("a_b.mp3");
    open();
    selectRows({0});
    script()->setText("\"_\"\" \":");
    whenDialogOpens([](QWidget *dialog) {
        EXPECT_FALSE(find<QPushButton>(dialog, "BitBtn2")->isEnabled()); // nothing to delete yet
        find<QLineEdit>(dialog, "Edit1")->setText("Underscores");
        find<QPushButton>(dialog, "BitBtn3")->click();
    });
    page->openSaveDelete();
    QMenu *menu = child<QMenu>("PopupMenu5");
    ASSERT_EQ(menu->actions().first()->text(), "Underscores");
    menu->actions().first()->trigger(); // already in the script: no second copy
    EXPECT_EQ(script()->text(), "\"_\"\" \":");
    script()->clear();
    menu->actions().first()->trigger();
    EXPECT_EQ(script()->text(), "\"_\"\" \":");
    EXPECT_EQ(preview(), "a b");

    prompter.answers = {Button::Yes};
    whenDialogOpens([](QWidget *dialog) {
        auto *remove = find<QPushButton>(dialog, "BitBtn2");
        remove->click();
        QMenu *records = find<QMenu>(dialog, "PopupMenu1");
        records->hide();
        ASSERT_EQ(records->actions().size(), 1);
        records->actions().first()->trigger();
        EXPECT_FALSE(remove->isEnabled());
        find<QPushButton>(dialog, "BitBtn1")->click();
    });
    page->openSaveDelete();
    EXPECT_TRUE(prompter.shown.last().endsWith("Really delete selected item?"));
    EXPECT_TRUE(loadSavedRules().isEmpty());
    for (const QAction *a : menu->actions())
        EXPECT_NE(a->text(), "Underscores");
}
