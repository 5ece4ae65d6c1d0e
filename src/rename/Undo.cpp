#include "Undo.h"

#include "PlaylistCopy.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "WorkListReader.h"

#include "platform/FaultPoint.h"
#include "platform/FileOps.h"
#include "platform/FolderChain.h"
#include "platform/FolderListing.h"
#include "platform/MediaPlayer.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/RunLock.h"
#include "platform/SmallFile.h"
#include "tags/PictureBlock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
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
    // The pair "folder/", "folder/": a folder the run made.
    bool madeFolder() const { return oldPath == newPath && oldPath.endsWith(QLatin1Char('/')); }
};

// Far more than the logs of ten million renames.
constexpr qint64 kMaxLogBytes = qint64(1) << 31;
// Far more than the marks an undo of them leaves.
constexpr qint64 kMaxProgressBytes = qint64(64) << 20;

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
        notes->append(cutShortNote(path, reader.cutLine()));
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

// How far an undo got: a first line naming the logs (a hash over both),
// then one character per line handled, from the last line of the logs on:
// 'd' done, 'f' failed (tried again by the next undo). It lets the next undo
// finish a killed one without guessing from the disk where a file that moved
// more than once stands. Written as the undo goes; a kill loses at most the
// mark of the line being undone, which the next undo finds done on the disk.
// Something other than a regular file at its name is left alone (the undo
// then goes by the disk alone, and says so).
class UndoProgress
{
public:
    explicit UndoProgress(const QByteArray &logsId, QStringList *notes)
    {
        const QString path = workFilePath(workfile::UndoProgress);
        QString problem;
        QFile file(path);
        if (openWorkFile(file, QIODevice::ReadOnly, &problem)) {
            // One mark per line: far less than the logs, or not ours.
            const QByteArray bytes = file.size() <= kMaxProgressBytes ? file.readAll() : QByteArray();
            const qsizetype end = bytes.indexOf('\n');
            if (end >= 0 && bytes.left(end) == logsId)
                m_marks = bytes.mid(end + 1);
            file.close();
        }
        if (problem.isEmpty()) {
            m_fd = openWorkFileDescriptor(path, m_marks.isEmpty() ? QIODevice::WriteOnly : QIODevice::Append, &problem);
            if (m_fd >= 0 && m_marks.isEmpty())
                put(logsId + '\n');
        }
        if (!problem.isEmpty())
            notes->append(problem);
    }
    ~UndoProgress()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    UndoProgress(const UndoProgress &) = delete;
    UndoProgress &operator=(const UndoProgress &) = delete;

    // The mark of the index-th line from the end an earlier undo left: 'd', 'f' or 0.
    char earlier(qsizetype fromEnd) const { return fromEnd < m_marks.size() ? m_marks[fromEnd] : 0; }
    void mark(qsizetype fromEnd, bool done)
    {
        if (fromEnd >= m_marks.size())
            put(QByteArray(1, done ? 'd' : 'f'));
    }

    // The logs of one run, by what they hold: marks of an undo of other
    // logs (of the same sizes too) are never taken for theirs.
    static QByteArray logsId()
    {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const char *name : {workfile::UndoOld, workfile::UndoNew}) {
            QFile log(workFilePath(name));
            if (openWorkFile(log, QIODevice::ReadOnly))
                hash.addData(&log);
            hash.addData("\n");
        }
        return "logs " + hash.result().toHex();
    }

private:
    void put(const QByteArray &bytes)
    {
        if (m_fd >= 0 && ::write(m_fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
            ::close(m_fd); // without marks the next undo goes by the disk alone
            m_fd = -1;
        }
    }

    int m_fd = -1;
    QByteArray m_marks;
};

bool writeLines(const QString &path, const QList<LogLine> &lines, bool old)
{
    QFile file(path);
    if (!openWorkFile(file, QIODevice::WriteOnly | QIODevice::Truncate))
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
    const bool replaced
        = ::rename(QFile::encodeName(newNext).constData(), QFile::encodeName(newLog).constData()) == 0
          && ::rename(QFile::encodeName(oldNext).constData(), QFile::encodeName(oldLog).constData()) == 0;
    removeWorkFile(workfile::UndoProgress); // its first line no longer names these logs
    return replaced;
}

// The folders that the run made, removed once they are empty, the deepest
// (the last made) first; a folder that still holds anything stays, and so
// does one that is reached only through a symbolic link now.
qint64 removeMadeFolders(const QList<LogLine> &lines)
{
    QSet<QString> made;
    for (const LogLine &line : lines) {
        if (line.madeFolder())
            made.insert(line.oldPath.chopped(1));
    }
    qint64 removed = 0;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        if (!lines[i].madeFolder())
            continue;
        const QString folder = lines[i].oldPath.chopped(1);
        QString top = parentOf(folder);
        while (made.contains(top))
            top = parentOf(top);
        faultPoint("rmdir");
        if (ensureRealFolder(top, folder).ok() && QDir().rmdir(folder))
            ++removed;
    }
    return removed;
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

    UndoOutcome run(const QList<LogLine> &lines, UndoProgress &progress)
    {
        QList<bool> failed(lines.size(), false);
        bool madeFolders = false;
        m_state.playingFile.clear(); // a release of an earlier run is over
        m_playlist.notePlayer(m_player);
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            m_hooks.pump();
            const qsizetype fromEnd = lines.size() - 1 - i;
            const LogLine &line = lines[i];
            if (line.madeFolder()) {
                madeFolders = true;
            } else if (progress.earlier(fromEnd) == 'd') {
                // Undone by an undo that was stopped: only its folder is left to look at.
                m_emptied.append({parentOf(line.newPath), commonFolder(line.oldPath, line.newPath)});
            } else {
                const qsizetype failures = m_outcome.failures.size();
                failed[i] = !restore(line);
                if (failed[i] && m_outcome.failures.size() > failures)
                    m_failureOf.insert(i, failures);
            }
            progress.mark(fromEnd, !failed[i]);
            m_hooks.report(fromEnd + 1, lines.size());
        }
        retryLinesOfSharedNames(lines, failed);
        // A run killed while it copied a file to another file system left
        // the copy cut short under a hidden name in the target folder.
        QSet<QString> targets;
        for (const LogLine &line : lines)
            targets.insert(line.madeFolder() ? line.oldPath.chopped(1) : parentOf(line.newPath));
        for (const QString &folder : targets)
            removeDeadCopyLeftovers(folder);
        // Logs that name the folders their run made say exactly what to
        // remove; older logs do not, and the folders the undo emptied go.
        m_outcome.foldersRemoved = madeFolders ? removeMadeFolders(lines) : removeEmptiedFolders(m_emptied);
        QList<LogLine> kept;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const bool folderLeft = lines[i].madeFolder() && pathExists(lines[i].oldPath);
            if (failed[i] || folderLeft)
                kept.append(lines[i]);
        }
        if (std::none_of(failed.cbegin(), failed.cend(), [](bool f) { return f; })) {
            removeWorkFile(workfile::UndoOld);
            removeWorkFile(workfile::UndoNew);
            removeWorkFile(workfile::UndoProgress);
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
    // Two files of one batch logged with the same new name (a kill came
    // before the second found it taken): the line of the file that kept its
    // name finds the other file at that name until that one's line is
    // undone. Such lines are tried once more at the end.
    void retryLinesOfSharedNames(const QList<LogLine> &lines, QList<bool> &failed)
    {
        QHash<QString, int> uses;
        for (const LogLine &line : lines)
            ++uses[line.newPath];
        QList<qsizetype> dropped;
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (!failed[i] || uses.value(lines[i].newPath) < 2 || !m_failureOf.contains(i))
                continue;
            const qsizetype failures = m_outcome.failures.size();
            failed[i] = !restore(lines[i]);
            if (failed[i])
                m_outcome.failures.resize(failures); // the first reason stands
            else
                dropped.append(m_failureOf.value(i));
        }
        std::sort(dropped.begin(), dropped.end());
        for (qsizetype k = dropped.size() - 1; k >= 0; --k)
            m_outcome.failures.removeAt(dropped[k]);
    }

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
        // pipe that stands at its name now (the runs move regular files only).
        if (!S_ISREG(atNew.st_mode))
            return fail(line, QStringLiteral("not a regular file: ") + line.newPath);
        // Both ends only through real folders below the folder the two
        // paths share: a link put in their way is not followed.
        const QString top = commonFolder(line.oldPath, line.newPath);
        FsStatus chain = ensureRealFolder(top, parentOf(line.newPath));
        if (chain.ok())
            chain = ensureRealFolder(top, parentOf(line.oldPath), [](const QString &) { return true; });
        if (!chain.ok())
            return fail(line, chain.errorText());
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
        takeOffPictureBlock(line);
        ++m_outcome.restored;
        noteGivenBack(line.oldPath);
        return true;
    }

    // A file a reorganisation disguised as a picture file gets its own
    // content back with its own name (a run stopped midway left the block
    // on, or an undo was stopped between the rename and the cut).
    static void takeOffPictureBlock(const LogLine &line)
    {
        if (!line.oldPath.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive)
            && line.newPath.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            picture::stripIfRestored(line.oldPath);
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
            takeOffPictureBlock(line);
            ++m_outcome.alreadyThere;
            noteGivenBack(line.oldPath);
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

    void noteGivenBack(const QString &oldPath)
    {
        QString &folder = m_outcome.folder;
        folder = folder.isEmpty() ? parentOf(oldPath) : commonFolder(folder + QStringLiteral("/-"), oldPath);
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
    QHash<qsizetype, qsizetype> m_failureOf; // a failed line's reason in m_outcome.failures
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
    removeWorkFile(workfile::UndoProgress);
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
        discardUndoInformation();
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
    const QByteArray logsId = UndoProgress::logsId();
    const QList<LogLine> lines = readLogs(&problem, &notes);
    if (problem.isEmpty()) {
        UndoProgress progress(logsId, &notes);
        outcome = Undoer(state, player ? *player : nullMediaPlayer(), hooks).run(lines, progress);
        outcome.notes = notes;
    } else {
        outcome.failures.append(problem + QStringLiteral("; nothing was undone"));
        outcome.keptLines = -1;
    }
    state.running = false;
    return outcome;
}

} // namespace kaz
