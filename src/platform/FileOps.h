#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <vector>

namespace kaz {

// The outcome of a file-system call that may fail. "The target exists" is
// the one failure the callers resolve themselves (numbered suffixes).
struct FsStatus {
    enum Outcome { Ok, TargetExists, Failed };
    Outcome outcome = Ok;
    int errorNumber = 0;
    QString detail; // a reason more precise than the error number's text

    bool ok() const { return outcome == Ok; }
    QString errorText() const;

    static FsStatus success() { return {}; }
    static FsStatus fromErrno(int err);
};

// Whole transfers at an offset of a descriptor, going on after a signal and
// after a short transfer. pwriteAll returns 0 or the system's error (ENOSPC
// when the system takes no byte); preadAll returns fewer bytes than asked
// for only at the end of the file or on an error.
int pwriteAll(int fd, QByteArrayView bytes, qint64 offset);
QByteArray preadAll(int fd, qint64 offset, qint64 length);

// Renames without ever replacing an existing file. A rename to the file's own
// name succeeds without change; a change of letter case alone also works on
// file systems that ignore case.
FsStatus renameNoReplace(const QString &from, const QString &to);
// The same for two names in the folder of the descriptor dirFd (FolderDescriptor).
FsStatus renameNoReplaceAt(int dirFd, const QByteArray &from, const QByteArray &to);
// The same from a name in the folder of fromDir to one in the folder of toDir.
FsStatus renameNoReplaceAt(int fromDir, const QByteArray &from, int toDir, const QByteArray &to);

// Whether something other than the file from is at to, both names in the
// folder of dirFd; a name that is from's own in other letter case (on a file
// system that ignores case) is not taken.
bool takenByAnotherAt(int dirFd, const QByteArray &from, const QByteArray &to);

// The descriptor of the folder a run works in, so that the files in it are
// opened and renamed by their names alone instead of a walk of the whole path
// for every call. Opened anew when the run moves on to another folder.
class FolderDescriptor
{
public:
    FolderDescriptor() = default;
    ~FolderDescriptor();
    FolderDescriptor(const FolderDescriptor &) = delete;
    FolderDescriptor &operator=(const FolderDescriptor &) = delete;

    // The descriptor of folder (a path with or without the closing slash); -1
    // with errno set when it cannot be opened.
    int open(QStringView folder);

private:
    QString m_folder;
    int m_fd = -1;
    int m_error = 0;
};

// Moves a file, also to another file system: there it is copied under a
// temporary name in the target folder, flushed, renamed into place without
// replacing, and only then is the source removed. A symbolic link goes
// there as a link; anything else that is not a regular file (a FIFO, a
// device) is refused there, since only regular files are copied.
FsStatus moveFile(const QString &from, const QString &to);

// Copies a file through a temporary name in the target folder that is
// flushed and then renamed into place: a copy cut short never stands under
// the target's name, and a target is replaced only by a complete copy (and
// only when asked to). A copy onto the source itself is refused as
// "target exists"; a source that is not a regular file is refused.
enum class CopyMode { NeverReplace, ReplaceExisting };
FsStatus copyFile(const QString &from, const QString &to, CopyMode mode);

// Removes what copies killed midway left in folder: hidden temporary files
// of this program whose process is gone (those of running copies stay).
// Returns how many went.
int removeDeadCopyLeftovers(const QString &folder);

// A free hidden name for a temporary file in the folder of target, of the
// kind removeDeadCopyLeftovers knows, numbered from from on (names given out
// before and not yet created are passed by); empty when none is free.
QByteArray temporarySibling(const QByteArray &target, int from = 0);

// Gives a regular file's owner write permission when it is missing; nothing
// else changes. A symbolic link is not followed.
void ensureOwnerWritable(const QString &path);

// Read access to one file with as few system calls as possible: open, fstat,
// pread, close. Used for every tag read.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path);
    // name in the folder of dirFd; a symbolic link is not followed (ELOOP).
    ReadOnlyFile(int dirFd, const QByteArray &name);
    // Bytes in memory, read as a regular file that holds them (the fuzz targets).
    struct InMemory {
        QByteArray bytes;
    };
    explicit ReadOnlyFile(InMemory contents);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why the file cannot be read: the open error, or EISDIR/EINVAL for
    // something that is not a regular file; 0 when it can.
    int error() const { return m_error; }
    bool isRegular() const { return m_regular; }
    qint64 size() const { return m_size; }
    // Which file it is (duplicates in a list, identity checks) and its mode.
    quint64 device() const { return m_device; }
    quint64 inode() const { return m_inode; }
    quint32 mode() const { return m_mode; }
    // Reads up to length bytes at offset; fewer when the file ends early.
    QByteArray readAt(qint64 offset, qint64 length) const;

private:
    void examine();

    QByteArray m_bytes; // the contents of a file in memory
    int m_fd = -1;
    int m_error = 0;
    bool m_regular = false;
    qint64 m_size = -1;
    quint64 m_device = 0;
    quint64 m_inode = 0;
    quint32 m_mode = 0;
};

// Replaces the end of a file from offset on by bytes. Room for a longer end
// is reserved first (a full disk refuses the write before anything changes),
// and the old end is kept in a journal in the program folder until the file
// holds the new one: after a kill at any moment the next start puts the old
// end back (TailJournal.h), and nothing in front of offset is ever touched.
FsStatus replaceFileEnd(const QString &path, qint64 offset, const QByteArray &bytes);

struct TailJournalEntry;

// replaceFileEnd for the many files of one run, by group commit: the old ends
// of a batch of files go into one journal, flushed once; then the files are
// written and flushed together (one syncfs per file system), and the journal
// is dropped. A kill or a power loss at any moment leaves each file with its
// old end or its new one once the next start has replayed the journal.
class TailWriteBatch
{
public:
    using Done = std::function<void(const FsStatus &)>;

    TailWriteBatch();
    ~TailWriteBatch(); // commits what is still queued
    TailWriteBatch(const TailWriteBatch &) = delete;
    TailWriteBatch &operator=(const TailWriteBatch &) = delete;

    // Queues the replacement of path's end from offset on. done gets the
    // outcome: at once when the file cannot be opened, has no room for the
    // new end or already holds it, else when its batch is committed (a
    // full batch commits by itself).
    void add(const QString &path, qint64 offset, const QByteArray &bytes, Done done);
    // Writes what is queued.
    void commit();

private:
    struct Pending;
    static QList<TailJournalEntry> flushWritten(std::vector<Pending> &batch);

    std::vector<Pending> m_pending;
    qint64 m_journalBytes = 0;
};
} // namespace kaz
