#include "Undo.h"

#include "PlaylistCopy.h"
#include "platform/WorkFiles.h"
#include "WorkListReader.h"

#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "platform/MediaPlayer.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/RunLock.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kaz {
namespace {

QString parentOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

// Removes the empty folders above a file, deepest first, up to the root of
// its volume (a mount point cannot be removed). A folder that still holds
// something ends the walk: the folders above it hold it.
qint64 removeEmptyFoldersAbove(const QString &folder)
{
    qint64 removed = 0;
    for (QString f = folder; f != QLatin1String("/"); f = parentOf(f)) {
        if (QFileInfo::exists(f)) {
            if (!QDir().rmdir(f))
                break;
            ++removed;
        }
    }
    return removed;
}

// The folders of the files after the run, children before their parents, so
// that a folder emptied by its children's removal goes too.
qint64 removeEmptyFolders(const QStringList &newPaths)
{
    QSet<QString> unique;
    for (const QString &path : newPaths) {
        if (QDir::isAbsolutePath(path))
            unique.insert(parentOf(path));
    }
    QStringList folders(unique.cbegin(), unique.cend());
    std::sort(folders.begin(), folders.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    qint64 removed = 0;
    for (const QString &folder : folders)
        removed += removeEmptyFoldersAbove(folder);
    return removed;
}

struct LogLine {
    QString oldPath;
    QString newPath;
};

QList<LogLine> readLogs()
{
    const QStringList oldPaths = WorkListReader::readAll(workFilePath(workfile::UndoOld), true);
    const QStringList newPaths = WorkListReader::readAll(workFilePath(workfile::UndoNew), true);
    QList<LogLine> lines;
    for (qsizetype i = 0; i < qMin(oldPaths.size(), newPaths.size()); ++i)
        lines.append({oldPaths[i], newPaths[i]});
    return lines;
}

class Undoer
{
public:
    Undoer(RunState &state, MediaPlayer &player, const RunHooks &hooks)
        : m_state(state)
        , m_player(player)
        , m_hooks(hooks)
    {
    }

    UndoOutcome run(const QList<LogLine> &lines)
    {
        m_state.playingFile.clear(); // a release of an earlier run is over
        m_playlist.notePlayer(m_player);
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            m_hooks.pump();
            restore(lines[i]);
            m_hooks.report(lines.size() - i, lines.size());
        }
        QStringList newPaths;
        for (const LogLine &line : lines)
            newPaths.append(line.newPath);
        m_outcome.foldersRemoved = removeEmptyFolders(newPaths);
        m_playlist.save();
        m_playlist.resume(m_player, m_state.playingFile, m_state.playingPosition);
        return m_outcome;
    }

private:
    void restore(const LogLine &line)
    {
        if (!QDir::isAbsolutePath(line.oldPath) || !QDir::isAbsolutePath(line.newPath)) {
            fail(line, QStringLiteral("not a full path"));
            return;
        }
        if (line.oldPath == line.newPath || pathExists(line.oldPath)) {
            ++m_outcome.alreadyThere;
            return;
        }
        if (!pathExists(line.newPath)) {
            fail(line, QString::fromLocal8Bit(std::strerror(ENOENT)));
            return;
        }
        QDir().mkpath(parentOf(line.oldPath));
        ensureOwnerWritable(line.newPath);
        FsStatus status = moveFile(line.newPath, line.oldPath);
        if (!status.ok() && (status.errorNumber == EACCES || status.errorNumber == EBUSY) && m_player.isRunning()) {
            m_player.stop();
            status = moveFile(line.newPath, line.oldPath);
        }
        if (!status.ok()) {
            fail(line, status.errorText());
            return;
        }
        m_playlist.renamed(line.newPath, line.oldPath);
        ++m_outcome.restored;
    }

    void fail(const LogLine &line, const QString &reason)
    {
        m_outcome.failures.append(line.newPath + QStringLiteral(" -> ") + line.oldPath + QStringLiteral(": ") + reason);
    }

    RunState &m_state;
    MediaPlayer &m_player;
    const RunHooks &m_hooks;
    PlaylistCopy m_playlist;
    UndoOutcome m_outcome;
};

} // namespace

bool undoInformationExists()
{
    return QFileInfo::exists(workFilePath(workfile::UndoOld)) && QFileInfo::exists(workFilePath(workfile::UndoNew));
}

void discardUndoInformation()
{
    removeWorkFile(workfile::UndoOld);
    removeWorkFile(workfile::UndoNew);
}

UndoOutcome undoLastRun(RunState &state, Prompter *prompter, Language language, MediaPlayer *player,
                        const RunHooks &hooks)
{
    UndoOutcome outcome;
    const RunLock lock;
    if (!lock.acquired()) {
        outcome.busy = true;
        return outcome;
    }
    if (!undoInformationExists()) {
        outcome.noInformation = true;
        removeWorkFile(workfile::UndoOld);
        removeWorkFile(workfile::UndoNew);
        return outcome;
    }
    if (!state.filesTouched && prompter
        && prompter->ask(MessageKind::Information, ButtonSet::OkCancel, message(Msg::UndoFromLastSession, language))
               != Button::Ok) {
        outcome.cancelled = true;
        return outcome;
    }
    state.filesTouched = true;
    state.running = true;
    outcome = Undoer(state, player ? *player : nullMediaPlayer(), hooks).run(readLogs());
    removeWorkFile(workfile::UndoOld);
    removeWorkFile(workfile::UndoNew);
    state.running = false;
    return outcome;
}

} // namespace kaz
