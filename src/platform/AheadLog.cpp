#include "AheadLog.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

// 0 when missing, else the type bits of what is there.
mode_t typeAt(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & S_IFMT) : 0;
}

int renamePath(const QString &from, const QString &to)
{
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0 ? 0 : errno;
}

} // namespace

AheadLog::AheadLog(QString path, QString setAsidePath)
    : m_path(std::move(path))
    , m_setAsidePath(std::move(setAsidePath))
{
}

void AheadLog::fail(const QString &path, int error)
{
    m_problem = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

bool AheadLog::setAsideLast()
{
    const mode_t type = typeAt(m_path);
    if (type == 0)
        return true;
    if (type != S_IFREG) {
        m_problem = m_path + QStringLiteral(": not a regular file; left alone");
        return false;
    }
    if (const int err = renamePath(m_path, m_setAsidePath)) {
        fail(m_setAsidePath, err);
        return false;
    }
    m_setAside = true;
    return true;
}

void AheadLog::restoreSetAside()
{
    if (m_setAside)
        renamePath(m_setAsidePath, m_path);
    m_setAside = false;
}

bool AheadLog::open(bool append)
{
    const mode_t type = typeAt(m_path);
    if (type != 0 && type != S_IFREG) {
        m_problem = m_path + QStringLiteral(": not a regular file; left alone");
        return false;
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (append ? 0 : O_EXCL);
    const int fd = ::open(QFile::encodeName(m_path).constData(), flags, 0644);
    if (fd < 0) {
        fail(m_path, errno);
        return false;
    }
    m_created = !append || type == 0;
    // Unbuffered: every line reaches the file with its own write.
    m_file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    m_file.seek(m_file.size());
    return true;
}

bool AheadLog::append(const QByteArray &bytes)
{
    if (!m_file.isOpen())
        return false;
    if (m_file.write(bytes) == bytes.size())
        return true;
    m_problem = m_path + QStringLiteral(": ") + m_file.errorString();
    return false;
}

void AheadLog::cutTo(qint64 end)
{
    if (!m_file.isOpen())
        return;
    m_file.resize(end);
    m_file.seek(end);
}

void AheadLog::finish(bool kept)
{
    const bool opened = m_file.isOpen();
    m_file.close();
    if (kept) {
        if (m_setAside)
            QFile::remove(m_setAsidePath);
        m_setAside = false;
        return;
    }
    if (opened && m_created && !m_setAside)
        QFile::remove(m_path);
    restoreSetAside();
}

} // namespace kaz
