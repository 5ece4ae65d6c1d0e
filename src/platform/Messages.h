#pragma once

#include "Language.h"

#include <QString>

namespace kaz {

// The message texts that several parts of the program share, in both
// languages. Line breaks inside a text are the pair LF CR, as the program has
// always written them; texts starting with a blank follow a count, texts
// ending in line breaks are followed by a file or folder name.
enum class Msg {
    OldIniFile,
    StartupFolder,
    NotOnHardDisk,
    WinampFolder,
    FileTooShort,
    Lyrics3Corrupt,
    Id3v2FrameUnreadable, // followed by ": " and the file
    FilesNotRenamed,
    OneLevelBack,
    UndoFromLastSession,
    DeleteFolders,
    ErrorInNewName,
    UserFolderMissing,
    ExternalProgramMissing,
    BreakWithSecurityLevel,
    WinampStopped,
    NotAllMoved,
    ReorganizeWarning,
    MoveAllFiles,
    StructureSizeTooSmall,
    OneNonMp3File,
    SeveralNonMp3Files,
    OneNonMp3FileTag,      // page "2": the same question about writing tags
    SeveralNonMp3FilesTag,
    WholeNameRemoved,
    AlreadyRunning, // the same text in both languages
    SettingsNotWritten, // followed by the file and the system's error
};

QString message(Msg id, Language language);

// A message text made fit for a terminal: the LF CR pairs become plain LF.
QString forTerminal(const QString &text);

} // namespace kaz
