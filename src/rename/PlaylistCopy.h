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
    // Refills the player from the list and resumes the file that was
    // playing, at its position (plus a second).
    void resume(MediaPlayer &player, const QString &playingFile, qint64 position) const;

private:
    QStringList m_paths;
    QHash<QString, qsizetype> m_index;
    bool m_exists = false;
    bool m_changed = false;
};

} // namespace kaz
