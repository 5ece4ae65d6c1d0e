#pragma once

#include "BreakPlan.h"
#include "BuildPlan.h"

#include "platform/Language.h"
#include "platform/RunHooks.h"
#include "rename/RunState.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kaz {

class MediaPlayer;
class Prompter;

struct StructureRequest {
    QString base; // the folder the file list shows
    BuildContext context;
    bool preview = false; // plan only: no file, folder, work file or log is touched
};

// How a structure run reaches the user.
struct StructureEnvironment {
    Prompter *prompter = nullptr; // the too-small question and the messages; none when null
    Language language = kDefaultLanguage;
    MediaPlayer *player = nullptr; // stopped before files move under it; none when null
    RunHooks hooks; // pending events once per file; progress
    std::function<void(const QString &)> status;
};

// A file that moved (or, in a preview, would move): from where it was
// before the run to where it ended.
struct MovedFile {
    QString from;
    QString to;
    StructureClass cls = StructureClass::Stay; // Stay for a file the break only
    int cd = -1;
};

struct StructureOutcome {
    bool busy = false;    // another run was going on: nothing done
    QString lockProblem;  // with busy: the lock could not be taken for this reason instead
    bool refused = false; // the too-small question was not answered Yes: nothing moved
    bool tooBig = false;  // a group does not fit on one CD
    bool moveComplete = true; // the break removed (a preview: would remove) every sub-folder
    qint64 files = 0;
    std::vector<MovedFile> moved; // in run order
    QStringList failures;         // "path: reason"
    QStringList lineBreakPaths;   // left alone
    QStringList unsafePictureNames;
};

// Builds the structure from the MP3 files directly in the base folder
// (the folder pop-up's "create").
StructureOutcome make_dstructure(const StructureRequest &request, const StructureEnvironment &environment,
                                 RunState &state);

// Moves the MP3 files of every sub-folder up into the base folder and
// removes the emptied folders (the folder pop-up's "break").
StructureOutcome breakStructure(const StructureRequest &request, BreakMode mode,
                                const StructureEnvironment &environment, RunState &state);

// Break in safe mode with the other files disguised as picture files, then
// build from everything in the base folder. The whole run is planned before
// anything moves, so that the too-small question comes first.
StructureOutcome reorganizeStructure(const StructureRequest &request, const StructureEnvironment &environment,
                                     RunState &state);

// Whether base has sub-folders (a break asks its questions only then).
bool hasSubfolders(const QString &base);

} // namespace kaz
