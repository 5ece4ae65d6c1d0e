#pragma once

#include "CarryOver.h"
#include "TagClipboard.h"

#include "tags/FolderNameGuess.h"

namespace kaz {

// What the tag editor keeps from one file to the next and, for the
// clipboard and the folder-name properties, for the whole program run.
struct TagEditorSession {
    TagClipboard clipboard;
    CarryOver carryOver;
    FolderNameOptions folderNames;
    bool sampler = false; // "Sa&mpler": the artist is not carried over
};

} // namespace kaz
