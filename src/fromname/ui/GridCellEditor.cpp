#include "GridCellEditor.h"

#include "GridModel.h"

#include "fromname/GridTable.h"
#include "tags/Genres.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

namespace kaz {
namespace {

// Editor lengths: the track byte, the year, the comment of the tag.
int lengthLimit(int column)
{
    switch (column) {
    case ColTrack:
        return 3;
    case ColYear:
        return 4;
    case ColComment:
        return 30;
    default:
        return 32767;
    }
}

} // namespace

GridCellEditor::GridCellEditor(QWidget &dialog, QTableView &grid, GridModel &model, GridTable &table)
    : QObject(&dialog)
    , m_dialog(dialog)
    , m_grid(grid)
    , m_model(model)
    , m_table(table)
{
    // The editor stands over its cell; when the cell moves away it closes.
    connect(grid.horizontalHeader(), &QHeaderView::sectionResized, this, &GridCellEditor::close);
    connect(grid.verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_header)
            close();
    });
    connect(grid.horizontalScrollBar(), &QScrollBar::valueChanged, this, &GridCellEditor::close);

    m_editor = new QLineEdit(&dialog);
    m_editor->setObjectName(QStringLiteral("Edit2"));
    m_editor->setFrame(false);
    QPalette red = m_editor->palette();
    red.setColor(QPalette::Text, Qt::red);
    m_editor->setPalette(red);
    m_editor->hide();
    m_editor->installEventFilter(this);
    m_genreEditor = new QComboBox(&dialog);
    m_genreEditor->setObjectName(QStringLiteral("ComboBox2"));
    m_genreEditor->addItems(sortedGenreNames());
    m_genreEditor->hide();
    m_genreEditor->installEventFilter(this);
    connect(m_genreEditor, &QComboBox::activated, this, [this](int i) { commit(m_genreEditor->itemText(i)); });
}

void GridCellEditor::show(const QRect &area, int column)
{
    if (column == ColGenre) {
        m_editor->hide();
        m_genreEditor->setGeometry(area.adjusted(0, 0, 0, qMax(0, 22 - area.height())));
        const QString current = m_header ? QString() : m_table.cell(m_row, column);
        m_genreEditor->setCurrentIndex(qMax(0, m_genreEditor->findText(current)));
        m_genreEditor->show();
        m_genreEditor->raise();
        m_genreEditor->setFocus();
        return;
    }
    m_genreEditor->hide();
    m_editor->setMaxLength(lengthLimit(column));
    m_editor->setFont(m_grid.font());
    m_editor->setText(m_header ? QString() : m_table.cell(m_row, column));
    // Over a header the box is empty at first: it names its column, framed,
    // so that it is seen as an input for the whole column.
    m_editor->setFrame(m_header);
    m_editor->setPlaceholderText(
        m_header ? m_model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() + QStringLiteral(" …")
                 : QString());
    m_editor->setGeometry(area);
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus();
    m_editor->selectAll();
}

void GridCellEditor::editCell(int row, int column)
{
    if (row < 0 || row >= m_table.rowCount() || column < ColTrack || column >= GridColumns)
        return;
    m_row = row;
    m_column = column;
    m_header = false;
    const QModelIndex index = m_model.index(row, column);
    m_grid.scrollTo(index);
    m_grid.setCurrentIndex(index);
    const QRect cell = m_grid.visualRect(index);
    show(QRect(m_grid.viewport()->mapTo(&m_dialog, cell.topLeft()), cell.size()), column);
}

void GridCellEditor::editColumn(int column, const QList<int> &rows)
{
    if (column < ColTrack || column >= GridColumns)
        return;
    m_row = -1;
    m_column = column;
    m_header = true;
    m_rows = rows;
    QHeaderView *header = m_grid.horizontalHeader();
    const QPoint at = header->viewport()->mapTo(&m_dialog, QPoint(header->sectionViewportPosition(column), 0));
    show(QRect(at, QSize(header->sectionSize(column), header->height())), column);
}

void GridCellEditor::typeInto(int row, int column, const QString &text)
{
    editCell(row, column);
    if (column != ColGenre)
        m_editor->setText(text.left(m_editor->maxLength()));
}

void GridCellEditor::commit(const QString &value)
{
    if (m_column < 0)
        return;
    const int column = m_column;
    if (m_header) {
        // "All files" means every row the view shows.
        QList<int> rows = m_rows;
        if (rows.isEmpty()) {
            for (int r = 0; r < m_table.rowCount(); ++r)
                rows << r;
        }
        m_table.setColumn(column, value, rows);
        close();
        Q_EMIT m_model.dataChanged(m_model.index(0, column), m_model.index(m_table.rowCount() - 1, column));
        return;
    }
    const int row = m_row;
    m_table.setCell(row, column, value);
    m_model.rowChanged(row);
    // Enter moves down, so that a column can be typed row after row; the
    // genre list closes after its choice.
    if (column != ColGenre && row + 1 < m_table.rowCount())
        editCell(row + 1, column);
    else
        close();
}

void GridCellEditor::close()
{
    m_column = -1;
    m_row = -1;
    const bool hadFocus = m_editor->hasFocus() || m_genreEditor->hasFocus();
    m_editor->hide();
    m_genreEditor->hide();
    if (hadFocus)
        m_grid.setFocus();
}

bool GridCellEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if (watched == m_editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            commit(m_editor->text());
            return true;
        }
    }
    if (watched == m_editor && event->type() == QEvent::FocusOut && m_editor->isVisible()
        && !m_genreEditor->hasFocus() && QApplication::activePopupWidget() == nullptr) {
        close();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kaz
