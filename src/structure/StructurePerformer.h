#pragma once

#include "BreakPlan.h"
#include "BuildPlan.h"

#include "platform/FileOps.h"
#include "platform/RunHooks.h"
#include "rename/UndoLogWriter.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace kaz {

// Carries out structure plans on the disk. Every move, and every folder the
// run makes, is logged in the undo logs before it is made (a move is taken
// back from them when it fails), so that the logs always say where each
// file really is and which folders the run made; a move never replaces a
// file. The plain moves of a build are logged many at a time, each batch
// with one write before its moves. Folders are made and entered only below
// the base folder, one level at a time, and a symbolic link in the way is
// never followed.
class StructurePerformer
{
public:
    // base: the folder no move and no new folder may leave.
    StructurePerformer(const QString &base, const RunHooks &hooks);
    ~StructurePerformer();
    StructurePerformer(const StructurePerformer &) = delete;
    StructurePerformer &operator=(const StructurePerformer &) = delete;

    // Disguises and gathers; removes the emptied sub-folders. Returns whether
    // every sub-folder went. moved(from, to) is told every file that arrived.
    bool performBreak(const BreakPlan &plan, const std::function<void(const QString &, const QString &)> &moved);
    // Moves and restores. from is remapped through where the break really put
    // a file. moved(move, final path) is told every file that arrived.
    using BuildMoved = std::function<void(const StructureMove &, const QString &)>;
    void performBuild(const BuildPlan &plan, const BuildMoved &moved);

    QStringList failures() const { return m_failures; }
    // Where a planned base-folder path really ended after the break (a name
    // taken meanwhile gets the next suffix); empty when the move failed.
    QString actualPath(const QString &planned) const { return m_actual.value(planned, planned); }

private:
    // A plain move of the build whose folder is ready, waiting for its batch.
    struct Pending {
        const StructureMove *move;
        QString from;
    };

    FsStatus move(const QString &from, const QString &to);
    FsStatus ensureFolderOf(const QString &path);
    void performBatches(const std::vector<Pending> &pending, const BuildMoved &moved);
    // The folder of the last look-up on one side of the moves.
    struct LastFolderFd {
        QString folder;
        int fd = -1;
    };

    FsStatus rename(const QString &from, const QString &to, quint32 mode);
    int folderFd(QStringView folder, LastFolderFd &last);
    void closeFolders();
    QString freeOnDisk(const QString &path) const;
    void fail(const QString &path, const FsStatus &status);
    bool gather(const BreakMove &move, QString &arrived);

    QString m_base;
    const RunHooks &m_hooks;
    UndoLogWriter m_log;
    QSet<QString> m_realFolders; // checked (or made) below the base; forgotten when the break removes folders
    QString m_lastRealFolder;    // the last of them a move went to
    QHash<QString, int> m_folderFds; // descriptors of folders files move from and to, a few at a time
    LastFolderFd m_lastFrom;
    LastFolderFd m_lastTo;
    QHash<QString, QString> m_actual;
    QStringList m_failures;
};

} // namespace kaz
