#pragma once

#include "PreviewTable.h"
#include "RenameSettings.h"
#include "RunState.h"

#include "platform/Language.h"
#include "platform/RunHooks.h"
#include "platform/TextCodec.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace kaz {

class MediaPlayer;
class Prompter;

// What to rename: the selection, or (with none and "include subdirectories")
// every MP3 file of the tree below the start folder.
struct RenameRequest {
    RenameSettings settings;
    QString startFolder;
    QStringList selection; // full paths, in list order
    bool preview = false;
    // The run follows a preview whose dialog left "fl_pre.kaz": that list
    // replaces the gathered one.
    bool usePreviewList = false;
    // The run renames what a structure step just moved: its renames go to
    // the end of that step's undo logs, so that one undo reverses both.
    bool continueUndoLogs = false;
};

// How the run reaches the user and the outside world.
struct RenameEnvironment {
    Prompter *prompter = nullptr; // "to short" messages and the end warning; none when null
    Language language = kDefaultLanguage;
    const TextCodec *codec = &defaultTextCodec();
    bool useId3v2 = false; // the tag-source setting: ID3v2 values where a file has no ID3v1 tag
    MediaPlayer *player = nullptr; // null: no player
    RunHooks hooks;                // pending events once per file; file progress
    std::function<void(qint64, qint64)> folderProgress;
    std::function<void(const QString &)> status;
};

struct RenameOutcome {
    bool busy = false;    // another run (window or command line) was going on: nothing done
    QString lockProblem;  // with busy: the lock could not be taken for this reason instead
    qint64 files = 0;     // files worked on
    qint64 renamed = 0;   // got their new (or marked) name
    qint64 unchanged = 0; // already had it
    qint64 notRenamed = 0;    // marked with "! " (or would be, in a preview)
    qint64 missingFields = 0; // preview: tagged files lacking artist, album or title
    // Files left untouched because their path holds a line break.
    QStringList lineBreakPaths;
    // Files whose rename failed, and files and folders left alone: path and
    // reason.
    QStringList failures;
    // The file list could not be written: the run stopped before its first
    // rename (the reason is in failures).
    bool workListFailed = false;
    PreviewTable preview; // filled in preview mode, in run order
};

// The rename run of page "0" ("&Go!"), or its preview mode: gathers the
// files into "fl.kaz", reads each file's tag, composes its name and renames
// it, marking files whose tag lacks a selected field; logs every rename for
// undo before making it.
RenameOutcome renaming(const RenameRequest &request, const RenameEnvironment &environment, RunState &state);

} // namespace kaz
