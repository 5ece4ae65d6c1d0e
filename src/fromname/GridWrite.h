#pragma once

#include "GridRecord.h"

#include "platform/FileOps.h"
#include "platform/TextCodec.h"
#include "tags/Id3v2Write.h"
#include "tags/TagRecord.h"

#include <QString>

#include <QList>

#include <array>
#include <functional>

namespace kaz {

// The columns that hold title, artist and album. The user may exchange the
// headers of columns 3 to 5; the header, not the place, says what a column is.
struct FieldColumns {
    int title = ColTitle;
    int artist = ColArtist;
    int album = ColAlbum;
};
// From the header texts of columns 3, 4 and 5, in either language.
FieldColumns fieldColumnsFromHeaders(const std::array<QString, 3> &headers);

// What the write made of a row's cells.
struct RowValues {
    TagValues values;
    bool trackDropped = false; // a track cell that is no number from 1 to 255
    bool genreKept = false;    // a genre cell that names no genre
};
// The values a row stands for, over the file's current tag.
RowValues rowValues(const GridRecord &row, const FieldColumns &columns, const TagRecord &current);

// The genre number of a name in any letter case; -1 when it names none.
int genreOfName(const QString &name);

struct RowWriteResult {
    QString path;
    bool written = false;
    FsStatus status; // why the file could not be read or written
    bool trackDropped = false;
    bool genreKept = false;
};

// Writes the row's values into its file: a file that had a tag gets it
// replaced; title, artist and album over 30 characters go into the Lyrics3
// block; the audio in front of the trailer is never touched.
RowWriteResult writeRow(const GridRecord &row, const FieldColumns &columns, const TextCodec &codec);
// writeRow for many rows, committed in groups (TagWriteBatch); progress gets
// the number of rows done so far. The results are in the order of rows.
// id3v2Write: what becomes of the files' ID3v2 tags (the setting).
QList<RowWriteResult> writeRows(const QList<const GridRecord *> &rows, const FieldColumns &columns,
                                const TextCodec &codec, const std::function<void(qsizetype)> &progress = {},
                                id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off);

} // namespace kaz
