#pragma once

#include "RunState.h"

#include "platform/Language.h"
#include "platform/RunHooks.h"

#include <QStringList>

namespace kaz {

class MediaPlayer;
class Prompter;

struct UndoOutcome {
    bool busy = false;          // another run was going on: nothing was done
    QString lockProblem;        // with busy: the lock could not be taken for this reason instead
    bool noInformation = false; // no logs: nothing was done
    bool cancelled = false;     // the last-session question was answered with Cancel
    qint64 restored = 0;        // files given their old path back
    qint64 alreadyThere = 0;    // files found at their old path
    qint64 foldersRemoved = 0;
    QString folder;       // the deepest folder holding every file given back (empty: none)
    QStringList failures; // lines that could not be undone, with the reason
    QStringList notes;    // a log's last line, cut short by a stopped run (nothing to undo)
    qint64 keptLines = 0; // those lines, kept in the logs for another undo; -1: the logs could not be read
};

// Whether both undo logs of a run exist.
bool undoInformationExists();

// Throws the logs of the last run away (after its paths went out of date).
void discardUndoInformation();

// Undoes the last run from its logs ("&Undo", bitbtn5Click): every file gets
// its old path back (folders created as needed, never through a symbolic
// link), the folders the run made are removed once empty (for logs of older
// versions, which do not name them: the folders the undo emptied), and the
// logs are deleted; lines that could not be undone stay in them, so that
// the undo can be repeated. Without state.filesTouched the logs come from an
// earlier session and the prompter is asked first. The logs are read from
// the last line to the first, and a line whose file is already at its old
// path (the new path gone, or the same file) is skipped, so that an
// interrupted run is undone correctly and nothing is ever replaced. An undo
// keeps note of the lines it has done (UndoProgress), so that one killed
// midway is finished by the next.
UndoOutcome undoLastRun(RunState &state, Prompter *prompter, Language language, MediaPlayer *player = nullptr,
                        const RunHooks &hooks = {});

} // namespace kaz
