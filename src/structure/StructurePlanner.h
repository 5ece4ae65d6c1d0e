#pragma once

#include "CdSize.h"
#include "StructureRow.h"

#include "config/KazSettings.h"

namespace kaz {

struct StructureItem;

// Sorts the rows into classes and CDs: album groups, excluded albums,
// samplers, various songs, then the CD packing. A pure function of the
// table and the settings; keys are compared upper-cased, and the packing
// order is that of the exchange sort the format has always used (see
// CdPacking.h), so that every table gives the same folders as ever.
StructurePlan planStructure(const std::vector<StructureRow> &rows, const StructureSettings &settings);
// The same over the rows of the builder's items.
StructurePlan planStructure(const std::vector<StructureItem> &items, const StructureSettings &settings);

// Bytes of one CD folder.
inline qint64 cdCapacity(const StructureSettings &settings)
{
    return qint64(settings.cdrMegabytes) * kMegabyte;
}

} // namespace kaz
