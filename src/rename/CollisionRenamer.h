#pragma once

#include "platform/FileOps.h"

#include <QHash>
#include <QList>
#include <QString>

namespace kaz {

class MediaPlayer;
class PlaylistCopy;
class UndoLogWriter;
struct RunState;

// Renames the files of a run without ever replacing one: a name that is
// taken, by a file outside the run, by one renamed earlier in the run, makes
// the next numbered suffix be tried. Each rename is logged before it is made.
class CollisionRenamer
{
public:
    enum Outcome { Renamed, Unchanged, TargetTaken, Failed };
    struct Result {
        Outcome outcome = Failed;
        QString target;
        FsStatus status;
    };

    // log may be null (no undo information is kept then).
    CollisionRenamer(UndoLogWriter *log, MediaPlayer &player, PlaylistCopy &playlist, RunState &state);

    // folder + base + suffix + extension, the suffix "" first and then
    // " (2)", " (3)", ...; a file that already has the name keeps it.
    Result renameWithSuffix(const QString &oldPath, const QString &folder, const QString &base,
                            const QString &extension);
    // One target only: TargetTaken when another file has the name.
    Result renameTo(const QString &oldPath, const QString &target);

    struct Job {
        QString oldPath;
        QString folder;
        QString base;
        QString extension;
        quint32 mode = 0; // the file's mode as its read found it; 0: not known
        QString target;   // firstChoice(), when the caller made it already
    };
    // The name a job tries first: no suffix.
    static QString firstChoice(const Job &job);
    // Renames files in order, each as renameWithSuffix would; the names
    // without suffix are logged for many files at once. Jobs whose first
    // choice is their own path do not belong here (they keep their name).
    QList<Result> renameAll(const QList<Job> &jobs);

private:
    // The failure of a rename that was not made because it could not be logged.
    FsStatus notLogged() const;
    FsStatus renameReleasingPlayer(const QString &oldPath, const QString &target);
    void renamed(const QString &oldPath, const QString &target);

    // Per folder, name and extension: the lowest suffix number that may still
    // be free in this run, so that many files of one name do not try every
    // taken number again. A name the run frees lowers it again, so the
    // numbers given are those a search from " (2)" would give.
    QHash<QString, int> m_nextSuffix;
    // The folder of the batch's files: looks and renames by name alone.
    FolderDescriptor m_folder;

    UndoLogWriter *m_log;
    MediaPlayer &m_player;
    PlaylistCopy &m_playlist;
    RunState &m_state;
};

} // namespace kaz
