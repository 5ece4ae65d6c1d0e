#pragma once

#include "CleanupOptions.h"

#include "platform/Language.h"
#include "platform/RunHooks.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace kaz {

class Prompter;

// A file name split where the cleanup splits it: the extension is the text
// from the last "." on (empty without one) and is never changed.
struct NameParts {
    QString base;
    QString extension;
};
NameParts splitFileName(const QString &fileName);
qsizetype extensionStart(QStringView fileName); // where the extension begins (the size without one)
bool isMp3FileName(QStringView fileName);

// One file of a cleanup run as planned. Its folder and extension are parts
// of its path: a cleanup changes neither.
struct CleanupItem {
    enum Skip { NotSkipped, EmptyBaseName, NameWouldVanish, OnlyExtension, LineBreak };
    QString oldPath;
    QString newBase;
    qsizetype folderSize = 0;    // of the folder with its trailing "/"
    qsizetype extensionSize = 0; // of the extension with its dot
    Skip skip = NotSkipped;
    int droppedEntries = 0; // script entries this name made go (one message each)

    QStringView folder() const { return QStringView(oldPath).left(folderSize); }
    // The file name as it is: the part of oldPath after the folder.
    QStringView oldName() const { return QStringView(oldPath).mid(folderSize); }
    QStringView extension() const { return QStringView(oldPath).last(extensionSize); }
    // The planned file name, fitted to the byte limit of a name.
    QString newName() const;
};

// The plan of a run: what each file's name becomes, in the order given. A
// file whose name the script would empty makes the last entry go; the files
// after it are planned with the shorter script, as the page does it.
struct CleanupPlan {
    QList<CleanupItem> items;
    QString script;         // the script in the end
    int droppedEntries = 0; // each drop is one "whole filename" message
};
CleanupPlan planCleanup(const QStringList &paths, const QString &script, const CleanupOptions &options);

// The number of files whose extension is not ".mp3" (any case), and the
// question the run asks about them.
qsizetype countNonMp3(const QStringList &paths);
QString nonMp3Question(qsizetype count, Language language);

struct CleanupFileResult {
    enum Outcome { Renamed, Unchanged, Skipped, Failed };
    QString oldPath;
    QString finalPath; // where the file is now (planned, in a preview)
    Outcome outcome = Unchanged;
    QString reason; // why a file kept its name
};

struct CleanupOutcome {
    bool busy = false;      // another run was going on: nothing done
    QString lockProblem;    // with busy: the lock could not be taken for this reason instead
    bool cancelled = false; // the non-MP3 question was answered with Cancel
    qsizetype nonMp3Left = 0; // files left out by the answer Yes
    QString script;           // the script in the end (shorter after a message)
    QList<CleanupFileResult> files; // empty when the environment takes each result
    qint64 handled = 0;             // files with a result
    qint64 renamed = 0;
    qint64 unchanged = 0;
    // Files that kept their names against the plan (skipped or failed).
    qint64 notCleaned() const { return handled - renamed - unchanged; }
};

struct CleanupRequest {
    QStringList paths; // full paths, in list order
    QString script;
    CleanupOptions options;
    bool preview = false;
};

struct CleanupEnvironment {
    Prompter *prompter = nullptr; // the non-MP3 question and the empty-name message
    Language language = kDefaultLanguage;
    RunHooks hooks;
    // Shows each file as the run reaches it (the page's live view), before
    // a message about its name.
    std::function<void(const CleanupItem &)> showFile;
    // Takes each file's result in list order as soon as it is final, in
    // place of the outcome's list: a run over many files then holds no
    // result it has handed on.
    std::function<void(const CleanupFileResult &)> takeResult;
};

// The run of page "1" ("Go!"): the non-MP3 question, the plan, then the
// renames. No file is ever replaced: a taken name gets " (1)", " (2)", ...
// after the planned name. Every rename is logged before it is made, so
// that undoCleanup() can reverse the run from any process.
CleanupOutcome cleanupFiles(const CleanupRequest &request, const CleanupEnvironment &environment);

struct CleanupUndoOutcome {
    bool busy = false;
    QString lockProblem; // with busy: the lock could not be taken for this reason instead
    bool nothingToUndo = false;
    qint64 restored = 0;
    qint64 alreadyThere = 0;
    QStringList failures; // lines not undone and why, lines of the log that cannot be read
    QStringList notes;    // the log's last line, cut short by a stopped run (nothing to undo)
    qint64 keptLines = 0; // renames left in the log for a later undo
};
// Gives the files of the last cleanup run their old names back, last rename
// first, and deletes the log. A line whose old path already holds the
// renamed file is done; a rename that cannot be made (another file holds
// the old name, ...) is reported and its line stays in the log, so that a
// later undo finishes it once the way is free.
CleanupUndoOutcome undoCleanup(const RunHooks &hooks = {});

} // namespace kaz
