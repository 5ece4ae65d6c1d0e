#include "FileOps.h"

#include "FaultPoint.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int renameNoReplaceRaw(const QByteArray &from, const QByteArray &to)
{
    faultPoint("rename");
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system lacks RENAME_NOREPLACE: link (which never replaces), then unlink.
    if (::link(from.constData(), to.constData()) != 0) {
        if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK)
            return errno;
        // No hard links either (FAT and the like): look, then rename. Only a
        // file created in the instant between the two could be replaced.
        struct stat st {};
        if (::lstat(to.constData(), &st) == 0)
            return EEXIST;
        return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
    }
    if (::unlink(from.constData()) != 0) {
        const int err = errno;
        ::unlink(to.constData());
        return err;
    }
    return 0;
}

bool sameFile(const QByteArray &a, const QByteArray &b)
{
    struct stat sa {}, sb {};
    if (::lstat(a.constData(), &sa) != 0 || ::lstat(b.constData(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

QByteArray temporarySibling(const QByteArray &target)
{
    for (int i = 0; i < 1000; ++i) {
        QByteArray candidate = target + ".kaz-tmp-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(i);
        struct stat st {};
        if (::lstat(candidate.constData(), &st) != 0 && errno == ENOENT)
            return candidate;
    }
    return {};
}

// Copies from into a new temporary file beside to, flushed to the disk,
// with the source's permissions and times. Returns 0 or the error; on
// error nothing is left behind.
int copyToTemporary(const QByteArray &from, const QByteArray &to, QByteArray *temp)
{
    *temp = temporarySibling(to);
    if (temp->isEmpty())
        return EEXIST;
    const int in = ::open(from.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat st {};
    ::fstat(in, &st);
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

FsStatus copyIntoPlace(const QByteArray &from, const QByteArray &to)
{
    QByteArray temp;
    int err = copyToTemporary(from, to, &temp);
    if (!err)
        err = renameNoReplaceRaw(temp, to);
    if (err) {
        ::unlink(temp.constData());
        return FsStatus::fromErrno(err);
    }
    if (::unlink(from.constData()) != 0)
        return FsStatus::fromErrno(errno); // the copy stands; the source stays too
    return FsStatus::success();
}

} // namespace

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
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    if (src == dst) {
        struct stat st {};
        return ::lstat(src.constData(), &st) == 0 ? FsStatus::success() : FsStatus::fromErrno(errno);
    }
    const int err = renameNoReplaceRaw(src, dst);
    if (err == EEXIST && sameFile(src, dst)) {
        // Only the letter case differs on a file system that ignores case: go
        // through a temporary name.
        const QByteArray temp = temporarySibling(dst);
        if (temp.isEmpty())
            return FsStatus::fromErrno(EEXIST);
        if (int e = renameNoReplaceRaw(src, temp))
            return FsStatus::fromErrno(e);
        if (int e = renameNoReplaceRaw(temp, dst)) {
            renameNoReplaceRaw(temp, src);
            return FsStatus::fromErrno(e);
        }
        return FsStatus::success();
    }
    return FsStatus::fromErrno(err);
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
    return copyIntoPlace(src, dst);
}

FsStatus copyFile(const QString &from, const QString &to, CopyMode mode)
{
    const QByteArray src = native(from);
    const QByteArray dst = native(to);
    if (sameFile(src, dst))
        return FsStatus::fromErrno(EEXIST);
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

void ensureOwnerWritable(const QString &path)
{
    const QByteArray p = native(path);
    struct stat st {};
    if (::lstat(p.constData(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR))
        ::chmod(p.constData(), (st.st_mode & 07777) | S_IWUSR);
}

ReadOnlyFile::ReadOnlyFile(const QString &path)
{
    const QByteArray p = native(path);
    m_fd = ::open(p.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
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
}

ReadOnlyFile::~ReadOnlyFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray ReadOnlyFile::readAt(qint64 offset, qint64 length) const
{
    if (m_fd < 0 || !m_regular || offset < 0 || length <= 0)
        return {};
    QByteArray buffer(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t n = ::pread(m_fd, buffer.data() + done, size_t(length - done), offset + done);
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
