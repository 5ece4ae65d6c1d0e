#include "FolderChain.h"

#include "FaultPoint.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

QString withoutSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

int openFolderAt(int at, const QByteArray &name)
{
    return ::openat(at, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Whether path lies strictly below folder.
bool isBelow(const QString &path, const QString &folder)
{
    const QString prefix = folder == QLatin1String("/") ? folder : folder + QLatin1Char('/');
    return path.size() > prefix.size() && path.startsWith(prefix);
}

} // namespace

FsStatus ensureRealFolder(const QString &top, const QString &folder,
                          const std::function<bool(const QString &)> &beforeMaking)
{
    const QString from = withoutSlash(top);
    const QString to = withoutSlash(folder);
    if (to == from)
        return FsStatus::success();
    if (!isBelow(to, from)) {
        FsStatus status = FsStatus::fromErrno(EXDEV);
        status.detail = QStringLiteral("%1 is not below %2").arg(to, from);
        return status;
    }
    int fd = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return FsStatus::fromErrno(errno);
    QString path = from == QLatin1String("/") ? QString() : from;
    const QStringList parts = to.mid(path.size() + 1).split(QLatin1Char('/'));
    for (const QString &part : parts) {
        path += QLatin1Char('/') + part;
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            ::close(fd);
            return FsStatus::fromErrno(EINVAL);
        }
        const QByteArray name = QFile::encodeName(part);
        int next = openFolderAt(fd, name);
        if (next < 0 && errno == ENOENT && beforeMaking) {
            if (!beforeMaking(path)) {
                ::close(fd);
                return FsStatus::fromErrno(EIO);
            }
            faultPoint("mkdir");
            if (::mkdirat(fd, name.constData(), 0777) != 0 && errno != EEXIST) {
                const int error = errno;
                ::close(fd);
                return FsStatus::fromErrno(error);
            }
            next = openFolderAt(fd, name);
        }
        const int error = errno;
        ::close(fd);
        if (next < 0) {
            // O_NOFOLLOW on a link gives ELOOP; a file in the way ENOTDIR.
            FsStatus status = FsStatus::fromErrno(error == EEXIST ? ENOTDIR : error);
            if (error == ELOOP || error == ENOTDIR)
                status.detail = QStringLiteral("%1 is a symbolic link or no folder; it is not followed").arg(path);
            return status;
        }
        fd = next;
    }
    ::close(fd);
    return FsStatus::success();
}

} // namespace kaz
