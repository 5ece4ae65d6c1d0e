#include "GridTable.h"

#include "RecordOrder.h"

#include <algorithm>

namespace kaz {
namespace {

QString statusText(bool tagged)
{
    return tagged ? QStringLiteral("Tag!") : QString();
}

bool isPiece(int column)
{
    return column >= ColTitle && column <= ColComment;
}

} // namespace

GridTable::GridTable(QList<GridRecord> records)
    : m_records(std::move(records))
{
}

void GridTable::fill(const QString &filter, const std::function<bool(const QString &)> &tagged)
{
    m_filter = filter;
    m_rows.clear();
    m_sortedColumn = -1;
    m_descending = false;
    for (qsizetype i = 0; i < m_records.size(); ++i) {
        const GridRecord &r = m_records[i];
        if (!filter.isEmpty() && r.delimiter != filter)
            continue;
        Row row{int(i), r.cells};
        row.cells[ColStatus] = statusText(tagged ? tagged(r.path) : r.tagged);
        m_rows << row;
    }
}

void GridTable::reorder(const QList<int> &order)
{
    QList<Row> rows;
    rows.reserve(order.size());
    for (int i : order)
        rows << m_rows[i];
    m_rows = rows;
}

void GridTable::sortBy(int column)
{
    if (column < 0 || column >= GridColumns)
        return;
    m_descending = column == m_sortedColumn ? !m_descending : false;
    m_sortedColumn = column;
    QStringList texts;
    texts.reserve(m_rows.size());
    for (const Row &r : std::as_const(m_rows))
        texts << r.cells[column];
    reorder(textOrder(texts, m_descending));
}

void GridTable::unsort()
{
    QList<int> numbers;
    numbers.reserve(m_rows.size());
    for (const Row &r : std::as_const(m_rows))
        numbers << m_records[r.record].number;
    reorder(numberOrder(numbers));
    m_sortedColumn = -1;
    m_descending = false;
}

void GridTable::store(int row, int column, const QString &text)
{
    if (m_rows[row].cells[column] != text)
        m_edited = true;
    m_rows[row].cells[column] = text;
    m_records[m_rows[row].record].cells[column] = text;
}

void GridTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= rowCount() || column <= ColFilename || column >= GridColumns)
        return;
    store(row, column, text);
}

void GridTable::setTagged(int row, bool tagged)
{
    if (row < 0 || row >= rowCount())
        return;
    m_rows[row].cells[ColStatus] = statusText(tagged);
    m_records[m_rows[row].record].tagged = tagged;
}

void GridTable::setPath(int row, const QString &path)
{
    if (row < 0 || row >= rowCount())
        return;
    GridRecord &record = m_records[m_rows[row].record];
    record.path = path;
    record.cells[ColFilename] = m_rows[row].cells[ColFilename] = path.section(QLatin1Char('/'), -1);
}

void GridTable::setColumn(int column, const QString &text, const QList<int> &rows)
{
    if (rows.isEmpty()) {
        for (int r = 0; r < rowCount(); ++r)
            setCell(r, column, text);
        return;
    }
    for (int r : rows)
        setCell(r, column, text);
}

void GridTable::numberTracks(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    int n = 0;
    for (int r : rows)
        setCell(r, ColTrack, QString::number(++n).rightJustified(2, QLatin1Char('0')));
}

void GridTable::clearTracks(const QList<int> &rows)
{
    for (int r : rows)
        setCell(r, ColTrack, QString());
}

bool GridTable::canExchange(int rowA, int columnA, int rowB, int columnB) const
{
    if (rowA < 0 || rowB < 0 || rowA >= rowCount() || rowB >= rowCount())
        return false;
    const bool tracks = columnA == ColTrack && columnB == ColTrack && rowA != rowB;
    const bool pieces = isPiece(columnA) && isPiece(columnB) && rowA == rowB && columnA != columnB;
    return tracks || pieces;
}

bool GridTable::exchangeCells(int rowA, int columnA, int rowB, int columnB)
{
    if (!canExchange(rowA, columnA, rowB, columnB))
        return false;
    const QString a = cell(rowA, columnA);
    store(rowA, columnA, cell(rowB, columnB));
    store(rowB, columnB, a);
    return true;
}

bool GridTable::exchangeHeaders(int columnA, int columnB)
{
    const auto movable = [](int c) { return c >= ColTitle && c <= ColAlbum; };
    if (!movable(columnA) || !movable(columnB) || columnA == columnB)
        return false;
    std::swap(m_headers[columnA - ColTitle], m_headers[columnB - ColTitle]);
    m_edited = true;
    return true;
}

FieldColumns GridTable::fieldColumns() const
{
    FieldColumns columns;
    for (int i = 0; i < 3; ++i) {
        if (m_headers[i] == TagWord::Title)
            columns.title = ColTitle + i;
        else if (m_headers[i] == TagWord::Artist)
            columns.artist = ColTitle + i;
        else if (m_headers[i] == TagWord::Album)
            columns.album = ColTitle + i;
    }
    return columns;
}

QList<RowWriteResult> GridTable::write(QList<int> rows, const TextCodec &codec,
                                       const std::function<bool(const QString &)> &tagged,
                                       const std::function<void(int, int)> &progress,
                                       id3v2::WriteMode id3v2Write)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const FieldColumns columns = fieldColumns();
    QList<GridRecord> records;
    QList<int> written;
    for (int r : std::as_const(rows)) {
        if (r < 0 || r >= rowCount())
            continue;
        GridRecord record = m_records[m_rows[r].record];
        for (int c = ColTrack; c < GridColumns; ++c)
            record.cells[c] = m_rows[r].cells[c];
        records << record;
        written << r;
    }
    QList<const GridRecord *> pointers;
    for (const GridRecord &record : std::as_const(records))
        pointers << &record;
    const QList<RowWriteResult> results = writeRows(pointers, columns, codec, [&](qsizetype done) {
        if (progress)
            progress(int(done), int(rows.size()));
    }, id3v2Write);
    for (qsizetype i = 0; i < results.size(); ++i) {
        GridRecord &record = records[i];
        record.tagged = record.tagged || results[i].written;
        m_records[m_rows[written[i]].record] = record;
    }
    m_kept = true;
    m_edited = false;
    fill(m_filter, tagged);
    return results;
}

} // namespace kaz
