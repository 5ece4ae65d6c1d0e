#pragma once

#include "Language.h"

#include <QString>

namespace kaz {

// The folder of the installed help pages: share/kaz/help beside the
// program's bin folder, or the source tree's data/help for a build that
// was not installed. Empty when neither exists.
QString helpFolder();

// The help page of a language ("kaz-en.html" / "kaz-de.html").
QString helpPage(Language language);

// The anchor of a help context number inside a page ("context-4").
QString helpAnchor(int context);

// The help contexts of the windows; each has its section in both pages.
namespace helpcontext {
inline constexpr int Contents = 0;
inline constexpr int FromNamePage = 2;
inline constexpr int RenamePage = 4;
inline constexpr int StructureSettings = 6; // the dialog's "&Help"
inline constexpr int CleanupPage = 7;
inline constexpr int Preview = 21;
inline constexpr int StructureSettingsKey = 22; // the dialog's F1
inline constexpr int TagEditor = 30;
inline constexpr int StructureCommands = 31;
inline constexpr int CopyMoveDelete = 32;
inline constexpr int UserEntries = 33;
inline constexpr int Player = 34;
} // namespace helpcontext

} // namespace kaz
