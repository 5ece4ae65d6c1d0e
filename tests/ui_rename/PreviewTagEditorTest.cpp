// The preview opens the tag editor for its selected rows and marks the
// rows whose files were saved.
#include "rename/ui/RenamePage.h"
#include "widgets/HelpWindow.h"
#include "shell/ui/MainWindow.h"

#include "support/TestSupport.h"
#include "support/gui/ModalWatch.h"
#include "support/gui/TestWindow.h"
#include "tags/TagIO.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

void whenModalNamed(const char *name, std::function<void(QWidget *)> act)
{
    whenModalOpens(QLatin1String(name), std::move(act));
}

} // namespace

TEST(PreviewTagEditor, SavedRowsAreMarkedModified)
{
    TempHome home;
    const QString folder = home.music();
    for (const char *name : {"a.mp3", "b.mp3", "c.mp3"})
        writeAll(folder + QLatin1Char('/') + QLatin1String(name), mp3WithTag(values(QStringLiteral("T"), QStringLiteral("Band"))));
    TestWindow opened;
    MainWindow &window = opened.open(folder, [](MainWindow &w) { w.addPage(new RenamePage(w)); });
    window.selectAll();

    QStringList info;
    QString okCaption, helpShown;
    whenModalNamed("Tpreview_dlg", [&](QWidget *preview) {
        auto *grid = preview->findChild<QTableWidget *>(QStringLiteral("StringGrid1"));
        grid->clearSelection();
        grid->setSelectionMode(QAbstractItemView::MultiSelection);
        grid->selectRow(1);
        grid->selectRow(2);
        int shown = 0;
        std::function<void()> editorStep = [&] {
            whenModalNamed("TOKHelpRightDlg", [&](QWidget *editor) {
                ++shown;
                if (shown == 1) {
                    // The editor of the preview: "Save && next" for several rows, and a working Help.
                    okCaption = editor->findChild<QPushButton *>(QStringLiteral("OKBtn"))->text();
                    editor->findChild<QPushButton *>(QStringLiteral("HelpBtn"))->click();
                    if (auto *help = editor->findChild<HelpWindow *>()) {
                        helpShown = help->currentUrl().fragment();
                        help->close();
                    }
                    editor->findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText(QStringLiteral("new"));
                    editor->findChild<QPushButton *>(QStringLiteral("Button5"))->click(); // skip b
                    editorStep();
                } else {
                    editor->findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText(QStringLiteral("new"));
                    editor->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click(); // save c
                }
            });
        };
        editorStep();
        preview->findChild<QPushButton *>(QStringLiteral("Button3"))->click();
        for (int r = 0; r < 3; ++r)
            info << grid->item(r, 1)->text();
        preview->findChild<QPushButton *>(QStringLiteral("CancelBtn"))->click();
    });
    window.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(okCaption, QStringLiteral("&Save && next"));
    EXPECT_EQ(helpShown, QStringLiteral("context-30"));
    ASSERT_EQ(info.size(), 3);
    EXPECT_EQ(info[1], info[0]); // skipped: as it was
    EXPECT_EQ(info[2], QStringLiteral("modified"));
    EXPECT_EQ(readTag(folder + QStringLiteral("/c.mp3"), {}).title, QStringLiteral("new"));
    EXPECT_EQ(readTag(folder + QStringLiteral("/b.mp3"), {}).title, QStringLiteral("T"));
}
