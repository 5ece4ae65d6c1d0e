#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace kaz {

class MediaPlayer;

// The program's copy of the media player's play list, "wpl.kaz": one line
// per queued file, a blank and the full path. Renames update it in memory;
// it is written back once, so that a run over many files does not rewrite
// it for every file.
class PlaylistCopy
{
public:
    // Loads "wpl.kaz" when it exists.
    PlaylistCopy();

    bool exists() const { return m_exists; }
    void renamed(const QString &oldPath, const QString &newPath);
    // Writes the list back when a rename changed it.
    void save();
    // Notes, before a run, which line of the list the player is playing
    // and where: renames change the paths, not the lines.
    void notePlayer(MediaPlayer &player);
    // After a run that renamed listed files (or had to release the player):
    // refills the player from the list and resumes the noted file, or
    // releasedFile (its new path) at its position, plus a second.
    void resume(MediaPlayer &player, const QString &releasedFile, qint64 releasedPosition) const;

private:
    QStringList m_paths;
    QHash<QString, qsizetype> m_index;
    bool m_exists = false;
    bool m_changed = false;
    bool m_touched = false; // a rename hit the list during this run
    qsizetype m_playingLine = -1;
    qint64 m_playingPosition = 0;
};

} // namespace kaz
