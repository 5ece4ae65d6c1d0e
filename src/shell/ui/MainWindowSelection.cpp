// Selection commands and the status row of the main window.
#include "MainWindow.h"

#include "StatusRow.h"
#include "TagEditorCommand.h"

#include "browser/ui/FolderBrowser.h"

namespace kaz {

void MainWindow::setStatusText(const QString &text)
{
    m_status->setStatusText(text);
}

void MainWindow::setOrderText(const QString &text)
{
    m_status->setOrderText(text);
}

QString MainWindow::orderText() const
{
    return m_status->orderText();
}

void MainWindow::setStatusHighlighted(bool highlighted)
{
    m_status->setHighlighted(highlighted);
}

void MainWindow::setNamePreview(std::function<QString(const QString &)> preview)
{
    m_status->setNamePreview(std::move(preview));
}

void MainWindow::showCountStatus()
{
    m_status->showCount();
}

void MainWindow::resetStatus()
{
    m_status->reset();
}

void MainWindow::selectionChanged()
{
    m_status->selectionChanged();
    updateSelectionControls();
}

void MainWindow::updateSelectionControls()
{
    const ListState state = listState();
    m_tagEditor->selectionChanged(state);
    for (NotebookPage *page : std::as_const(m_pageList))
        page->selectionChanged(state);
}

bool MainWindow::selectFirstIfNone()
{
    return m_browser->selectFirstIfNone();
}

void MainWindow::selectAll()
{
    m_browser->selectAll();
    m_status->showCountOfAll();
    updateSelectionControls();
}

void MainWindow::deselectAll()
{
    m_browser->deselectAll();
    m_status->showCountOfAll();
    updateSelectionControls();
}

void MainWindow::invertSelection()
{
    m_browser->invertSelection();
}

} // namespace kaz
