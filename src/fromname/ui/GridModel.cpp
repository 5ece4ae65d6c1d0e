#include "GridModel.h"

#include <QMimeData>

namespace kaz {
namespace {

const char kCellMime[] = "application/x-kaz-grid-cell";

bool draggable(int column)
{
    return column >= ColTrack && column <= ColComment;
}

} // namespace

GridModel::GridModel(GridTable &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(table)
{
}

void GridModel::setLanguage(Language language)
{
    m_language = language;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, GridColumns - 1);
}

void GridModel::reset()
{
    beginResetModel();
    endResetModel();
}

void GridModel::rowChanged(int row)
{
    Q_EMIT dataChanged(index(row, 0), index(row, GridColumns - 1));
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_table.rowCount();
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(GridColumns);
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return m_table.cell(index.row(), index.column());
}

QString GridModel::headerText(int column) const
{
    const Language l = m_language;
    if (column >= ColTitle && column <= ColAlbum) {
        switch (m_table.headerFields()[column - ColTitle]) {
        case TagWord::Title:
            return QString::fromUtf8(tr2(l, "Title", "Titel"));
        case TagWord::Artist:
            return QString::fromUtf8(tr2(l, "Artist", "Interpret"));
        case TagWord::Album:
            return QStringLiteral("Album");
        default:
            return {};
        }
    }
    switch (column) {
    case ColStatus:
        return QStringLiteral("Status");
    case ColFilename:
        return QString::fromUtf8(tr2(l, "Filename", "Dateiname"));
    case ColTrack:
        return QString::fromUtf8(tr2(l, "Track", "Lied"));
    case ColComment:
        return QString::fromUtf8(tr2(l, "Comment", "Kommentar"));
    case ColYear:
        return QString::fromUtf8(tr2(l, "Year", "Jahr"));
    case ColGenre:
        return QStringLiteral("Genre");
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return headerText(section);
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && draggable(index.column()))
        f |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return f;
}

QStringList GridModel::mimeTypes() const
{
    return {QString::fromLatin1(kCellMime)};
}

QMimeData *GridModel::mimeData(const QModelIndexList &indexes) const
{
    // The view hands over every draggable cell of the selected rows; the
    // drag is the one cell the mouse grabbed.
    if (indexes.isEmpty())
        return nullptr;
    auto *data = new QMimeData;
    const QModelIndex cell = indexes.contains(m_grabbed) ? QModelIndex(m_grabbed) : indexes.first();
    data->setData(QString::fromLatin1(kCellMime), QByteArray::number(cell.row()) + ',' + QByteArray::number(cell.column()));
    return data;
}

Qt::DropActions GridModel::supportedDropActions() const
{
    // A copy as far as the view knows: it refuses to move cells onto their
    // own selected row, where most exchanges happen.
    return Qt::CopyAction;
}

QModelIndex GridModel::draggedCell(const QMimeData *data) const
{
    if (!data || !data->hasFormat(QString::fromLatin1(kCellMime)))
        return {};
    const QList<QByteArray> parts = data->data(QString::fromLatin1(kCellMime)).split(',');
    if (parts.size() != 2)
        return {};
    return index(parts[0].toInt(), parts[1].toInt());
}

bool GridModel::canDropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &parent) const
{
    const QModelIndex from = draggedCell(data);
    if (!from.isValid() || !parent.isValid())
        return false;
    return m_table.canExchange(from.row(), from.column(), parent.row(), parent.column());
}

bool GridModel::dropMimeData(const QMimeData *data, Qt::DropAction, int, int, const QModelIndex &parent)
{
    const QModelIndex from = draggedCell(data);
    if (!from.isValid() || !parent.isValid())
        return false;
    if (!m_table.exchangeCells(from.row(), from.column(), parent.row(), parent.column()))
        return false;
    rowChanged(from.row());
    rowChanged(parent.row());
    // Nothing is to be removed at the source: the exchange is done.
    return false;
}

} // namespace kaz
