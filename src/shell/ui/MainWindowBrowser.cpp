// What the main window does with the folder browser: it tells the pages
// about the list and the selection, keeps the status line and opens the
// pop-up menus.
#include "MainWindow.h"

#include "MainMenus.h"
#include "Notebook.h"
#include "StatusRow.h"
#include "TagEditorCommand.h"

#include "browser/FolderRecovery.h"
#include "browser/ui/FolderBrowser.h"

#include "platform/Volumes.h"

#include <QProgressBar>

namespace kaz {

void MainWindow::connectBrowser()
{
    connect(m_browser, &FolderBrowser::listChanged, this, &MainWindow::notifyListChanged);
    connect(m_browser, &FolderBrowser::listFilled, this, &MainWindow::listFilled);
    connect(m_browser, &FolderBrowser::selectionChanged, this, &MainWindow::selectionChanged);
    connect(m_browser, &FolderBrowser::folderMenuRequested, this, [this](const QPoint &pos) {
        m_menus->popupFolderMenu(pos, !isDriveRoot(browserState().folder) && !m_runFrame.running());
    });
    connect(m_browser, &FolderBrowser::fileMenuRequested, this,
            [this](const QPoint &pos) { m_menus->popupFileMenu(pos); });
    connect(m_browser, &FolderBrowser::maskMenuRequested, this,
            [this](const QPoint &pos) { m_menus->popupMaskMenu(pos); });
}

void MainWindow::listFilled()
{
    m_menus->setFilterEnabled(browserState().mask == MaskState::Mp3);
    notifyListChanged();
    const BrowserState &state = browserState();
    if (state.count() > 0 && (!isDriveRoot(state.folder) || state.includeSubdirectories))
        m_status->showCount();
    else
        m_status->setStatusText(QString());
    updateSelectionControls();
}

void MainWindow::setFolderTreeMode(bool on)
{
    m_browser->setFolderTreeMode(on);
    m_status->showCountOfAll();
    updateSelectionControls();
}

void MainWindow::hideRenameEdit()
{
    if (m_browser)
        m_browser->hideRenameEdit();
}

ListState MainWindow::listState() const
{
    const BrowserState &b = browserState();
    ListState s;
    s.folder = b.folder;
    s.parent = parentFolder(b.folder);
    s.driveRoot = isDriveRoot(b.folder);
    s.count = b.count();
    s.selected = b.selectedCount();
    s.includeSubdirectories = b.includeSubdirectories;
    s.mask = b.mask;
    s.running = m_runFrame.running();
    s.afterActivation = m_activated;
    return s;
}

void MainWindow::notifyListChanged()
{
    const ListState state = listState();
    m_notebook->forEachPage([&state](NotebookPage &page) { page.listChanged(state); });
}

void MainWindow::updateMaskButtons()
{
    m_browser->updateMaskButtons();
    m_menus->setFilterEnabled(browserState().mask == MaskState::Mp3);
}

} // namespace kaz
