#pragma once

#include <QList>
#include <QString>

#include <array>

namespace kaz {

// The columns of a grid row.
enum GridColumn {
    ColStatus = 0,
    ColFilename = 1,
    ColTrack = 2,
    ColTitle = 3,
    ColArtist = 4,
    ColAlbum = 5,
    ColComment = 6,
    ColYear = 7,
    ColGenre = 8,
    GridColumns = 9
};

// One file of the filename-to-tag grid: what the extraction proposes and the
// user corrects. Pieces beyond the genre column are not kept.
struct GridRecord {
    QString path;       // the file, for the write
    std::array<QString, GridColumns> cells; // the status cell stays empty here
    QString delimiter;  // one character (one to three when chosen), or "Rest" when the name has none
    QList<int> positions; // split positions, 1-based as the name's characters
    bool tagged = false;  // the file had a tag when the record was made
    int number = 0;       // 1, 2, ... in the order the records were made
};

inline const QString &restDelimiter()
{
    static const QString rest = QStringLiteral("Rest");
    return rest;
}

} // namespace kaz
