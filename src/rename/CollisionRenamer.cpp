#include "CollisionRenamer.h"

#include "NameComposer.h"
#include "PlaylistCopy.h"
#include "RunState.h"
#include "UndoLogWriter.h"

#include "platform/FolderListing.h"
#include "platform/FreeName.h"
#include "platform/MediaPlayer.h"
#include "platform/NativeName.h"
#include "platform/Utf16Scan.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <cerrno>
#include <string>
#include <type_traits>
#include <fcntl.h>
#include <sys/stat.h>

namespace kaz {
namespace {

bool isLockError(int error)
{
    return error == EACCES || error == EPERM || error == EBUSY || error == ETXTBSY;
}

// Another file has the name; a name that is the file's own in other letter
// case (on a file system that ignores case) is not taken.
bool takenByAnother(const QString &path, const QString &target)
{
    struct stat atTarget {}, atPath {};
    if (::lstat(QFile::encodeName(target).constData(), &atTarget) != 0)
        return false;
    return ::lstat(QFile::encodeName(path).constData(), &atPath) != 0 || atPath.st_dev != atTarget.st_dev
           || atPath.st_ino != atTarget.st_ino;
}

// Long names are cut to fit the file system, suffix included: the cut name
// no longer shows its base, so such names are not remembered.
constexpr int kRememberedBaseBytes = 200;

QString suffixKey(const QString &folder, const QString &base, const QString &extension)
{
    // Lower case: a freed name lowers the number of every name it might be.
    return (folder + QChar(0) + base + QChar(0) + extension).toLower();
}

// The key and number of a name: "Song (3).mp3" is number 3 of "Song".
std::pair<QString, int> suffixOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    QString stem = path.mid(slash + 1);
    const qsizetype dot = stem.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : stem.mid(dot);
    stem.truncate(dot < 0 ? stem.size() : dot);
    static const QRegularExpression numbered(QStringLiteral("^(.*) \\(([0-9]{1,7})\\)$"));
    const QRegularExpressionMatch m = numbered.match(stem);
    if (m.hasMatch())
        return {suffixKey(folder, m.captured(1), extension), m.captured(2).toInt()};
    return {suffixKey(folder, stem, extension), 1};
}

} // namespace

CollisionRenamer::CollisionRenamer(UndoLogWriter *log, MediaPlayer &player, PlaylistCopy &playlist, RunState &state)
    : m_log(log)
    , m_player(player)
    , m_playlist(playlist)
    , m_state(state)
{
}

CollisionRenamer::Result CollisionRenamer::renameWithSuffix(const QString &oldPath, const QString &folder,
                                                            const QString &base, const QString &extension)
{
    Result result;
    const bool remember = base.toUtf8().size() < kRememberedBaseBytes;
    const QString key = suffixKey(folder, base, extension);
    for (int k = remember ? m_nextSuffix.value(key, 1) : 1; k <= kMaxNameNumber; ++k) {
        const QString suffix = k == 1 ? QString() : nameNumber(k);
        const QString tail = suffix + extension;
        result = renameTo(oldPath, folder + fitFileName(base, tail) + tail);
        if (result.outcome != TargetTaken) {
            // Numbers below k are taken; k itself is taken when the rename was
            // made or the file had the name already.
            if (remember)
                m_nextSuffix.insert(key, result.outcome == Failed ? k : k + 1);
            return result;
        }
    }
    result.outcome = Failed;
    result.status = FsStatus::fromErrno(EEXIST);
    return result;
}

FsStatus CollisionRenamer::notLogged() const
{
    FsStatus status = FsStatus::fromErrno(EIO);
    if (m_log && !m_log->problem().isEmpty())
        status.detail = QStringLiteral("not renamed, the undo log could not be written: ") + m_log->problem();
    return status;
}

CollisionRenamer::Result CollisionRenamer::renameTo(const QString &oldPath, const QString &target)
{
    Result result;
    result.target = target;
    if (target == oldPath) {
        result.outcome = Unchanged;
        return result;
    }
    // The rename itself refuses a taken name (and the pair logged for it is
    // taken back); the look before it keeps a taken name out of the logs, so
    // that a run killed between logging and renaming never leaves a line
    // whose new path is another file.
    if (takenByAnother(oldPath, target)) {
        result.outcome = TargetTaken;
        result.status = FsStatus::fromErrno(EEXIST);
        return result;
    }
    if (m_log && !m_log->record(oldPath, target)) {
        result.status = notLogged();
        return result;
    }
    // Files renamed without reading their tag (user-defined names) get the
    // write permission here that a tag read gives the others.
    ensureOwnerWritable(oldPath);
    result.status = renameReleasingPlayer(oldPath, target);
    if (result.status.ok()) {
        result.outcome = Renamed;
        renamed(oldPath, target);
        return result;
    }
    if (m_log)
        m_log->retract();
    result.outcome = result.status.outcome == FsStatus::TargetExists ? TargetTaken : Failed;
    return result;
}

QString CollisionRenamer::firstChoice(const Job &job)
{
    return job.folder + fitFileName(job.base, job.extension) + job.extension;
}

QList<CollisionRenamer::Result> CollisionRenamer::renameAll(const QList<Job> &jobs)
{
    QList<Result> results;
    results.reserve(jobs.size());
    // Each job's folder descriptor and names in it (the full paths when the
    // folder cannot be opened). The names of a batch lie in one buffer, each
    // closed by a NUL.
    struct Names {
        int dir = AT_FDCWD;
        std::size_t from = 0, fromSize = 0, to = 0, toSize = 0;
        QString target;
    };
    std::string bytes;
    const auto add = [&bytes](const auto &name, std::size_t *at, std::size_t *size) {
        *at = bytes.size();
        if constexpr (std::is_same_v<std::decay_t<decltype(name)>, QByteArray>)
            bytes.append(name.constData(), std::size_t(name.size()));
        else
            appendNativeBytes(bytes, name);
        *size = bytes.size() - *at;
        bytes.push_back('\0');
    };
    const auto bytesAt = [&bytes](std::size_t at, std::size_t size) {
        return QByteArray::fromRawData(bytes.data() + at, qsizetype(size));
    };
    const auto namesOf = [this, &add](const Job &job) {
        Names names;
        names.target = job.target.isEmpty() ? firstChoice(job) : job.target;
        const QString &target = names.target;
        names.dir = m_folder.open(job.folder);
        if (names.dir < 0 || !job.oldPath.startsWith(job.folder) || !target.startsWith(job.folder)) {
            names.dir = AT_FDCWD;
            add(QFile::encodeName(job.oldPath), &names.from, &names.fromSize);
            add(QFile::encodeName(target), &names.to, &names.toSize);
        } else {
            add(QStringView(job.oldPath).sliced(job.folder.size()), &names.from, &names.fromSize);
            add(QStringView(target).sliced(job.folder.size()), &names.to, &names.toSize);
        }
        return names;
    };
    qsizetype next = 0;
    while (next < jobs.size()) {
        // The batch ends before the first job whose name is taken, or given
        // to a job before it in the batch: that one goes alone, with suffixes.
        QList<std::pair<QString, QString>> pairs;
        QList<Names> names;
        QSet<QString> given; // by the batch: taken for the jobs after in it
        pairs.reserve(jobs.size() - next);
        names.reserve(jobs.size() - next);
        bytes.clear();
        for (qsizetype i = next; i < jobs.size(); ++i) {
            Names n = namesOf(jobs[i]);
            if (given.contains(n.target) || takenByAnotherAt(n.dir, bytesAt(n.from, n.fromSize), bytesAt(n.to, n.toSize)))
                break;
            given.insert(n.target);
            pairs.append({jobs[i].oldPath, n.target});
            names.append(std::move(n));
        }
        if (pairs.isEmpty()) {
            const Job &job = jobs[next++];
            results.append(renameWithSuffix(job.oldPath, job.folder, job.base, job.extension));
            continue;
        }
        if (!m_log || !m_log->recordBatch(pairs)) {
            for (; next < jobs.size(); ++next) {
                const Job &job = jobs[next];
                results.append(renameWithSuffix(job.oldPath, job.folder, job.base, job.extension));
            }
            break;
        }
        for (qsizetype i = 0; i < pairs.size(); ++i, ++next) {
            Result result;
            result.target = pairs[i].second;
            if (!(jobs[next].mode & S_IWUSR))
                ensureOwnerWritable(pairs[i].first);
            // The descriptor may have moved on to another folder of the batch.
            const int dir = names[i].dir == AT_FDCWD ? AT_FDCWD : m_folder.open(jobs[next].folder);
            result.status = dir == -1 ? renameNoReplace(pairs[i].first, result.target)
                                      : renameNoReplaceAt(dir, bytesAt(names[i].from, names[i].fromSize),
                                                          bytesAt(names[i].to, names[i].toSize));
            if (result.status.ok()) {
                result.outcome = Renamed;
                renamed(pairs[i].first, result.target);
                results.append(result);
                continue;
            }
            // This one needs a suffix or the player's help: it goes alone,
            // and the rest form a new batch.
            m_log->retractBatchFrom(i);
            const Job &job = jobs[next];
            results.append(renameWithSuffix(job.oldPath, job.folder, job.base, job.extension));
            ++next;
            break;
        }
    }
    return results;
}

void CollisionRenamer::renamed(const QString &oldPath, const QString &target)
{
    m_playlist.renamed(oldPath, target);
    if (m_nextSuffix.isEmpty())
        return; // no numbered name given yet: nothing to lower
    const auto [key, number] = suffixOf(oldPath);
    const auto it = m_nextSuffix.find(key);
    if (it != m_nextSuffix.end() && *it > number)
        *it = number;
}

FsStatus CollisionRenamer::renameReleasingPlayer(const QString &oldPath, const QString &target)
{
    FsStatus status = renameNoReplace(oldPath, target);
    if (status.ok() || !isLockError(status.errorNumber) || !m_player.isRunning())
        return status;
    const QString playing = m_player.currentFile();
    if (!playing.isEmpty() && playing != oldPath)
        return status;
    const qint64 position = m_player.position();
    m_player.stop();
    m_player.clearPlaylist();
    status = renameNoReplace(oldPath, target);
    if (status.ok()) {
        m_state.playingFile = target;
        m_state.playingPosition = position;
    }
    return status;
}

} // namespace kaz
