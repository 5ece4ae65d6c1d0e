#pragma once

#include <QString>

namespace kaz {

// The work files of the program folder, all in one place.
namespace workfile {
inline constexpr const char *FolderList = "dl.kaz";
inline constexpr const char *FolderLevel = "dl_temp2.kaz";
inline constexpr const char *FolderNextLevel = "dl_temp.kaz";
inline constexpr const char *FileList = "fl.kaz";
inline constexpr const char *FileListRewrite = "fl_.kaz";
inline constexpr const char *PreviewFileList = "fl_pre.kaz";
inline constexpr const char *UndoOld = "undo1.kaz";
inline constexpr const char *UndoNew = "undo2.kaz";
// The last run's logs, set aside until the new run renames something.
inline constexpr const char *UndoOldSetAside = "undo1.kaz.last";
inline constexpr const char *UndoNewSetAside = "undo2.kaz.last";
// The lines an undo could not finish, before they replace the logs.
inline constexpr const char *UndoOldKept = "undo1.kaz.next";
inline constexpr const char *UndoNewKept = "undo2.kaz.next";
// How far an undo got through the logs, so that a killed undo is finished
// by the next one.
inline constexpr const char *UndoProgress = "undo.kaz.done";
// Journals of tag writes in progress: this prefix, the process, a number.
inline constexpr const char *TailJournalPrefix = "tailwrite-";
// Journals of writes at the start of files (ID3v2 tags), named alike.
inline constexpr const char *HeadJournalPrefix = "headwrite-";
inline constexpr const char *PlayList = "wpl.kaz";
inline constexpr const char *WriteTest = "~temp.kaz";
inline constexpr const char *DirList = "DIR.KAZ";
inline constexpr const char *NewDirList = "DIR2.KAZ";
inline constexpr const char *SendTo = "sendto.kaz";
// Saved replace scripts of page "1", and the log of its last cleanup run.
inline constexpr const char *CleanupRules = "cleanup.kaz";
inline constexpr const char *CleanupUndo = "cleanup_undo.kaz";
// The last cleanup run's log, set aside until the new run renames something.
inline constexpr const char *CleanupUndoSetAside = "cleanup_undo.kaz.last";
} // namespace workfile

// The full path of a work file; the program folder is created when missing.
QString workFilePath(const char *name);

// A path that cannot stand on one line of a work file or log.
bool hasLineBreak(QStringView path);

// Deletes a work file when it exists.
void removeWorkFile(const char *name);

// What an undo says of a log's last line cut short: the logs are written
// before the renames, so a run stopped while writing it renamed nothing for it.
QString cutShortNote(const QString &logPath, qsizetype line);

} // namespace kaz
