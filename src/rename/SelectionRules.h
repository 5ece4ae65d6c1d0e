#pragma once

#include "RenameSettings.h"

#include "platform/Language.h"

#include <QString>

namespace kaz {

// The pattern of a composed name in words ("Artist - Album - Title"), as the
// left-hand status bar (StatusBar_1) shows it for the current selections.
QString patternExample(const RenameSettings &settings, Language language);

// Keeps the three selection groups from naming the same field after the
// user clicked group 1, 2 or 3: one pass of adjustments, never re-checked.
void adjustSelections(int clickedGroup, NameField &first, NameField &second, NameField &third);

} // namespace kaz
