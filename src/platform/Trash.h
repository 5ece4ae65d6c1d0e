#pragma once

#include <QString>

namespace kaz {

// What became of a file given to the trash.
struct TrashResult {
    enum Outcome {
        Trashed, // in the trash, with its .trashinfo: it can be taken back
        NoTrash, // no trash can take it (none, not usable, full): the file is untouched
        Failed,  // the file itself could not be moved (missing, no permission): untouched
    };
    Outcome outcome = Failed;
    QString trashedAs; // Trashed: the file's path inside the trash
    QString problem;   // otherwise: why, with the system's error

    bool ok() const { return outcome == Trashed; }
};

// Moves a file (or a symbolic link, as the link) into the desktop's trash as
// the freedesktop trash rules lay it down: files on the home's file
// system into the home trash ($XDG_DATA_HOME/Trash), files elsewhere into
// $topdir/.Trash/$uid when $topdir/.Trash is a sticky folder and not a link,
// else into $topdir/.Trash-$uid. The .trashinfo is created first under a
// free name (exclusively), written completely with the percent-encoded Path
// and the DeletionDate, and read back before the file is moved; the file
// itself is moved by a rename that never replaces anything. When any step
// fails nothing of it is left behind and the file stays where it was.
TrashResult moveToTrash(const QString &path);

// The trash the file would go to (the folder holding files/ and info/), or
// empty when none can take it; for the messages and the tests.
QString trashFolderFor(const QString &path, QString *problem = nullptr);

} // namespace kaz
