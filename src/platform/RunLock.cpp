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

} // namespace

RunLock::RunLock()
{
    QDir().mkpath(programFolder());
    const QByteArray path = QFile::encodeName(programFolder() + QStringLiteral("/run.lock"));
    // Never through a link, and never blocking on something that is no file.
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) {
        m_problem = folderProblem(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        m_problem = QStringLiteral("%1 is no regular file").arg(QFile::decodeName(path));
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
