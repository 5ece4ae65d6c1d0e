#pragma once

#include <QList>
#include <QStringList>

namespace kaz {

// The two orders users see in the filename-to-tag grid. Both come from a
// double loop "for every i, for every j: exchange i and j when ...", whose
// result (the order of equal keys included) is what users know. These run
// the same loop on compact integer keys and give the same permutation (the
// tests hold them against the literal loops).

// Key of a record for the order of the grid rows.
struct RecordKey {
    int positions = 0; // number of split positions
    int length = 0;    // length of the file name
};

// Indices of the records in grid order: i and j are exchanged whenever
// i has no more positions and no longer a name than j.
QList<int> recordOrder(const QList<RecordKey> &keys);

// Indices of the rows after a header click: i and j are exchanged when the
// text of i is smaller (ascending) or larger (descending) than that of j,
// compared code unit by code unit, case-sensitively.
QList<int> textOrder(const QStringList &texts, bool descending);

// The same loop on numbers (the grid's "unsort" by row numbers).
QList<int> numberOrder(const QList<int> &numbers);

} // namespace kaz
