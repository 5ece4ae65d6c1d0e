#pragma once

#include "platform/Language.h"

#include <QString>

namespace kaz {

// Texts of the cleanup that only it shows, in both languages.
enum class CleanupText {
    EmptyBaseName,   // a file name that is nothing but an extension
    NameWouldVanish, // even without a script nothing would be left
    OnlyExtension,   // the new name would be nothing but an extension (a hidden file)
    LineBreak,       // a path that no log line can hold
    NotLogged,       // the undo log could not be written
    KeptNames,       // "%1 files kept their names:"
    NothingToUndo,
    UndoStopped,     // "%1" renames kept for a later undo, before the reasons
    ReallyDelete,    // the saved-rules delete question
};

QString cleanupText(CleanupText id, Language language);

} // namespace kaz
