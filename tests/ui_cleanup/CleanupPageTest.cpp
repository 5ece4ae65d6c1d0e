// Page "1" off screen, by control names: the script editor, the live view,
// the options, saved rules, and a run with undo.
#include "cleanup/ui/CleanupPage.h"
#include "cleanup/ui/LiveView.h"

#include "cleanup/SavedRules.h"
#include "platform/Messages.h"
#include "support/QtPrinters.h"
#include "support/gui/WindowTest.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

using namespace kaz;
using namespace kaz::test;

namespace {

QAction *action(QMenu *menu, const QString &textOrName)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == textOrName || a->text() == textOrName)
            return a;
    return nullptr;
}

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

    void select(std::initializer_list<int> rows)
    {
        files()->clearSelection();
        for (int row : rows)
            files()->item(row)->setSelected(true);
    }

    QListWidget *files() { return child<QListWidget>("FileListBox1"); }
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
    select({0});
    ASSERT_EQ(view()->text(), "Song feat Band");

    // A selection dragged from the live view: a deleting string rule.
    view()->setSelection(5, 4);
    page->dropOnScript(false);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":");
    EXPECT_EQ(script()->cursorPosition(), script()->text().size() - 2);
    EXPECT_TRUE(script()->hasFocus() || !window->isActiveWindow());
    EXPECT_EQ(preview(), "Song  Band");
    page->dropOnScript(false);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":"); // no second copy

    // From the ruler: a range of positions, with the marks over it.
    view()->setSelection(2, 3);
    QTest::mousePress(child<QLabel>("StaticText1"), Qt::RightButton);
    EXPECT_EQ(drags, QList<bool>{true});
    page->dropOnScript(true);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":3-5\"\":");
    EXPECT_EQ(child<QLabel>("StaticText3")->text(), "3");
    EXPECT_EQ(child<QLabel>("StaticText4")->text(), "5");

    // A right click with nothing selected: the caret goes before the
    // character under the mouse, the mark stands over it, and the drop inserts.
    view()->deselect();
    const int width = view()->characterWidth();
    const int x = view()->boundaryX(0) + 4 * width + width / 2;
    QTest::mousePress(view(), Qt::RightButton, {}, QPoint(x, view()->height() / 2));
    EXPECT_EQ(view()->cursorPosition(), 4);
    EXPECT_EQ(drags.size(), 2);
    QLabel *first = child<QLabel>("StaticText3");
    EXPECT_EQ(first->text(), "5");
    EXPECT_EQ(first->mapTo(window.get(), QPoint(0, 0)).x(),
              view()->mapTo(window.get(), QPoint(view()->boundaryX(4), 0)).x());
    page->dropOnScript(false);
    EXPECT_EQ(script()->text(), "\"feat\"\"\":3-5\"\":5\"\":");
    EXPECT_EQ(script()->cursorPosition(), script()->text().size() - 2);
}

TEST_F(CleanupPageTest, DeleteLastAndTheEmptyNameMessage)
{
    add("abc.mp3");
    open();
    select({0});
    script()->setText("\"a\"\"A\":\"b\"\"B\":");
    EXPECT_EQ(preview(), "ABc");
    child<QToolButton>("SpeedButton7")->click();
    EXPECT_EQ(script()->text(), "\"a\"\"A\":");
    EXPECT_EQ(preview(), "Abc");
    action(child<QMenu>("PopupMenu4"), "deletelast1")->trigger();
    EXPECT_EQ(script()->text(), "");
    EXPECT_EQ(preview(), "abc");

    // A script that would empty the name: message, last entry gone.
    script()->setText("\"x\"\"y\":1-3\"\":");
    EXPECT_EQ(prompter.shown, QStringList{message(Msg::WholeNameRemoved, Language::English)});
    EXPECT_EQ(script()->text(), "\"x\"\"y\":");
    EXPECT_EQ(preview(), "abc");
}

TEST_F(CleanupPageTest, UpDownCyclesThroughExactlyTheSelectedFilesAndThePreviewFollows)
{
    for (const char *name : {"a_1.mp3", "b_2.mp3", "c_3.mp3", "d_4.mp3", "e_5.mp3"})
        add(name);
    open();
    select({1});
    EXPECT_FALSE(child<QWidget>("UpDown1")->isEnabled());
    select({0, 2, 4});
    ASSERT_TRUE(child<QWidget>("UpDown1")->isEnabled());
    script()->setText("\"_\"\"-\":");
    EXPECT_EQ(view()->text(), "a_1");
    EXPECT_EQ(preview(), "a-1");
    QStringList shown;
    auto *up = child<QToolButton>("UpDown1Up");
    for (int i = 0; i < 4; ++i) {
        up->click();
        shown << view()->text() + "=" + preview();
    }
    EXPECT_EQ(shown, (QStringList{"c_3=c-3", "e_5=e-5", "a_1=a-1", "c_3=c-3"}));
    child<QToolButton>("UpDown1Down")->click();
    child<QToolButton>("UpDown1Down")->click();
    EXPECT_EQ(view()->text(), "e_5");

    // Every option change recomputes the preview.
    check("clean1")->click();
    EXPECT_EQ(preview(), "E-5");
    check("clean2")->click();
    child<QSpinBox>("SpinEdit1")->setValue(3);
    EXPECT_EQ(preview(), "E_5");
    check("clean2")->click();
    check("clean4")->click();
    EXPECT_EQ(preview(), "E_5"); // the only "_" lies in the last word's limit
    check("clean4")->click();
    EXPECT_EQ(preview(), "E-5");
}

// Go! renames the listed files; an Undo that another file blocks says why
// and stays available, and the next Undo finishes once the way is free.
TEST_F(CleanupPageTest, GoAndABlockedUndo)
{
    add("x-a.mp3");
    add("x-b.mp3");
    add("x.txt"); // not listed under "*.mp3"
    const auto before = treeHashes(folder);
    open();
    window->selectAll();
    script()->setText("2-3\"\":");
    EXPECT_FALSE(button("BitBtn8")->isEnabled());
    button("BitBtn7")->click();
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(names(), (QStringList{"x (1).mp3", "x.mp3", "x.txt"}));
    EXPECT_EQ(files()->count(), 2);
    EXPECT_FALSE(window->runFrame().running());

    ASSERT_TRUE(writeAll(folder + "/x-a.mp3", "another file"));
    button("BitBtn8")->click();
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].startsWith("Not every file got its old name back (1 left for the next Undo):"));
    EXPECT_TRUE(prompter.shown[0].contains(".mp3 -> " + folder + "/x-a.mp3: another file stands at the old path"))
        << prompter.shown[0].toStdString();
    EXPECT_TRUE(names().contains("x-b.mp3"));
    ASSERT_TRUE(button("BitBtn8")->isEnabled());
    QFile::remove(folder + "/x-a.mp3");
    button("BitBtn8")->click();
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(treeHashes(folder), before);
    EXPECT_FALSE(button("BitBtn8")->isEnabled());
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
    ASSERT_NE(recording.name, nullptr);
    window->setPrompter(&recording);
    window->selectAll();
    script()->setText("bc:");
    EXPECT_EQ(view()->text(), "abcd");
    button("BitBtn7")->click();
    EXPECT_EQ(recording.shown, QStringList{message(Msg::WholeNameRemoved, Language::English)});
    EXPECT_EQ(recording.views, QStringList{"bc=bc"});
    EXPECT_EQ(names(), (QStringList{"ad.mp3", "bc.mp3"}));
    EXPECT_EQ(script()->text(), "");
    window->setPrompter(&prompter);
}

TEST_F(CleanupPageTest, SavedRulesMenuAndDialog)
{
    add("a_b.mp3");
    open();
    select({0});
    script()->setText("\"_\"\" \":");
    whenDialogOpens([](QWidget *dialog) {
        EXPECT_EQ(dialog->objectName(), "Tcleanup_savedel");
        EXPECT_FALSE(find<QPushButton>(dialog, "BitBtn2")->isEnabled()); // nothing to delete yet
        find<QLineEdit>(dialog, "Edit1")->setText("Underscores");
        find<QPushButton>(dialog, "BitBtn3")->click();
    });
    page->openSaveDelete();
    EXPECT_EQ(readAll(savedRulesPath()), "Underscores\r\n\"_\"\" \":\r\n");

    QMenu *menu = child<QMenu>("PopupMenu5");
    page->rebuildRulesMenu();
    ASSERT_EQ(menu->actions().first()->text(), "Underscores");
    // Choosing a rule the script already holds changes nothing but the caret.
    script()->setCursorPosition(0);
    menu->actions().first()->trigger();
    EXPECT_EQ(script()->text(), "\"_\"\" \":");
    EXPECT_EQ(script()->cursorPosition(), script()->text().size() - 2);
    script()->clear();
    menu->actions().first()->trigger();
    EXPECT_EQ(script()->text(), "\"_\"\" \":");
    EXPECT_EQ(preview(), "a b");

    // Delete through the dialog's menu, after the question.
    prompter.answers = {Button::Yes};
    whenDialogOpens([](QWidget *dialog) {
        auto *remove = find<QPushButton>(dialog, "BitBtn2");
        ASSERT_TRUE(remove->isEnabled());
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
    EXPECT_EQ(action(menu, "Underscores"), nullptr);
}

TEST_F(CleanupPageTest, PreviewOfALongNameWithALongScript)
{
    add(QString(251, QLatin1Char('a')) + ".mp3");
    open();
    select({0});
    QString longScript;
    for (int i = 0; i < 50; ++i)
        longScript += QStringLiteral("\"a%1\"\"b\":").arg(i % 10);
    script()->setText(longScript);
    EXPECT_EQ(preview().size(), 251);
}
