#pragma once

#include <QString>

namespace kaz {

// Whether name can become the new name of a folder in parent: not empty,
// not "." or "..", no "/" or control character, at most 255 bytes, and no
// other entry of that name in parent (a change of letter case alone is
// allowed). Nothing is created to find out.
bool isUsableFolderName(const QString &parent, const QString &name, const QString &currentName = {});

// Makes the folder parent/name; false when it exists or cannot be made.
bool makeFolder(const QString &parent, const QString &name);

// Renames a folder without ever replacing an existing entry; after a rename
// the undo logs of the last run are discarded, as their paths went stale.
bool renameFolder(const QString &from, const QString &to);

// Removes a folder together with its sub-folders when the whole tree holds
// no file; a tree with any file in it stays as it is.
bool deleteEmptyFolderTree(const QString &folder);

} // namespace kaz
