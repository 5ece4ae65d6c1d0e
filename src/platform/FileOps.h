#pragma once

#include <QByteArray>
#include <QString>

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

// Renames without ever replacing an existing file. A rename to the file's own
// name succeeds without change; a change of letter case alone also works on
// file systems that ignore case.
FsStatus renameNoReplace(const QString &from, const QString &to);

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

// Gives a regular file's owner write permission when it is missing; nothing
// else changes. A symbolic link is not followed.
void ensureOwnerWritable(const QString &path);

// Read access to one file with as few system calls as possible: open, fstat,
// pread, close. Used for every tag read.
class ReadOnlyFile
{
public:
    explicit ReadOnlyFile(const QString &path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile &) = delete;
    ReadOnlyFile &operator=(const ReadOnlyFile &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Why the file cannot be read: the open error, or EISDIR/EINVAL for
    // something that is not a regular file; 0 when it can.
    int error() const { return m_error; }
    bool isRegular() const { return m_regular; }
    qint64 size() const { return m_size; }
    // Reads up to length bytes at offset; fewer when the file ends early.
    QByteArray readAt(qint64 offset, qint64 length) const;

private:
    int m_fd = -1;
    int m_error = 0;
    bool m_regular = false;
    qint64 m_size = -1;
};

// Replaces the end of a file from offset on by bytes. Room for a longer end
// is reserved first (a full disk refuses the write before anything changes),
// and the old end is kept in a journal in the program folder until the file
// holds the new one: after a kill at any moment the next start puts the old
// end back (TailJournal.h), and nothing in front of offset is ever touched.
FsStatus replaceFileEnd(const QString &path, qint64 offset, const QByteArray &bytes);

} // namespace kaz
