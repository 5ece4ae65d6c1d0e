#pragma once

#include "RenameSettings.h"
#include "config/KazSettings.h"

namespace kaz {

// The page-"0" settings that KAZ.INI holds (the three selections, Joliet,
// numbering, replacement characters and delimiter) on top of the page's
// defaults for what the file does not hold.
RenameSettings renameSettingsFrom(const KazSettings &settings);

// Puts the page-"0" settings back into the settings object for the exit writer.
void storeRenameSettings(const RenameSettings &rename, KazSettings &settings);

} // namespace kaz
