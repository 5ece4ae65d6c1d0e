#pragma once

#include "GridRecord.h"
#include "GridWrite.h"
#include "PatternWords.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace kaz {

// The contents of the filename-to-tag grid: the unfiltered records in the
// order they were made, and the view the user sees (filtered by delimiter,
// sorted by a column, edited). Each view row knows its record, so that an
// edit reaches the same file in both.
class GridTable
{
public:
    struct Row {
        int record = 0; // index into records()
        std::array<QString, GridColumns> cells; // status: "Tag!" or empty
    };

    explicit GridTable(QList<GridRecord> records = {});

    const QList<GridRecord> &records() const { return m_records; }
    const QList<Row> &rows() const { return m_rows; }
    int rowCount() const { return int(m_rows.size()); }
    const QString &cell(int row, int column) const { return m_rows[row].cells[column]; }
    const QString &filter() const { return m_filter; }
    // "Keep changes!" was pressed since the view was last changed.
    bool changesKept() const { return m_kept; }
    // The view changes: what was not kept is given up.
    void forgetKept() { m_kept = false; }
    // A value or a header was changed since the last "Keep changes!".
    bool hasUnkeptEdits() const { return m_edited; }

    // Fills the view with the records whose delimiter is filter (all when
    // empty); tagged(path) gives the status cell, else what the records
    // know from their reading and writing.
    void fill(const QString &filter, const std::function<bool(const QString &)> &tagged);

    // A header click: ascending on a new column, then descending, ascending...
    void sortBy(int column);
    void unsort();
    int sortedColumn() const { return m_sortedColumn; }
    bool descending() const { return m_descending; }

    void setCell(int row, int column, const QString &text);
    // The status cell after the file's tag may have changed.
    void setTagged(int row, bool tagged);
    // The tag editor renamed the row's file.
    void setPath(int row, const QString &path);
    // Every row when rows is empty.
    void setColumn(int column, const QString &text, const QList<int> &rows);
    // 01, 02, ... into the track cells of the rows, top to bottom.
    void numberTracks(QList<int> rows);
    void clearTracks(const QList<int> &rows);
    // Drag and drop: a track onto another row's track, or a cell of columns
    // 3 to 6 onto another of the same row. False when the two may not be exchanged.
    bool exchangeCells(int rowA, int columnA, int rowB, int columnB);
    bool canExchange(int rowA, int columnA, int rowB, int columnB) const;

    // The field whose values stand under each of columns 3, 4 and 5.
    const std::array<TagWord, 3> &headerFields() const { return m_headers; }
    // Exchanges two of the headers of columns 3 to 5.
    bool exchangeHeaders(int columnA, int columnB);
    FieldColumns fieldColumns() const;

    // Writes the rows (view indices, in view order) and refreshes the view.
    QList<RowWriteResult> write(QList<int> rows, const TextCodec &codec,
                                const std::function<bool(const QString &)> &tagged,
                                const std::function<void(int, int)> &progress = {},
                                id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off);

private:
    void store(int row, int column, const QString &text);
    void reorder(const QList<int> &order);

    QList<GridRecord> m_records;
    QList<Row> m_rows;
    QString m_filter;
    std::array<TagWord, 3> m_headers{TagWord::Title, TagWord::Artist, TagWord::Album};
    int m_sortedColumn = -1;
    bool m_descending = false;
    bool m_kept = false;
    bool m_edited = false;
};

} // namespace kaz
