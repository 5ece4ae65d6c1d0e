// Selection commands and the status row of the main window.
#include "MainWindow.h"

#include "Notebook.h"
#include "StatusRow.h"
#include "TagEditorCommand.h"

#include "browser/ui/FolderBrowser.h"

namespace kaz {

void MainWindow::selectionChanged()
{
    m_status->selectionChanged();
    updateSelectionControls();
}

void MainWindow::updateSelectionControls()
{
    const ListState state = listState();
    m_tagEditor->selectionChanged(state);
    m_notebook->forEachPage([&state](NotebookPage &page) { page.selectionChanged(state); });
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

} // namespace kaz
