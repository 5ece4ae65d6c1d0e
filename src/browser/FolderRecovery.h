#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// The parent of a folder with a trailing "/"; a volume root is its own parent.
QString parentFolder(const QString &folder);
// The sub-folder names of folder, without "." and "..", by name.
QStringList subFolderNames(const QString &folder);

// "DIR.KAZ": the names of the current folder and its siblings, written on
// every folder update so that a folder renamed while the program is in the
// background can be found again.
void writeSiblingList(const QString &currentFolder);

// Where re-activation goes when the last folder may have vanished.
struct FolderRecovery {
    QString folder;         // the folder to open
    bool vanished = false;  // the last folder no longer exists
    bool renamed = false;   // it was found under a new name
    QString missing;        // the vanished folder, for the one-level-back message
};

// Opens the last folder when it still exists. Otherwise, in its nearest
// existing parent, the sub-folders that "DIR.KAZ" does not list are written
// to "DIR2.KAZ"; exactly one such folder is taken as the renamed one, any
// other count goes one level back. Both lists are deleted afterwards.
FolderRecovery recoverFolder(const QString &lastFolder);

} // namespace kaz
