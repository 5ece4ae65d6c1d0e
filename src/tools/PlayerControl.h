#pragma once

#include "platform/Language.h"

#include <QString>
#include <QStringList>

namespace kaz {

class MediaPlayer;

// The player commands of the main window and the tag editor: play the
// selection, add it to the play list, stop, pause, next. The program keeps
// its own copy of what it queued in "wpl.kaz" (one " " + path line per
// file), so that a rename run can give the player the new paths.
class PlayerControl
{
public:
    explicit PlayerControl(MediaPlayer &player);

    // Starts the player when none runs, clears its play list, queues the
    // files (a fresh "wpl.kaz") and plays from the first. False when the
    // player did not start; errorText(language) then tells why, or is empty
    // when no player is configured (nothing happens then, silently).
    bool playFiles(const QStringList &paths);
    // Starts the player when none runs and appends the files to its play
    // list and to "wpl.kaz", without clearing or starting.
    bool addFiles(const QStringList &paths);
    // Stops (the player stays open) and forgets the queued list.
    void stop();
    // Pause toggle; true when the player then plays or pauses.
    bool pauseToggle();
    void next();

    QString errorText(Language language) const;

private:
    bool ensureRunning();
    void queue(const QStringList &paths, bool fresh);

    MediaPlayer &m_player;
    QString m_failedPlayer;
};

} // namespace kaz
