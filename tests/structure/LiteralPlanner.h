#pragma once

#include "structure/StructureRow.h"

#include "config/KazSettings.h"

#include <vector>

namespace kaz::test {

// The builder's grouping and CD packing written out step by step as the
// program has always done it: string classes, a sorted group table, a walk
// over every row for every key and an exchange sort. Slow; the reference
// the planner is held to.
StructurePlan literalPlan(const std::vector<StructureRow> &rows, const StructureSettings &settings);

// n passes of the exchange sort over sizes; the resulting order of indexes.
std::vector<int> literalPackingOrder(const std::vector<qint64> &sizes);

} // namespace kaz::test
