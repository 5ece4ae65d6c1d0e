#pragma once

#include "BuildPlan.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace kaz {

// Which sub-folders a break empties. Safe: outside a reorganisation only
// folders that hold nothing but MP3 files, and only folders whose MP3 files
// all have an artist or an album. Full: every folder with an MP3 file, its
// other files moved along under their own names.
enum class BreakMode { Safe, Full };

// One file the break moves up into the base folder.
struct BreakMove {
    QString from;        // where it is
    QString disguisedAs; // other files of a reorganisation: the ".MP3" name in its folder first; else empty
    QByteArray block;    // the picture block appended to it then
    QString to;          // in the base folder; == disguisedAs for a file of the base folder itself
};

struct BreakPlan {
    QString base; // with "/"
    std::vector<BreakMove> moves;
    // Every sub-folder that holds a file somewhere below it, deepest level
    // first: the order they are removed in once empty. Folders that hold
    // nothing before the run are the user's and stay.
    QStringList folders;
    // Reorganisation: the builder's input, the MP3 files of the base folder
    // first, then the gathered files under their new names.
    std::vector<StructureItem> items;
    QStringList lineBreakPaths;
};

// Looks at the tree below base and plans the break; reads tags, changes
// nothing. With reorganize the mode is safe, other files of dissolved
// folders become picture files, and the items for the builder are made.
// Only regular files move: symbolic links, pipes, devices and names that
// are not valid UTF-8 stay where they are (their folder with them), and a
// link is never followed.
BreakPlan planBreak(const QString &base, BreakMode mode, bool reorganize, const BuildContext &context,
                    const RunHooks &hooks = {});

// The name a disguised file gets: its name without the last four
// characters, then ".MP3" (a name of four or fewer characters keeps them all).
QString disguisedName(const QString &name);

} // namespace kaz
