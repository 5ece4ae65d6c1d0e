// The deactivate / re-activate cycle: while the program is in the
// background it keeps no folder of the user open, and when it comes back it
// finds the folder again, also under a new name.
#include "MainWindow.h"

#include "MainMenus.h"
#include "Notebook.h"

#include "platform/Messages.h"
#include "browser/FolderRecovery.h"
#include "browser/ui/FolderBrowser.h"

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <QLabel>
#include <QStackedWidget>
#include <QTabBar>

namespace kaz {

void MainWindow::setDeactivatedView(bool deactivated)
{
    m_browserStack->setCurrentIndex(deactivated ? 1 : 0);
    m_notebook->forEachPage([deactivated](NotebookPage &page) { page.setDeactivated(deactivated); });
    m_menus->setSettingsMenusEnabled(!deactivated && !m_runFrame.running());
}

void MainWindow::deactivate()
{
    if (m_runFrame.running() || !m_activated)
        return;
    m_activated = false;
    m_rememberedSelection = browserState().selectedRows;
    hideRenameEdit();
    m_largeLabel->setText(QStringLiteral("DEACTIVATED"));
    setDeactivatedView(true);
    m_browser->rememberLastFolder();
    m_browser->folderUpdate();
    // Nothing of the user's stays open while the program is in the background.
    m_browser->release();
}

void MainWindow::reactivate()
{
    if (m_activated)
        return;
    m_activated = true;
    if (m_runFrame.running()) {
        setDeactivatedView(false);
        return;
    }
    m_largeLabel->setText(QStringLiteral("INITIALIZATION"));
    reloadConfiguration();
    if (m_notebook->takeTabClicked())
        showPage(m_notebook->currentPage());
    // The lists are filled after a short pause, from the event loop, so that
    // the events of coming back (focus, a click on a tab) are handled first.
    if (m_options.activationDelayMs > 0)
        m_activationTimer->start(m_options.activationDelayMs);
    else
        finishReactivation();
}

void MainWindow::finishReactivation()
{
    // A deactivation during the pause sent us back.
    if (!m_activated || m_runFrame.running())
        return;
    const FolderRecovery found = recoverFolder(browserState().lastFolder);
    if (found.vanished && !found.renamed)
        prompter().inform(MessageKind::Information, message(Msg::OneLevelBack, m_language) + found.missing);
    m_browser->setFolder(found.folder);
    m_browser->refillFileList();

    m_browser->restoreSelection(m_firstActivation ? QList<int>() : m_rememberedSelection, m_selectName);
    m_selectName.clear();
    m_firstActivation = false;
    setDeactivatedView(false);
    updateMaskButtons();
    selectionChanged();
    notifyListChanged();
}

void MainWindow::runInDialogFrame(const std::function<void()> &show)
{
    hideRenameEdit();
    const bool wasActive = m_activated;
    deactivate();
    show();
    if (wasActive)
        reactivate();
}

void MainWindow::reloadConfiguration()
{
    Q_EMIT configurationReloadRequested();
}

} // namespace kaz
