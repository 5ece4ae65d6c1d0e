#pragma once

#include <QtGlobal>

#include <vector>

namespace kaz {

// The order in which the CD packing walks its groups: by size, smallest
// first, as n passes of an exchange sort that swaps neighbours whose first
// size is greater than or equal to the second. Equal sizes change places in
// every pass, so their final order is not the input order; this computes
// that order in O(n log n) instead of the sort's O(n^2). Returns indexes
// into sizes.
std::vector<int> packingOrder(const std::vector<qint64> &sizes);

} // namespace kaz
