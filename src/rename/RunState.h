#pragma once

#include <QString>

namespace kaz {

// What renaming remembers between runs of one program session.
struct RunState {
    bool running = false;
    // Set by every rename run, undo and structure command; never cleared. An
    // undo without it works on logs from an earlier session and asks first.
    bool filesTouched = false;
    // The folder the last run started from; undo returns to it.
    QString lastStartFolder;
    // The file the media player was playing when a rename had to stop it.
    QString playingFile;
    qint64 playingPosition = 0;
};

} // namespace kaz
