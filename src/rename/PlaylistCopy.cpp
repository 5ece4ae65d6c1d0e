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

void PlaylistCopy::resume(MediaPlayer &player, const QString &playingFile, qint64 position) const
{
    if (!player.isRunning() || !m_exists || playingFile.isEmpty())
        return;
    player.clearPlaylist();
    for (const QString &path : m_paths)
        player.addFile(path);
    const qsizetype line = m_paths.indexOf(playingFile);
    if (line < 0)
        return;
    player.stop();
    for (qsizetype i = 0; i < line; ++i)
        player.next();
    player.play();
    player.jumpTo(position + 1000);
}

} // namespace kaz
