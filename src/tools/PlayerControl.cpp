#include "PlayerControl.h"

#include "platform/MediaPlayer.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QFile>

namespace kaz {

PlayerControl::PlayerControl(MediaPlayer &player)
    : m_player(player)
{
}

bool PlayerControl::ensureRunning()
{
    m_failedPlayer.clear();
    if (m_player.launch())
        return true;
    m_failedPlayer = m_player.errorText();
    return false;
}

// A path with a line break cannot stand on a line of the list; the player
// does not get it either, so that list and player stay in step.
void PlayerControl::queue(const QStringList &paths, bool fresh)
{
    QFile list(workFilePath(workfile::PlayList));
    const bool open = openWorkFile(list, fresh ? QIODevice::WriteOnly | QIODevice::Truncate : QIODevice::Append);
    for (const QString &path : paths) {
        if (hasLineBreak(path))
            continue;
        if (open)
            list.write((QLatin1Char(' ') + path).toUtf8() + "\r\n");
        m_player.addFile(path);
    }
}

bool PlayerControl::playFiles(const QStringList &paths)
{
    if (!ensureRunning())
        return false;
    m_player.clearPlaylist();
    queue(paths, true);
    m_player.startPlaying();
    return true;
}

bool PlayerControl::addFiles(const QStringList &paths)
{
    if (!ensureRunning())
        return false;
    queue(paths, false);
    return true;
}

void PlayerControl::stop()
{
    m_player.stop();
    removeWorkFile(workfile::PlayList);
}

bool PlayerControl::pauseToggle()
{
    m_player.pauseToggle();
    return m_player.isPlaying();
}

void PlayerControl::next()
{
    m_player.next();
}

QString PlayerControl::errorText(Language language) const
{
    if (m_failedPlayer.isEmpty())
        return {};
    return QString::fromUtf8(tr2(language, "The media player did not start:\n\r", "Der Mediaplayer ist nicht gestartet:\n\r"))
           + m_failedPlayer;
}

} // namespace kaz
