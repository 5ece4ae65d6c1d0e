#include "FileOps.h"

#include "FaultPoint.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

const QByteArray kTemporaryPrefix = QByteArrayLiteral(".kaz-tmp-");

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int renameNoReplaceRawAt(int fromDir, const char *from, int toDir, const char *to)
{
    faultPoint("rename");
    if (::renameat2(fromDir, from, toDir, to, RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system lacks RENAME_NOREPLACE: link (which never replaces), then unlink.
    if (::linkat(fromDir, from, toDir, to, 0) != 0) {
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
            return errno;
        // No hard links either (FAT and the like): look, then rename. Only a
        // file created in the instant between the two could be replaced.
        struct stat st {};
        if (::fstatat(toDir, to, &st, AT_SYMLINK_NOFOLLOW) == 0)
            return EEXIST;
        return ::renameat(fromDir, from, toDir, to) == 0 ? 0 : errno;
    }
    if (::unlinkat(fromDir, from, 0) != 0) {
        const int err = errno;
        ::unlinkat(toDir, to, 0);
        return err;
    }
    return 0;
}

int renameNoReplaceRaw(const QByteArray &from, const QByteArray &to)
{
    return renameNoReplaceRawAt(AT_FDCWD, from.constData(), AT_FDCWD, to.constData());
}

bool sameFileAt(int dir, const char *a, const char *b)
{
    struct stat sa {}, sb {};
    if (::fstatat(dir, a, &sa, AT_SYMLINK_NOFOLLOW) != 0 || ::fstatat(dir, b, &sb, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool sameFile(const QByteArray &a, const QByteArray &b)
{
    return sameFileAt(AT_FDCWD, a.constData(), b.constData());
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

// A short hidden name in the target's folder (relative to dir): any name that
// can exist there can be reached from it, and a leftover of a killed run is
// not shown among the user's files (and is removed by the next copy into the
// folder).
QByteArray temporarySiblingAt(int dir, const QByteArray &target, int from = 0)
{
    for (int i = from; i < from + 1000; ++i) {
        QByteArray candidate = folderOf(target) + kTemporaryPrefix + QByteArray::number(::getpid()) + '-'
                               + QByteArray::number(i);
        struct stat st {};
        if (::fstatat(dir, candidate.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT)
            return candidate;
    }
    return {};
}


FsStatus notRegular()
{
    FsStatus status = FsStatus::fromErrno(EINVAL);
    status.detail = QStringLiteral("not a regular file; left alone");
    return status;
}

// Copies from into a new temporary file beside to, flushed to the disk,
// with the source's permissions and times. Returns 0 or the error; on
// error nothing is left behind.
int copyToTemporary(const QByteArray &from, const QByteArray &to, QByteArray *temp)
{
    *temp = temporarySibling(to);
    if (temp->isEmpty())
        return EEXIST;
    // Non-blocking: a FIFO must not make the copy wait.
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (in < 0)
        return errno;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return EINVAL;
    }
    const int out = ::open(temp->constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        return err;
    }
    char buffer[1 << 16];
    int err = 0;
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            break;
        }
        if (n == 0)
            break;
        faultPoint("copy");
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, size_t(n - done));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                err = errno;
                break;
            }
            done += w;
        }
        if (err)
            break;
    }
    if (!err) {
        const struct timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
    }
    if (!err && ::fsync(out) != 0)
        err = errno;
    ::close(in);
    if (::close(out) != 0 && !err)
        err = errno;
    if (err)
        ::unlink(temp->constData());
    return err;
}

// Whether the source of a move can be removed from its folder once copied:
// 0, or why not (a folder without write permission, a sticky folder of
// someone else, a read-only file system).
int sourceRemovable(const QByteArray &from)
{
    const QByteArray folder = folderOf(from);
    const QByteArray dir = folder.isEmpty() ? QByteArray(".") : folder;
    if (::faccessat(AT_FDCWD, dir.constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    struct stat atDir {}, atFile {};
    const uid_t me = ::geteuid();
    if (me != 0 && ::stat(dir.constData(), &atDir) == 0 && (atDir.st_mode & S_ISVTX)
        && ::lstat(from.constData(), &atFile) == 0 && atFile.st_uid != me && atDir.st_uid != me)
        return EPERM;
    return 0;
}

FsStatus sourceStays(int err)
{
    FsStatus status = FsStatus::fromErrno(err);
    status.detail = QStringLiteral("the file cannot be removed from its folder (%1); it was not moved")
                        .arg(QString::fromLocal8Bit(std::strerror(err)));
    return status;
}

FsStatus copyIntoPlace(const QByteArray &from, const QByteArray &to)
{
    if (const int err = sourceRemovable(from))
        return sourceStays(err);
    QByteArray temp;
    int err = copyToTemporary(from, to, &temp);
    if (!err)
        err = renameNoReplaceRaw(temp, to);
    if (err) {
        ::unlink(temp.constData());
        return FsStatus::fromErrno(err);
    }
    if (::unlink(from.constData()) != 0) {
        // The source stays: the copy goes again, so that the file is not there twice.
        err = errno;
        ::unlink(to.constData());
        return sourceStays(err);
    }
    return FsStatus::success();
}

// A symbolic link goes to another file system as the link it is.
FsStatus moveLink(const QByteArray &from, const QByteArray &to)
{
    QByteArray target(4096, Qt::Uninitialized);
    const ssize_t n = ::readlink(from.constData(), target.data(), size_t(target.size()));
    if (n < 0 || n >= target.size())
        return FsStatus::fromErrno(n < 0 ? errno : ENAMETOOLONG);
    target.truncate(n);
    if (const int err = sourceRemovable(from))
        return sourceStays(err);
    const QByteArray temp = temporarySibling(to);
    if (temp.isEmpty())
        return FsStatus::fromErrno(EEXIST);
    if (::symlink(target.constData(), temp.constData()) != 0)
        return FsStatus::fromErrno(errno);
    if (const int err = renameNoReplaceRaw(temp, to)) {
        ::unlink(temp.constData());
        return FsStatus::fromErrno(err);
    }
    if (::unlink(from.constData()) != 0) {
        const int err = errno;
        ::unlink(to.constData());
        return sourceStays(err);
    }
    return FsStatus::success();
}

bool processIsGone(const QByteArray &pid)
{
    bool ok = false;
    const long id = pid.toLong(&ok);
    return ok && id > 0 && ::kill(pid_t(id), 0) != 0 && errno == ESRCH;
}

} // namespace

QByteArray temporarySibling(const QByteArray &target, int from)
{
    return temporarySiblingAt(AT_FDCWD, target, from);
}

QString FsStatus::errorText() const
{
    if (outcome == Ok)
        return {};
    if (!detail.isEmpty())
        return detail;
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

FsStatus FsStatus::fromErrno(int err)
{
    FsStatus s;
    s.errorNumber = err;
    s.outcome = err == 0 ? Ok : (err == EEXIST || err == ENOTEMPTY) ? TargetExists : Failed;
    return s;
}

FsStatus renameNoReplace(const QString &from, const QString &to)
{
    return renameNoReplaceAt(AT_FDCWD, native(from), native(to));
}

FsStatus renameNoReplaceAt(int dirFd, const QByteArray &from, const QByteArray &to)
{
    if (from == to) {
        struct stat st {};
        return ::fstatat(dirFd, from.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 ? FsStatus::success()
                                                                                 : FsStatus::fromErrno(errno);
    }
    const int err = renameNoReplaceRawAt(dirFd, from.constData(), dirFd, to.constData());
    if (err == EEXIST && sameFileAt(dirFd, from.constData(), to.constData())) {
        // Only the letter case differs on a file system that ignores case: go
        // through a temporary name.
        const QByteArray temp = temporarySiblingAt(dirFd, to);
        if (temp.isEmpty())
            return FsStatus::fromErrno(EEXIST);
        if (int e = renameNoReplaceRawAt(dirFd, from.constData(), dirFd, temp.constData()))
            return FsStatus::fromErrno(e);
        if (int e = renameNoReplaceRawAt(dirFd, temp.constData(), dirFd, to.constData())) {
            renameNoReplaceRawAt(dirFd, temp.constData(), dirFd, from.constData());
            return FsStatus::fromErrno(e);
        }
        return FsStatus::success();
    }
    return FsStatus::fromErrno(err);
}

FsStatus renameNoReplaceAt(int fromDir, const QByteArray &from, int toDir, const QByteArray &to)
{
    if (fromDir == toDir)
        return renameNoReplaceAt(fromDir, from, to);
    return FsStatus::fromErrno(renameNoReplaceRawAt(fromDir, from.constData(), toDir, to.constData()));
}

bool takenByAnotherAt(int dirFd, const QByteArray &from, const QByteArray &to)
{
    struct stat atTarget {}, atFrom {};
    if (::fstatat(dirFd, to.constData(), &atTarget, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    return ::fstatat(dirFd, from.constData(), &atFrom, AT_SYMLINK_NOFOLLOW) != 0 || atFrom.st_dev != atTarget.st_dev
           || atFrom.st_ino != atTarget.st_ino;
}

FolderDescriptor::~FolderDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int FolderDescriptor::open(QStringView folder)
{
    if (folder == m_folder && (m_fd >= 0 || m_error != 0)) {
        errno = m_error;
        return m_fd;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_folder = folder.toString();
    m_fd = ::open(native(folder.isEmpty() ? QStringLiteral(".") : m_folder).constData(),
                  O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_error = m_fd < 0 ? errno : 0;
    return m_fd;
}

FsStatus moveFile(const QString &from, const QString &to)
{
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    FsStatus status = renameNoReplace(from, to);
    if (status.errorNumber != EXDEV)
        return status;
    struct stat st {};
    if (::lstat(dst.constData(), &st) == 0)
        return FsStatus::fromErrno(EEXIST);
    if (::lstat(src.constData(), &st) != 0)
        return FsStatus::fromErrno(errno);
    if (S_ISLNK(st.st_mode))
        return moveLink(src, dst);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    return copyIntoPlace(src, dst);
}

FsStatus copyFile(const QString &from, const QString &to, CopyMode mode)
{
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    if (sameFile(src, dst))
        return FsStatus::fromErrno(EEXIST);
    struct stat st {};
    if (::stat(src.constData(), &st) != 0)
        return FsStatus::fromErrno(errno);
    if (!S_ISREG(st.st_mode))
        return notRegular();
    QByteArray temp;
    int err = copyToTemporary(src, dst, &temp);
    if (!err) {
        if (mode == CopyMode::ReplaceExisting)
            err = ::rename(temp.constData(), dst.constData()) == 0 ? 0 : errno;
        else
            err = renameNoReplaceRaw(temp, dst);
    }
    if (err) {
        ::unlink(temp.constData());
        return FsStatus::fromErrno(err);
    }
    return FsStatus::success();
}

int removeDeadCopyLeftovers(const QString &folder)
{
    const QByteArray dir = native(folder);
    DIR *stream = ::opendir(dir.constData());
    if (!stream)
        return 0;
    int removed = 0;
    while (const dirent *entry = ::readdir(stream)) {
        const QByteArray name(entry->d_name);
        // ".kaz-tmp-PID-N", and "NAME.kaz-tmp-PID-N" as earlier versions named them.
        const qsizetype at = name.lastIndexOf(kTemporaryPrefix.mid(1));
        if (at < 1 || name[at - 1] != '.')
            continue;
        const QList<QByteArray> parts = name.mid(at + kTemporaryPrefix.size() - 1).split('-');
        bool numbered = false;
        if (parts.size() == 2)
            parts[1].toInt(&numbered);
        if (!numbered || !processIsGone(parts[0]))
            continue;
        const QByteArray path = dir + '/' + name;
        struct stat st {};
        if (::lstat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid()
            && ::unlink(path.constData()) == 0)
            ++removed;
    }
    ::closedir(stream);
    return removed;
}

void ensureOwnerWritable(const QString &path)
{
    const QByteArray p = native(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(p.constData(), (st.st_mode & 07777) | S_IWUSR);
}

ReadOnlyFile::ReadOnlyFile(const QString &path)
{
    m_fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    examine();
}

ReadOnlyFile::ReadOnlyFile(int dirFd, const QByteArray &name)
{
    m_fd = ::openat(dirFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    examine();
}

void ReadOnlyFile::examine()
{
    if (m_fd < 0) {
        m_error = errno;
        return;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        m_error = errno;
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    m_regular = S_ISREG(st.st_mode);
    if (!m_regular)
        m_error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    m_size = st.st_size;
    m_device = quint64(st.st_dev);
    m_inode = quint64(st.st_ino);
    m_mode = quint32(st.st_mode);
}

ReadOnlyFile::ReadOnlyFile(InMemory contents)
    : m_bytes(std::move(contents.bytes))
    , m_regular(true)
    , m_size(m_bytes.size())
    , m_mode(S_IFREG | 0644)
{
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray ReadOnlyFile::readAt(qint64 offset, qint64 length) const
{
    if (!m_regular || offset < 0 || length <= 0)
        return {};
    if (m_fd < 0)
        return offset < m_bytes.size() ? m_bytes.mid(offset, length) : QByteArray();
    return preadAll(m_fd, offset, length);
}

int pwriteAll(int fd, QByteArrayView bytes, qint64 offset)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

QByteArray preadAll(int fd, qint64 offset, qint64 length)
{
    QByteArray buffer(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, buffer.data() + done, size_t(length - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    buffer.truncate(done);
    return buffer;
}

} // namespace kaz
