#include "TagEditorCommand.h"

#include "MainWindow.h"

#include "browser/ui/FolderBrowser.h"
#include "editor/ui/EditTagsOneByOne.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace kaz {

TagEditorCommand::TagEditorCommand(MainWindow &window, FolderBrowser &browser)
    : QObject(&window)
    , m_window(window)
{
    m_button = browser.addTextButton("TagButton", QStringLiteral("ID3Tag"));
    m_button->setEnabled(false);
    connect(m_button, &QToolButton::clicked, this, &TagEditorCommand::openTagEditor);
    window.runFrame().addLocked(m_button);
    connect(&browser, &FolderBrowser::fileActivated, this, [this] {
        if (m_window.maskState() == MaskState::Mp3)
            openTagEditor();
    });

    auto *item = new QAction(&window);
    item->setObjectName(QStringLiteral("EditID3Tagfilename1"));
    item->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
    window.addAction(item); // the shortcut works with the menu closed
    connect(item, &QAction::triggered, this, [this] {
        if (m_button->isEnabled())
            openTagEditor();
    });
    window.menu(HostMenu::FileList)->insertAction(window.findChild<QAction *>(QStringLiteral("invertselection1")), item);
}

void TagEditorCommand::selectionChanged(const ListState &state)
{
    m_button->setEnabled(state.selected > 0 && state.mask == MaskState::Mp3 && !state.running);
}

void TagEditorCommand::openTagEditor()
{
    const QStringList names = m_window.files().selectedNames();
    if (names.isEmpty() || m_window.runFrame().running())
        return;
    QStringList paths;
    for (const QString &name : names)
        paths << QDir(m_window.files().currentFolder()).filePath(name);
    editTagsOneByOne(paths, programTagEditorSession(), programTagEditorOptions(m_window), &m_window);
    m_window.raise();
    m_window.activateWindow();
    m_window.files().refillFileList();
}

} // namespace kaz
