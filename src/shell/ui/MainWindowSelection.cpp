// Selection commands and the status line of the main window.
#include "MainWindow.h"

#include "widgets/StatusLine.h"

#include "tags/TagIO.h"

#include <QDir>
#include <QItemSelection>
#include <QLabel>
#include <QListWidget>
#include <QPalette>

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
    const int count = m_fileList->count();
    const int selected = int(m_fileList->selectionModel()->selectedRows().size());
    setStatusText(count == 0 ? QString() : QStringLiteral("%1/%2").arg(selected).arg(count));
}

QString MainWindow::namePreviewText() const
{
    const QStringList selected = selectedNames();
    if (selected.isEmpty())
        return kThirteenBlanks;
    const QString path = QDir(m_folder).filePath(selected.first());
    if (!taginfo(path))
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

void MainWindow::fileListClicked()
{
    if (m_filling)
        return;
    const int selected = int(m_fileList->selectionModel()->selectedRows().size());
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
    for (NotebookPage *page : std::as_const(m_pageList))
        page->selectionChanged(state);
}

bool MainWindow::selectFirstIfNone()
{
    if (m_fileList->count() == 0)
        return false;
    if (m_fileList->selectionModel()->selectedRows().isEmpty())
        m_fileList->item(0)->setSelected(true);
    return true;
}

void MainWindow::selectAll()
{
    m_fileList->blockSignals(true);
    m_fileList->selectAll();
    m_fileList->blockSignals(false);
    m_statusLine->setScrollable(false);
    showCountStatus();
    updateSelectionControls();
}

void MainWindow::deselectAll()
{
    m_fileList->blockSignals(true);
    m_fileList->clearSelection();
    m_fileList->blockSignals(false);
    fillFileList();
    m_statusLine->setScrollable(false);
    showCountStatus();
    updateSelectionControls();
}

void MainWindow::invertSelection()
{
    if (m_fileList->count() == 0)
        return;
    auto *model = m_fileList->model();
    const QItemSelection all(model->index(0, 0), model->index(m_fileList->count() - 1, 0));
    m_fileList->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

} // namespace kaz
