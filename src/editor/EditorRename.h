#pragma once

#include "platform/FileOps.h"

#include <QString>

namespace kaz {

// The nine characters a file name typed in the editor may not hold.
bool isForbiddenNameChar(QChar c);
// The text without them.
QString withoutForbiddenChars(const QString &text);

struct EditorRenameResult {
    bool renamed = false;
    QString path;    // the file's path afterwards (the old one when not renamed)
    FsStatus status; // why it failed
};

// Renames a file to folder + base + its extension. A name another file has
// gets " (1)", " (2)", ... A change of letter case alone is a rename too.
// Never replaces a file.
EditorRenameResult renameWithFreeName(const QString &path, const QString &base);

// Renames back to exactly base + extension (the undo of a rename); fails
// when another file took the name meanwhile.
EditorRenameResult renameExactly(const QString &path, const QString &base);

// The file name without its extension (".mp3" in any case), and the extension.
QString nameWithoutMp3(const QString &path);
QString mp3ExtensionOf(const QString &path);

} // namespace kaz
