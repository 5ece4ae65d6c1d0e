#include "GridWrite.h"

#include "PatternWords.h"

#include "tags/Genres.h"
#include "tags/Id3v1.h"
#include "tags/TagIO.h"

#include <algorithm>

namespace kaz {
namespace {

// The track byte of a cell: a whole number from 1 to 255, else 0.
int trackOfCell(const QString &cell)
{
    const QString t = cell.trimmed();
    if (t.isEmpty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), [](QChar c) { return c.isDigit() && c.unicode() < 128; }))
        return 0;
    const int n = t.toInt();
    return n >= 1 && n <= 255 ? n : 0;
}

} // namespace

FieldColumns fieldColumnsFromHeaders(const std::array<QString, 3> &headers)
{
    FieldColumns columns;
    for (int i = 0; i < 3; ++i) {
        switch (tagWordOf(headers[i])) {
        case TagWord::Title:
            columns.title = ColTitle + i;
            break;
        case TagWord::Artist:
            columns.artist = ColTitle + i;
            break;
        case TagWord::Album:
            columns.album = ColTitle + i;
            break;
        default:
            break;
        }
    }
    return columns;
}

int genreOfName(const QString &name)
{
    for (int n = 0; n < 256; ++n) {
        const QString known = genreName(n);
        if (!known.isEmpty() && known.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return n;
    }
    return -1;
}

RowValues rowValues(const GridRecord &row, const FieldColumns &columns, const TagRecord &current)
{
    RowValues r;
    r.values.title = row.cells[columns.title];
    r.values.artist = row.cells[columns.artist];
    r.values.album = row.cells[columns.album];
    r.values.comment = row.cells[ColComment];
    r.values.year = row.cells[ColYear];
    const QString &track = row.cells[ColTrack];
    const int number = trackOfCell(track);
    // A cell such as "300" is not stored as some other byte: the row goes
    // without a track number and says so.
    r.trackDropped = number == 0 && !track.trimmed().isEmpty();
    r.values.trackText = id3v1::trackTextFor(number);
    r.values.genre = current.genre;
    const QString &genre = row.cells[ColGenre];
    if (!genre.isEmpty()) {
        const int n = genreOfName(genre);
        if (n >= 0)
            r.values.genre = quint8(n);
        else
            r.genreKept = true;
    }
    return r;
}

RowWriteResult writeRow(const GridRecord &row, const FieldColumns &columns, const TextCodec &codec)
{
    return writeRows({&row}, columns, codec).constFirst();
}

QList<RowWriteResult> writeRows(const QList<const GridRecord *> &rows, const FieldColumns &columns,
                                const TextCodec &codec, const std::function<void(qsizetype)> &progress,
                                id3v2::WriteMode id3v2Write)
{
    QList<RowWriteResult> results(rows.size());
    TagContext context;
    context.codec = &codec;
    context.quietWhenShort = true;
    TagWriteBatch batch(codec, id3v2Write);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        RowWriteResult &result = results[i];
        result.path = rows[i]->path;
        const TagRecord current = readTag(result.path, context, &result.status);
        if (result.status.ok()) {
            const RowValues values = rowValues(*rows[i], columns, current);
            result.trackDropped = values.trackDropped;
            result.genreKept = values.genreKept;
            batch.add(result.path, current, values.values, [&result](const FsStatus &status) {
                result.status = status;
                result.written = status.ok();
            });
        }
        if (progress)
            progress(i + 1);
    }
    batch.commit();
    return results;
}

} // namespace kaz
