#include "StructurePerformer.h"

#include "platform/FaultPoint.h"
#include "platform/FolderChain.h"
#include "platform/FolderListing.h"
#include "platform/FreeName.h"
#include "platform/PathParts.h"
#include "platform/WorkFiles.h"
#include "tags/PictureBlock.h"

#include <QDir>

#include <cerrno>

namespace kaz {

StructurePerformer::StructurePerformer(const QString &base, const RunHooks &hooks)
    : m_base(base)
    , m_hooks(hooks)
{
}

FsStatus StructurePerformer::move(const QString &from, const QString &to)
{
    if (hasLineBreak(from) || hasLineBreak(to))
        return FsStatus::fromErrno(EINVAL);
    const QString folder = parentOf(to);
    if (!m_realFolders.contains(folder)) {
        const FsStatus made
            = ensureRealFolder(m_base, folder, [this](const QString &path) { return m_log.recordFolder(path); });
        if (!made.ok())
            return made;
        m_realFolders.insert(folder);
    }
    if (!m_log.record(from, to))
        return FsStatus::fromErrno(EIO); // nothing moves that could not be logged
    ensureOwnerWritable(from);
    const FsStatus status = moveFile(from, to);
    if (!status.ok())
        m_log.retract();
    return status;
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
    for (const QString &folder : plan.folders) {
        m_hooks.pump();
        faultPoint("rmdir");
        if (pathExists(folder) && !QDir().rmdir(folder))
            complete = false;
        m_hooks.report(++done, total);
    }
    return complete;
}

void StructurePerformer::performBuild(const BuildPlan &plan,
                                      const std::function<void(const StructureMove &, const QString &)> &moved)
{
    qint64 done = 0;
    for (const StructureMove &m : plan.moves) {
        m_hooks.pump();
        m_hooks.report(done++, qint64(plan.moves.size()));
        const QString from = actualPath(m.from);
        if (from.isEmpty())
            continue; // the break could not bring it here
        QString at = from;
        if (m.to != m.from) {
            const FsStatus status = move(from, m.to);
            if (!status.ok()) {
                fail(from, status);
                continue;
            }
            at = m.to;
        }
        if (!m.restoreTo.isEmpty()) {
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
        }
        if (moved && at != from)
            moved(m, at);
    }
    m_hooks.report(done, qint64(plan.moves.size()));
}

} // namespace kaz
