#include "RunLock.h"

#include "Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

QString folderProblem(int error)
{
    const QFileInfo folder(programFolder());
    return QStringLiteral("the program folder %1 cannot be written (%2)")
        .arg(programFolder(), !folder.isDir()       ? QStringLiteral("it is missing or no folder")
                              : !folder.isWritable() ? QStringLiteral("no write permission")
                                                     : QString::fromLocal8Bit(std::strerror(error)));
}

// What stands at the lock's name that is no lock of ours; empty when nothing
// does (the folder is then to blame).
QString lockFileProblem(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return {};
    const QString name = QFile::decodeName(path);
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("%1 is a symbolic link, not the lock file; remove it").arg(name);
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("%1 is a folder, not the lock file; remove it").arg(name);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("%1 is no regular file; remove it").arg(name);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("%1 belongs to another user (%2); remove it").arg(name).arg(st.st_uid);
    return {};
}

} // namespace

RunLock::RunLock()
{
    QDir().mkpath(programFolder());
    const QByteArray path = QFile::encodeName(programFolder() + QStringLiteral("/run.lock"));
    // Never through a link, and never blocking on something that is no file.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        const int error = errno;
        m_problem = lockFileProblem(path);
        if (m_problem.isEmpty())
            m_problem = folderProblem(error);
        return;
    }
    // Another user's file is no lock of ours: whoever can hold it could keep
    // every run out for good.
    m_problem = lockFileProblem(path);
    if (!m_problem.isEmpty()) {
        ::close(fd);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            char text[64] = {};
            const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
            m_holder = QString::fromLatin1(text, n > 0 ? qsizetype(n) : 0).trimmed();
        } else {
            m_problem = folderProblem(error);
        }
        ::close(fd);
        return;
    }
    m_fd = fd;
    // For messages only: who holds the lock.
    const QByteArray text = QByteArray::number(qint64(::getpid())) + '\n';
    if (::ftruncate(fd, 0) == 0 && ::pwrite(fd, text.constData(), size_t(text.size()), 0) < 0) {
        // The lock is held all the same.
    }
}

RunLock::~RunLock()
{
    // The file stays: removing it could let a second run lock a new file
    // while a third still holds the old one.
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace kaz
