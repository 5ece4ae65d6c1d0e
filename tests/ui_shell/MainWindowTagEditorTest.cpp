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

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

// Acts on each modal tag editor as it opens, until act returns false.
void onEachEditor(std::function<bool(QWidget *)> act)
{
    onEachModal(QStringLiteral("TOKHelpRightDlg"), std::move(act));
}

} // namespace

TEST(MainWindowTagEditor, ButtonAndAltIWalkTheSelectionAndTheListIsReadAgain)
{
    TempHome home;
    const QString folder = home.music();
    for (int i = 1; i <= 3; ++i)
        writeAll(folder + QStringLiteral("/%1.mp3").arg(i), mp3WithTag(values(QStringLiteral("Song %1").arg(i), QStringLiteral("Band"))));
    TestWindow test;
    MainWindow &window = test.open(folder, [](MainWindow &w) {
        w.addPage(new PlaceholderPage(QStringLiteral("page0"), "ID3Tag -> filename", "ID3Tag -> Dateiname", 4));
    });

    auto *list = window.findChild<QListWidget *>(QStringLiteral("FileListBox1"));
    auto *button = window.findChild<QToolButton *>(QStringLiteral("TagButton"));
    auto *item = window.findChild<QAction *>(QStringLiteral("EditID3Tagfilename1"));
    ASSERT_TRUE(list && button && item);
    EXPECT_EQ(item->text(), QStringLiteral("Edit ID3Tag/filename"));
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::ALT | Qt::Key_I));
    list->clearSelection();
    EXPECT_FALSE(button->isEnabled());
    list->item(0)->setSelected(true);
    list->item(2)->setSelected(true);
    EXPECT_TRUE(button->isEnabled());

    QStringList orders;
    onEachEditor([&](QWidget *dialog) {
        orders << dialog->findChild<QLabel *>(QStringLiteral("StatusBar2"))->text();
        if (orders.size() == 1)
            dialog->findChild<QLineEdit *>(QStringLiteral("Trackname"))->setText(QStringLiteral("renamed"));
        dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
        return orders.size() < 2;
    });
    button->click();
    EXPECT_EQ(orders, (QStringList{QStringLiteral("1/2"), QStringLiteral("2/2")}));
    QStringList shown;
    for (int r = 0; r < list->count(); ++r)
        shown << list->item(r)->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("renamed.mp3"))) << shown.join(QLatin1Char(',')).toStdString();

    // Alt+I, and Exit on the first stops.
    list->clearSelection();
    list->item(0)->setSelected(true);
    list->item(1)->setSelected(true);
    int opened = 0;
    onEachEditor([&](QWidget *dialog) {
        ++opened;
        dialog->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
        return false;
    });
    item->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&opened] { return opened > 0 && !QApplication::activeModalWidget(); }));
    EXPECT_EQ(opened, 1);
}
