#include "StructurePerformer.h"

#include "platform/FaultPoint.h"
#include "platform/FolderChain.h"
#include "platform/FolderListing.h"
#include "platform/FreeName.h"
#include "platform/NativeName.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "tags/PictureBlock.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {

namespace {

// Moves logged with one write per undo log before they are made.
constexpr size_t kBatch = 512;
// Folder descriptors kept open at a time (the moves of one album follow each other).
constexpr qsizetype kOpenFolders = 64;

QString withoutSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

FsStatus notLogged(const UndoLogWriter &log)
{
    FsStatus status = FsStatus::fromErrno(EIO); // nothing moves that could not be logged
    status.detail = log.problem();
    return status;
}

} // namespace

StructurePerformer::StructurePerformer(const QString &base, const RunHooks &hooks)
    : m_base(withoutSlash(base))
    , m_hooks(hooks)
{
}

StructurePerformer::~StructurePerformer()
{
    closeFolders();
}

void StructurePerformer::closeFolders()
{
    for (const int fd : std::as_const(m_folderFds))
        ::close(fd);
    m_folderFds.clear();
    m_lastFrom = {};
    m_lastTo = {};
}

// The folder of a file checked (or made, each new folder logged first) once
// per folder of the run; the folder of the move before needs no look-up.
FsStatus StructurePerformer::ensureFolderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash > 0 && !m_lastRealFolder.isEmpty() && QStringView(path).first(slash) == m_lastRealFolder)
        return FsStatus::success();
    const QString folder = parentOf(path);
    if (!m_realFolders.contains(folder)) {
        const FsStatus made
            = ensureRealFolder(m_base, folder, [this](const QString &p) { return m_log.recordFolder(p); });
        if (!made.ok())
            return made;
        m_realFolders.insert(folder);
    }
    m_lastRealFolder = folder;
    return FsStatus::success();
}

FsStatus StructurePerformer::move(const QString &from, const QString &to)
{
    if (hasLineBreak(from) || hasLineBreak(to))
        return FsStatus::fromErrno(EINVAL);
    const FsStatus folder = ensureFolderOf(to);
    if (!folder.ok())
        return folder;
    if (!m_log.record(from, to))
        return notLogged(m_log);
    const FsStatus status = rename(from, to, 0);
    if (!status.ok())
        m_log.retract();
    return status;
}

// The move of a logged file: by its names in the descriptors of the two
// folders, so that no path is walked again; to another file system through
// a copy. mode is the file's as the scan found it, 0 when not known.
FsStatus StructurePerformer::rename(const QString &from, const QString &to, quint32 mode)
{
    if (mode == 0 || !(mode & S_IWUSR))
        ensureOwnerWritable(from);
    const qsizetype fromSlash = from.lastIndexOf(QLatin1Char('/'));
    const qsizetype toSlash = to.lastIndexOf(QLatin1Char('/'));
    if (fromSlash <= 0 || toSlash <= 0)
        return moveFile(from, to);
    const auto unopened = [&](QStringView folder) {
        if (errno != ELOOP && errno != ENOTDIR)
            return moveFile(from, to);
        FsStatus status = FsStatus::fromErrno(errno);
        status.detail = QStringLiteral("%1 is a symbolic link or no folder; it is not followed").arg(folder);
        return status;
    };
    if (m_folderFds.size() + 2 > kOpenFolders)
        closeFolders(); // never between the two look-ups below
    const QStringView fromFolder = QStringView(from).first(fromSlash), toFolder = QStringView(to).first(toSlash);
    const int fromFd = folderFd(fromFolder, m_lastFrom);
    if (fromFd < 0)
        return unopened(fromFolder);
    const int toFd = folderFd(toFolder, m_lastTo);
    if (toFd < 0)
        return unopened(toFolder);
    const NativeName fromName(QStringView(from).sliced(fromSlash + 1));
    const NativeName toName(QStringView(to).sliced(toSlash + 1));
    const FsStatus status = renameNoReplaceAt(fromFd, fromName.bytes(), toFd, toName.bytes());
    return status.errorNumber == EXDEV ? moveFile(from, to) : status;
}

// The base folder is taken as it is; a folder below it only when it is no
// symbolic link (its chain was checked when the run first used it). The
// moves of one album share their folders: last remembers the folder of the
// move before, so that most look-ups need neither a copy nor a hash.
int StructurePerformer::folderFd(QStringView folder, LastFolderFd &last)
{
    if (last.fd >= 0 && last.folder == folder)
        return last.fd;
    const QString path = folder.toString();
    int fd = -1;
    if (const auto it = m_folderFds.constFind(path); it != m_folderFds.cend()) {
        fd = *it;
    } else {
        const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC | (path == m_base ? 0 : O_NOFOLLOW);
        fd = ::open(NativeName(path).c_str(), flags);
        if (fd < 0)
            return fd;
        m_folderFds.insert(path, fd);
    }
    last = {path, fd};
    return fd;
}

QString StructurePerformer::freeOnDisk(const QString &path) const
{
    return freeName(path, 2, [](const QString &p) { return pathExists(p); });
}

void StructurePerformer::fail(const QString &path, const FsStatus &status)
{
    m_failures.append(path + QStringLiteral(": ") + status.errorText());
}

// One file of the break: disguised in its folder first when it is to travel
// as a picture file, then moved up.
bool StructurePerformer::gather(const BreakMove &planned, QString &arrived)
{
    QString current = planned.from;
    if (!planned.disguisedAs.isEmpty()) {
        const QString disguised = freeOnDisk(planned.disguisedAs);
        FsStatus status = move(current, disguised);
        if (!status.ok()) {
            fail(current, status);
            return false;
        }
        // The block goes on after the rename: a file with its old name never carries one.
        status = picture::append(disguised, planned.block);
        if (!status.ok()) {
            fail(current, status);
            move(disguised, current);
            return false;
        }
        current = disguised;
    }
    if (planned.to == planned.disguisedAs) {
        arrived = current;
        return true;
    }
    const QString target = freeOnDisk(planned.to);
    const FsStatus status = move(current, target);
    if (!status.ok()) {
        fail(current, status);
        return false;
    }
    arrived = target;
    return true;
}

bool StructurePerformer::performBreak(const BreakPlan &plan,
                                      const std::function<void(const QString &, const QString &)> &moved)
{
    qint64 done = 0;
    const qint64 total = qint64(plan.moves.size() + plan.folders.size());
    for (const BreakMove &m : plan.moves) {
        m_hooks.pump();
        QString arrived;
        const bool ok = gather(m, arrived);
        m_actual.insert(m.to, ok ? arrived : QString());
        if (ok && moved)
            moved(m.from, arrived);
        m_hooks.report(++done, total);
    }
    bool complete = true;
    m_realFolders.clear();
    m_lastRealFolder.clear();
    closeFolders();
    for (const QString &folder : plan.folders) {
        m_hooks.pump();
        faultPoint("rmdir");
        if (pathExists(folder) && !QDir().rmdir(folder))
            complete = false;
        m_hooks.report(++done, total);
    }
    return complete;
}

void StructurePerformer::performBuild(const BuildPlan &plan, const BuildMoved &moved)
{
    const qint64 total = qint64(plan.moves.size());
    qint64 done = 0;
    std::vector<Pending> pending;
    pending.reserve(std::min(plan.moves.size(), kBatch));
    const auto flush = [&] {
        performBatches(pending, moved);
        pending.clear();
    };
    for (const StructureMove &m : plan.moves) {
        m_hooks.pump();
        m_hooks.report(done++, total);
        const QString from = actualPath(m.from);
        if (from.isEmpty())
            continue; // the break could not bring it here
        if (m.restoreTo.isEmpty()) {
            if (m.to == m.from)
                continue;
            if (hasLineBreak(from) || hasLineBreak(m.to)) {
                fail(from, FsStatus::fromErrno(EINVAL));
                continue;
            }
            // The folder is made (and logged) before the batch that fills it.
            const FsStatus folder = ensureFolderOf(m.to);
            if (!folder.ok()) {
                fail(from, folder);
                continue;
            }
            pending.push_back({&m, from});
            if (pending.size() == kBatch)
                flush();
            continue;
        }
        // A picture file gets its name back alone, after the moves before it.
        flush();
        QString at = from;
        if (m.to != m.from) {
            const FsStatus status = move(from, m.to);
            if (!status.ok()) {
                fail(from, status);
                continue;
            }
            at = m.to;
        }
        const QString restored = freeOnDisk(m.restoreTo);
        const FsStatus status = move(at, restored);
        if (status.ok()) {
            at = restored;
            const FsStatus cut = picture::cut(restored, m.pictureBlock);
            if (!cut.ok())
                fail(restored, cut);
        } else {
            fail(at, status);
        }
        if (moved && at != from)
            moved(m, at);
    }
    flush();
    m_hooks.report(done, total);
}

// Logs the moves ahead, many with one write, then makes them. A move that
// fails is taken back from the logs with those after it, which are logged
// anew: the logs never claim a move that was not made, except the ones of a
// run killed midway, whose files still stand where the undo looks first.
void StructurePerformer::performBatches(const std::vector<Pending> &pending, const BuildMoved &moved)
{
    QList<std::pair<QString, QString>> pairs;
    size_t start = 0;
    while (start < pending.size()) {
        pairs.clear();
        pairs.reserve(qsizetype(pending.size() - start));
        for (size_t k = start; k < pending.size(); ++k)
            pairs.append({pending[k].from, pending[k].move->to});
        if (!m_log.recordBatch(pairs)) {
            for (size_t k = start; k < pending.size(); ++k)
                fail(pending[k].from, notLogged(m_log));
            return;
        }
        size_t k = start;
        for (; k < pending.size(); ++k) {
            const StructureMove &m = *pending[k].move;
            const FsStatus status = rename(pending[k].from, m.to, m.mode);
            if (!status.ok()) {
                m_log.retractBatchFrom(qsizetype(k - start));
                fail(pending[k].from, status);
                break;
            }
            if (moved)
                moved(m, m.to);
        }
        start = k + 1;
    }
}

} // namespace kaz
