#include "Undo.h"

#include "PlaylistCopy.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "WorkListReader.h"

#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "platform/MediaPlayer.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/RunLock.h"
#include "tags/PictureBlock.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

// The deepest folder that holds both paths.
QString commonFolder(const QString &a, const QString &b)
{
    QString folder = parentOf(a);
    while (folder != QLatin1String("/")
           && !(b.size() > folder.size() && b.startsWith(folder) && b.at(folder.size()) == QLatin1Char('/')))
        folder = parentOf(folder);
    return folder;
}

struct Emptied {
    QString folder; // a file was moved out of it
    QString stop;   // where the move came from: this folder and those above stay
};

// Removes the folders that the undo emptied by moving files out, and the
// folders above them that held nothing but those, never a folder at or above
// the one the file came back to: the user's own empty folders stay.
qint64 removeEmptiedFolders(QList<Emptied> emptied)
{
    std::sort(emptied.begin(), emptied.end(),
              [](const Emptied &a, const Emptied &b) { return a.folder.size() > b.folder.size(); });
    qint64 removed = 0;
    for (const Emptied &e : emptied) {
        for (QString f = e.folder; f.startsWith(e.stop) && f.size() > e.stop.size(); f = parentOf(f)) {
            if (!QDir().rmdir(f))
                break;
            ++removed;
        }
    }
    return removed;
}

struct LogLine {
    QString oldPath;
    QString newPath;
};

// Far more than the logs of ten million renames.
constexpr qint64 kMaxLogBytes = qint64(1) << 31;

// Every complete line of one log; problem says why it cannot be read, and
// a line cut short (not taken) is added to notes by its number.
QStringList readLog(const char *name, QString *problem, QStringList *notes)
{
    const QString path = workFilePath(name);
    if (QFileInfo(path).size() > kMaxLogBytes) {
        *problem = path + QStringLiteral(": far larger than an undo log");
        return {};
    }
    WorkListReader reader(path);
    QStringList paths;
    while (std::optional<QString> entry = reader.next(true))
        paths.append(*entry);
    *problem = reader.problem();
    if (reader.cutLine() > 0)
        notes->append(QStringLiteral("%1, line %2: cut short; that rename cannot be undone").arg(path).arg(reader.cutLine()));
    return paths;
}

// The logs' lines; problem says why they cannot be read (then nothing is
// undone and the logs stay as they are).
QList<LogLine> readLogs(QString *problem, QStringList *notes)
{
    const QStringList oldPaths = readLog(workfile::UndoOld, problem, notes);
    if (!problem->isEmpty())
        return {};
    const QStringList newPaths = readLog(workfile::UndoNew, problem, notes);
    if (!problem->isEmpty())
        return {};
    QList<LogLine> lines;
    for (qsizetype i = 0; i < qMin(oldPaths.size(), newPaths.size()); ++i)
        lines.append({oldPaths[i], newPaths[i]});
    return lines;
}

bool writeLines(const QString &path, const QList<LogLine> &lines, bool old)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray bytes;
    for (const LogLine &line : lines)
        bytes += (old ? line.oldPath : line.newPath).toUtf8() + "\r\n";
    return file.write(bytes) == bytes.size() && file.flush() && ::fsync(file.handle()) == 0;
}

// Replaces the logs by the lines that could not be undone, so that the undo
// can be repeated once their cause is mended. Both new logs are complete
// before the old ones go, and "undo1.kaz" goes first: a kill in between
// leaves no logs or the old ones, never two that do not match.
bool keepLines(const QList<LogLine> &lines)
{
    const QString oldLog = workFilePath(workfile::UndoOld), newLog = workFilePath(workfile::UndoNew);
    const QString oldNext = workFilePath(workfile::UndoOldKept), newNext = workFilePath(workfile::UndoNewKept);
    if (!writeLines(oldNext, lines, true) || !writeLines(newNext, lines, false)) {
        QFile::remove(oldNext);
        QFile::remove(newNext);
        return false; // the full logs stay: a second undo skips what is done
    }
    QFile::remove(oldLog);
    return ::rename(QFile::encodeName(newNext).constData(), QFile::encodeName(newLog).constData()) == 0
           && ::rename(QFile::encodeName(oldNext).constData(), QFile::encodeName(oldLog).constData()) == 0;
}

QString reasonText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
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
        QList<bool> failed(lines.size(), false);
        m_state.playingFile.clear(); // a release of an earlier run is over
        m_playlist.notePlayer(m_player);
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            m_hooks.pump();
            failed[i] = !restore(lines[i]);
            m_hooks.report(lines.size() - i, lines.size());
        }
        m_outcome.foldersRemoved = removeEmptiedFolders(m_emptied);
        QList<LogLine> kept;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (failed[i])
                kept.append(lines[i]);
        }
        if (kept.isEmpty()) {
            removeWorkFile(workfile::UndoOld);
            removeWorkFile(workfile::UndoNew);
        } else if (keepLines(kept)) {
            m_outcome.keptLines = kept.size();
        } else {
            m_outcome.keptLines = lines.size();
        }
        m_playlist.save();
        m_playlist.resume(m_player, m_state.playingFile, m_state.playingPosition);
        return m_outcome;
    }

private:
    // False when the line could not be undone (and is kept).
    bool restore(const LogLine &line)
    {
        if (!QDir::isAbsolutePath(line.oldPath) || !QDir::isAbsolutePath(line.newPath))
            return fail(line, QStringLiteral("not a full path"));
        if (line.oldPath == line.newPath) {
            ++m_outcome.alreadyThere;
            return true;
        }
        const QByteArray oldNative = QFile::encodeName(line.oldPath), newNative = QFile::encodeName(line.newPath);
        struct stat atOld {}, atNew {};
        const bool oldExists = ::lstat(oldNative.constData(), &atOld) == 0;
        const bool newExists = ::lstat(newNative.constData(), &atNew) == 0;
        if (oldExists)
            return alreadyRestored(line, atOld, newExists ? &atNew : nullptr);
        if (!newExists)
            return fail(line, reasonText(ENOENT));
        // Only the file the run renamed goes back, never a folder, link or
        // device that stands at its name now.
        if (!S_ISREG(atNew.st_mode))
            return fail(line, QStringLiteral("not a regular file: ") + line.newPath);
        QDir().mkpath(parentOf(line.oldPath));
        ensureOwnerWritable(line.newPath);
        FsStatus status = moveFile(line.newPath, line.oldPath);
        if (!status.ok() && (status.errorNumber == EACCES || status.errorNumber == EBUSY) && m_player.isRunning()) {
            m_player.stop();
            status = moveFile(line.newPath, line.oldPath);
        }
        if (!status.ok())
            return fail(line, status.errorText());
        m_playlist.renamed(line.newPath, line.oldPath);
        m_emptied.append({parentOf(line.newPath), commonFolder(line.oldPath, line.newPath)});
        // A file a reorganisation disguised as a picture file gets its own
        // content back with its own name (a run stopped midway left the block on).
        if (!line.oldPath.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)
            && line.newPath.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            picture::stripIfRestored(line.oldPath);
        ++m_outcome.restored;
        return true;
    }

    // Something stands at the old path. It is the renamed file when the new
    // path is gone (a run killed between logging and renaming, or an undo
    // killed halfway) or is the same file (a case-only rename, or a move
    // killed between link and unlink); anything else keeps the line.
    bool alreadyRestored(const LogLine &line, const struct stat &atOld, const struct stat *atNew)
    {
        if (!atNew && S_ISREG(atOld.st_mode)) {
            // An undo killed halfway may have emptied its folder.
            m_emptied.append({parentOf(line.newPath), commonFolder(line.oldPath, line.newPath)});
            ++m_outcome.alreadyThere;
            return true;
        }
        if (atNew && atNew->st_dev == atOld.st_dev && atNew->st_ino == atOld.st_ino && S_ISREG(atOld.st_mode)) {
            if (atOld.st_nlink > 1)
                ::unlink(QFile::encodeName(line.newPath).constData()); // the second name of one file
            ++m_outcome.alreadyThere;
            return true;
        }
        return fail(line, QStringLiteral("another file stands at the old path"));
    }

    bool fail(const LogLine &line, const QString &reason)
    {
        m_outcome.failures.append(line.newPath + QStringLiteral(" -> ") + line.oldPath + QStringLiteral(": ") + reason);
        return false;
    }

    RunState &m_state;
    MediaPlayer &m_player;
    const RunHooks &m_hooks;
    PlaylistCopy m_playlist;
    UndoOutcome m_outcome;
    QList<Emptied> m_emptied;
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
        outcome.lockProblem = lock.problem();
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
    QString problem;
    QStringList notes;
    const QList<LogLine> lines = readLogs(&problem, &notes);
    if (problem.isEmpty()) {
        outcome = Undoer(state, player ? *player : nullMediaPlayer(), hooks).run(lines);
        outcome.failures = notes + outcome.failures;
    } else {
        outcome.failures.append(problem + QStringLiteral("; nothing was undone"));
        outcome.keptLines = -1;
    }
    state.running = false;
    return outcome;
}

} // namespace kaz
