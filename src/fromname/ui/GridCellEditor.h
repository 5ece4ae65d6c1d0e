#pragma once

#include <QList>
#include <QObject>

class QComboBox;
class QLineEdit;
class QRect;
class QTableView;
class QWidget;

namespace kaz {

class GridModel;
class GridTable;

// The editor of the filename-to-tag grid: a line edit ("Edit2") or, in the
// genre column, a list ("ComboBox2") standing over one cell, or over a
// column's header to give the whole column (or the selected rows) one
// value. Enter writes and moves down a row, Escape or leaving closes it,
// and it closes when its cell moves away.
class GridCellEditor : public QObject
{
    Q_OBJECT
public:
    GridCellEditor(QWidget &dialog, QTableView &grid, GridModel &model, GridTable &table);

    void editCell(int row, int column);
    // rows: where the value goes; empty: every row shown.
    void editColumn(int column, const QList<int> &rows);
    // A key typed on a cell starts its editor with that text.
    void typeInto(int row, int column, const QString &text);
    void close();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show(const QRect &area, int column);
    void commit(const QString &value);

    QWidget &m_dialog;
    QTableView &m_grid;
    GridModel &m_model;
    GridTable &m_table;
    QLineEdit *m_editor = nullptr;
    QComboBox *m_genreEditor = nullptr;
    int m_row = -1;
    int m_column = -1;
    bool m_header = false;
    QList<int> m_rows; // the rows a column edit reaches
};

} // namespace kaz
