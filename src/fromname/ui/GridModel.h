#pragma once

#include "fromname/GridTable.h"

#include "platform/Language.h"

#include <QAbstractTableModel>

namespace kaz {

// Shows the grid table's view in StringGrid1: nine text columns, the field
// headers of columns 3 to 5 as the user arranged them, and drag and drop of
// cells (tracks between rows, title to comment within a row).
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(GridTable &table, QObject *parent = nullptr);

    void setLanguage(Language language);
    // The table changed as a whole (filled, sorted).
    void reset();
    void rowChanged(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

    // The cell the mouse grabbed: a drag carries it, not the whole selected row.
    void setGrabbedCell(const QModelIndex &cell) { m_grabbed = cell; }

    // The header text of a column in the current language.
    QString headerText(int column) const;

private:
    QModelIndex draggedCell(const QMimeData *data) const;

    GridTable &m_table;
    Language m_language = kDefaultLanguage;
    QPersistentModelIndex m_grabbed;
};

} // namespace kaz
