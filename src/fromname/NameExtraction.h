#pragma once

#include "FromNameSettings.h"
#include "GridRecord.h"

#include "tags/TagRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace kaz {

// What the extraction knows of one file.
struct NameSource {
    QString path;     // the file; the name is its last component
    TagRecord tag;    // the tag the file has now (an untagged record when none)
    int modifiedYear = 0; // year of the file's last modification
};

struct Extraction {
    QString candidates;       // the delimiter candidates, most frequent first
    QStringList delimiters;   // the delimiter filter's entries after "All"
    QList<GridRecord> records; // in grid order, numbered 1, 2, ...
};

// Splits the file names into tag fields and lays the general infos and the
// existing tags over them: the grid's records. Pure: reads nothing.
Extraction extractRecords(const QList<NameSource> &files, const FromNameSettings &settings, int currentYear);

// The steps one by one, for tests and for the grid.
QString delimiterCandidates(const QStringList &names, bool underscoreToSpace);
// The delimiter of one name and how often it was counted (0 for "Rest").
struct NameDelimiter {
    QString delimiter;
    int count = 0;
};
NameDelimiter nameDelimiter(const QString &name, const QString &candidates);
// The delimiter of one name when the user chose it for every name: the
// chosen text, or "Rest" when the name lacks it.
NameDelimiter chosenDelimiter(const QString &name, const QString &chosen);
// Where a delimiter (one to three characters) starts in a name, left to
// right without overlaps, wholly before the extension; none for "Rest".
QList<int> delimiterAt(const QString &name, const QString &delimiter);
QList<int> splitPositions(const QString &name, const QString &delimiter);
// With leadingNumber, a first piece (of several) that is a number, maybe in
// brackets, as the rename puts it before a name, goes there instead.
QStringList namePieces(const QString &name, const QList<int> &positions, bool underscoreToSpace,
                       int delimiterLength = 1, QString *leadingNumber = nullptr);
// Adds a file's delimiter to the filter entries as the grid lists them.
void addToFilterList(QStringList &delimiters, const NameDelimiter &found);
// Puts the pieces where the pattern's first three words say.
void applyPattern(QList<GridRecord> &records, const QStringList &pattern);

} // namespace kaz
