#include "PlaylistCopy.h"

#include "platform/WorkFiles.h"
#include "WorkListReader.h"
#include "WorkListWriter.h"

#include "platform/MediaPlayer.h"

#include <QFile>

namespace kaz {

PlaylistCopy::PlaylistCopy()
{
    const QString path = workFilePath(workfile::PlayList);
    m_exists = QFile::exists(path);
    for (const QString &line : WorkListReader::readAll(path)) {
        const QString file = line.startsWith(QLatin1Char(' ')) ? line.mid(1) : line;
        m_index.insert(file, m_paths.size());
        m_paths.append(file);
    }
}

void PlaylistCopy::renamed(const QString &oldPath, const QString &newPath)
{
    const auto it = m_index.constFind(oldPath);
    if (it == m_index.cend())
        return;
    const qsizetype line = it.value();
    m_index.erase(it);
    m_paths[line] = newPath;
    m_index.insert(newPath, line);
    m_changed = true;
    m_touched = true;
}

void PlaylistCopy::notePlayer(MediaPlayer &player)
{
    if (!m_exists || !player.isRunning() || !player.isPlaying())
        return;
    m_playingLine = m_index.value(player.currentFile(), -1);
    m_playingPosition = player.position();
}

void PlaylistCopy::save()
{
    if (!m_changed)
        return;
    const QString rewrite = workFilePath("wpl_.kaz");
    WorkListWriter writer(rewrite);
    for (const QString &path : m_paths)
        writer.append(QLatin1Char(' ') + path);
    if (writer.close()) {
        const QString path = workFilePath(workfile::PlayList);
        QFile::remove(path);
        QFile::rename(rewrite, path);
    }
    m_changed = false;
}

void PlaylistCopy::resume(MediaPlayer &player, const QString &releasedFile, qint64 releasedPosition) const
{
    // A run that renamed nothing of the list leaves the music alone.
    if (!m_exists || (!m_touched && releasedFile.isEmpty()) || !player.isRunning())
        return;
    player.clearPlaylist();
    for (const QString &path : m_paths)
        player.addFile(path);
    qsizetype line = m_playingLine;
    qint64 position = m_playingPosition;
    if (!releasedFile.isEmpty()) {
        line = m_paths.indexOf(releasedFile);
        position = releasedPosition;
    }
    if (line < 0)
        return;
    player.playFromList(line);
    player.jumpTo(position + 1000);
}

} // namespace kaz
