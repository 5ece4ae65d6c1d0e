#include "SmallFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

QString notRegular(const QString &path)
{
    return path + QStringLiteral(": not a regular file; left alone");
}

} // namespace

bool readSmallFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *problem)
{
    bytes->clear();
    if (problem)
        problem->clear();
    // Non-blocking: opening a FIFO must not wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (problem && errno != ENOENT)
            *problem = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st {};
    QString refused;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        refused = notRegular(path);
    else if (st.st_size > maxBytes)
        refused = path + QStringLiteral(": %1 bytes, far more than such a file holds; left alone").arg(st.st_size);
    if (refused.isEmpty()) {
        bytes->resize(st.st_size);
        qint64 done = 0;
        while (done < st.st_size) {
            const ssize_t n = ::read(fd, bytes->data() + done, size_t(st.st_size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        bytes->truncate(done);
    }
    ::close(fd);
    if (problem)
        *problem = refused;
    return refused.isEmpty();
}

bool writeSmallFile(const QString &path, const QByteArray &bytes, QString *problem)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    // Never straight into the file: a write cut short would leave it half.
    file.setDirectWriteFallback(false);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written && problem)
        *problem = path + QStringLiteral(": ") + file.errorString();
    return written;
}

int openWorkFileDescriptor(const QString &path, QIODevice::OpenMode mode, QString *problem)
{
    const bool writing = mode & (QIODevice::WriteOnly | QIODevice::Append);
    const bool append = mode & QIODevice::Append;
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    if (writing)
        flags |= ((mode & QIODevice::ReadOnly) ? O_RDWR : O_WRONLY) | O_CREAT | (append ? O_APPEND : 0);
    else
        flags |= O_RDONLY;
    if (problem)
        problem->clear();
    const int fd = ::open(QFile::encodeName(path).constData(), flags, 0666);
    if (fd < 0) {
        const int err = errno;
        // A link (ELOOP), a FIFO without a reader (ENXIO), a folder.
        if (err == ELOOP || err == ENXIO || err == EISDIR) {
            if (problem)
                *problem = notRegular(path);
        } else if (problem && err != ENOENT) {
            *problem = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
        }
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (problem)
            *problem = notRegular(path);
        return -1;
    }
    // Cut only now that the file is known to be a regular one.
    if (writing && !append && !(mode & QIODevice::ReadOnly) && ::ftruncate(fd, 0) != 0) {
        if (problem)
            *problem = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
        return -1;
    }
    return fd;
}

bool openWorkFile(QFile &file, QIODevice::OpenMode mode, QString *problem)
{
    const int fd = openWorkFileDescriptor(file.fileName(), mode, problem);
    return fd >= 0 && file.open(fd, mode & ~QIODevice::Truncate, QFileDevice::AutoCloseHandle);
}

bool isRegularOrMissing(const QString &path, QString *problem)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return true;
    if (problem)
        *problem = notRegular(path);
    return false;
}

} // namespace kaz
