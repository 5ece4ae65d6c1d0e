// The tag editor opened from the main window: button, Alt+I, the list read
// again afterwards.
#include "editor/ui/TagEditorDialog.h"
#include "shell/ui/MainWindow.h"
#include "support/gui/PlaceholderPage.h"

#include "support/TestSupport.h"
#include "support/gui/ModalWatch.h"
#include "support/gui/TestWindow.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>


using namespace kaz;
using namespace kaz::test;

TEST(MainWindowTagEditor, ButtonAndAltIWalkTheSelectionAndTheListIsReadAgain)
{
    TempHome home;
    const QString folder = home.music();
    for (int i = 1; i <= 3; ++i)
        writeAll(folder + QStringLiteral("/%1.mp3").arg(i), mp3WithTag(values(QStringLiteral("Song %1").arg(i), QStringLiteral("Band"))));
    TestWindow test;
    test.open(folder, [](MainWindow &w) { w.addPage(placeholderPage(0)); });

    auto *list = test.child<QListWidget>("FileListBox1");
    auto *button = test.child<QToolButton>("TagButton");
    auto *item = test.child<QAction>("EditID3Tagfilename1");
    ASSERT_TRUE(list && button && item);
    EXPECT_EQ(item->text(), QStringLiteral("Edit ID3Tag/filename"));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::ALT | Qt::Key_I));
    list->clearSelection();
    EXPECT_FALSE(button->isEnabled());
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    EXPECT_TRUE(button->isEnabled());

    QStringList orders;
    onEachModal("TOKHelpRightDlg", [&](QWidget *dialog) {
        orders << dialog->findChild<QLabel *>(QStringLiteral("StatusBar2"))->text();
        if (orders.size() == 1)
            dialog->findChild<QLineEdit *>(QStringLiteral("Trackname"))->setText(QStringLiteral("renamed"));
        dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        return orders.size() < 2;
    });
    button->click();
    EXPECT_EQ(orders, (QStringList{QStringLiteral("1/2"), QStringLiteral("2/2")}));
    EXPECT_EQ(list->findItems(QStringLiteral("renamed.mp3"), Qt::MatchExactly).size(), 1);

    // Alt+I, and Exit on the first stops.
    list->clearSelection();
    list->item(0)->setSelected(true);
    list->item(1)->setSelected(true);
    int opened = 0;
    onEachModal("TOKHelpRightDlg", [&](QWidget *dialog) {
        ++opened;
        dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        return false;
    });
    item->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&opened] { return opened > 0 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(opened, 1);
}
