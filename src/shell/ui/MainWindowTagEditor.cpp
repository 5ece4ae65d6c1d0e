// "Edit ID3Tag/filename": the tag editor over the selected files, from the
// file pop-up (Alt+I), the "ID3Tag" button and a double click or Enter in
// the file list.
#include "MainWindow.h"

#include "browser/ui/FolderBrowser.h"
#include "editor/ui/EditTagsOneByOne.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace kaz {

void MainWindow::buildTagEditorControls()
{
    m_tagButton = new QToolButton(this);
    m_tagButton->setObjectName(QStringLiteral("TagButton"));
    m_tagButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_tagButton->setFocusPolicy(Qt::TabFocus);
    m_tagButton->setText(QStringLiteral("ID3Tag"));
    m_tagButton->setEnabled(false);
    connect(m_tagButton, &QToolButton::clicked, this, &MainWindow::openTagEditor);
    m_browser->addToolButton(m_tagButton);
    m_runFrame.addLocked(m_tagButton);
    connect(m_browser, &FolderBrowser::fileActivated, this, [this] {
        if (browserState().mask == MaskState::Mp3)
            openTagEditor();
    });
}

void MainWindow::addTagEditorMenuItem()
{
    auto *item = new QAction(this);
    item->setObjectName(QStringLiteral("EditID3Tagfilename1"));
    item->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
    addAction(item); // the shortcut works with the menu closed
    connect(item, &QAction::triggered, this, [this] {
        if (m_tagButton->isEnabled())
            openTagEditor();
    });
    m_filePopup->insertAction(findChild<QAction *>(QStringLiteral("invertselection1")), item);
}

void MainWindow::openTagEditor()
{
    const QStringList names = selectedNames();
    if (names.isEmpty() || m_runFrame.running())
        return;
    QStringList paths;
    for (const QString &name : names)
        paths << QDir(currentFolder()).filePath(name);
    editTagsOneByOne(paths, programTagEditorSession(), programTagEditorOptions(*this), this);
    raise();
    activateWindow();
    refillFileList();
}

} // namespace kaz
