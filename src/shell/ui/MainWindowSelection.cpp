// Selection commands and the status line of the main window.
#include "MainWindow.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/StatusLine.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QLabel>
#include <QPalette>
#include <QToolButton>

namespace kaz {
namespace {

const QString kThirteenBlanks = QString(13, QLatin1Char(' '));

} // namespace

void MainWindow::setStatusText(const QString &text)
{
    m_statusLine->setText(text);
}

void MainWindow::setOrderText(const QString &text)
{
    m_orderLine->setText(text);
}

QString MainWindow::orderText() const
{
    return m_orderLine->text();
}

void MainWindow::setStatusHighlighted(bool highlighted)
{
    m_statusLine->setAutoFillBackground(highlighted);
    QPalette p = m_statusLine->palette();
    if (highlighted) {
        p.setColor(QPalette::Window, Qt::yellow);
        p.setColor(QPalette::WindowText, Qt::black);
    } else {
        p = palette();
    }
    m_statusLine->setPalette(p);
}

void MainWindow::setNamePreview(std::function<QString(const QString &)> preview)
{
    m_namePreview = std::move(preview);
}

void MainWindow::showCountStatus()
{
    const BrowserState &state = browserState();
    setStatusText(state.count() == 0 ? QString()
                                     : QStringLiteral("%1/%2").arg(state.selectedCount()).arg(state.count()));
}

QString MainWindow::namePreviewText() const
{
    const QStringList selected = selectedNames();
    if (selected.isEmpty())
        return kThirteenBlanks;
    const QString path = QDir(browserState().folder).filePath(selected.first());
    if (!taginfo(path, m_useId3v2))
        return QStringLiteral("NoTag!");
    return (m_namePreview ? m_namePreview(path) : QString()) + kThirteenBlanks;
}

void MainWindow::resetStatus()
{
    const QString text = namePreviewText();
    if (text == kThirteenBlanks)
        showCountStatus();
    else
        setStatusText(text);
}

void MainWindow::selectionChanged()
{
    const int selected = browserState().selectedCount();
    m_statusLine->setScrollable(selected == 1);
    if (selected == 1)
        resetStatus();
    else
        showCountStatus();
    updateSelectionControls();
}

void MainWindow::updateSelectionControls()
{
    const ListState state = listState();
    m_tagButton->setEnabled(state.selected > 0 && state.mask == MaskState::Mp3 && !state.running);
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
    m_statusLine->setScrollable(false);
    showCountStatus();
    updateSelectionControls();
}

void MainWindow::deselectAll()
{
    m_browser->deselectAll();
    m_statusLine->setScrollable(false);
    showCountStatus();
    updateSelectionControls();
}

void MainWindow::invertSelection()
{
    m_browser->invertSelection();
}

} // namespace kaz
