// The deactivate / re-activate cycle: while the program is in the
// background it keeps no folder of the user open, and when it comes back it
// finds the folder again, also under a new name.
#include "MainWindow.h"

#include "platform/Messages.h"
#include "browser/FolderRecovery.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>

namespace kaz {

void MainWindow::setDeactivatedView(bool deactivated)
{
    auto *stack = findChild<QStackedWidget *>(QStringLiteral("BrowserStack"));
    stack->setCurrentIndex(deactivated ? 1 : 0);
    for (NotebookPage *page : std::as_const(m_pageList))
        page->setDeactivated(deactivated);
    for (const char *name : {"Language1", "prperties1", "Priority1"})
        if (auto *menu = findChild<QMenu *>(QLatin1String(name)))
            menu->menuAction()->setEnabled(!deactivated && !m_runFrame.running());
}

void MainWindow::deactivate()
{
    if (m_runFrame.running() || !m_activated)
        return;
    m_activated = false;
    m_rememberedSelection.clear();
    for (const QModelIndex &index : m_fileList->selectionModel()->selectedRows())
        m_rememberedSelection << index.row();
    std::sort(m_rememberedSelection.begin(), m_rememberedSelection.end());
    hideRenameEdit();
    m_largeLabel->setText(QStringLiteral("DEACTIVATED"));
    setDeactivatedView(true);
    m_lastFolder = m_folder;
    folderUpdate();
    // Nothing of the user's stays open while the program is in the background.
    QDir::setCurrent(QStringLiteral("/"));
    m_fileList->clear();
    m_folderList->clear();
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
    if (m_tabClickedSinceActivation) {
        m_tabClickedSinceActivation = false;
        showPage(m_tabs->currentIndex());
    }
    QElapsedTimer wait;
    wait.start();
    while (wait.elapsed() < m_options.activationDelayMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // The wait let events through; one of them may have sent us back.
    if (!m_activated)
        return;

    const FolderRecovery found = recoverFolder(m_lastFolder);
    if (found.vanished && !found.renamed)
        prompter().inform(MessageKind::Information, message(Msg::OneLevelBack, m_language) + found.missing);
    m_folder = found.folder;
    QDir::setCurrent(m_folder);
    fillFolderList();
    fillFileList();

    m_fileList->blockSignals(true);
    if (!m_firstActivation)
        for (int row : std::as_const(m_rememberedSelection))
            if (auto *item = m_fileList->item(row))
                item->setSelected(true);
    if (!m_selectName.isEmpty()) {
        for (QListWidgetItem *item : m_fileList->findItems(m_selectName, Qt::MatchExactly))
            item->setSelected(true);
        m_selectName.clear();
    }
    m_fileList->blockSignals(false);
    m_firstActivation = false;
    setDeactivatedView(false);
    updateMaskButtons();
    fileListClicked();
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
