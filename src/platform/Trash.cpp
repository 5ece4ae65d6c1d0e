#include "Trash.h"

#include "FileOps.h"
#include "FreeName.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

constexpr int kMaxNameBytes = 255;
const QByteArray kInfoSuffix = QByteArrayLiteral(".trashinfo");

QString errorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString problemAt(const QByteArray &path, int error)
{
    return QFile::decodeName(path) + QStringLiteral(": ") + errorText(error);
}

QByteArray parentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArrayLiteral("/") : path.left(slash);
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    QByteArray path = folder;
    if (!path.endsWith('/'))
        path += '/';
    return path + name;
}

// Makes a folder of the trash unless it is there; 0 when a real folder (no
// link) on the file's own file system stands there afterwards, owned by the
// user where the trash must be the user's own.
int ensureFolder(const QByteArray &dir, dev_t device, bool mustBeOwn)
{
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat st {};
    if (::lstat(dir.constData(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if (st.st_dev != device)
        return EXDEV;
    if (mustBeOwn && st.st_uid != ::getuid())
        return EPERM;
    return 0;
}

// The top folder of the mount that holds path.
QByteArray topdirOf(const QByteArray &path, dev_t device)
{
    QByteArray dir = parentOf(path);
    while (dir != "/") {
        const QByteArray up = parentOf(dir);
        struct stat st {};
        if (::stat(up.constData(), &st) != 0 || st.st_dev != device)
            break;
        dir = up;
    }
    return dir;
}

struct TrashPlace {
    QByteArray folder; // holds files/ and info/
    QByteArray topdir; // empty for the home trash: Path is then absolute
    QString problem;
};

int ensureTrash(const QByteArray &folder, dev_t device, bool mustBeOwn, QString *problem)
{
    for (const QByteArray &dir : {folder, joined(folder, "files"), joined(folder, "info")}) {
        if (const int err = ensureFolder(dir, device, mustBeOwn)) {
            *problem = problemAt(dir, err);
            return err;
        }
    }
    return 0;
}

TrashPlace locate(const QByteArray &path, dev_t device)
{
    TrashPlace place;
    const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QDir().mkpath(dataHome);
    const QByteArray home = QFile::encodeName(dataHome);
    struct stat homeStat {};
    if (!dataHome.isEmpty() && ::stat(home.constData(), &homeStat) == 0 && homeStat.st_dev == device) {
        // The home's file system has the home trash and no other.
        place.folder = joined(home, "Trash");
        if (ensureTrash(place.folder, device, false, &place.problem) != 0)
            place.folder.clear();
        return place;
    }
    const QByteArray topdir = topdirOf(path, device);
    const QByteArray uid = QByteArray::number(::getuid());
    const QByteArray shared = joined(topdir, ".Trash");
    struct stat st {};
    QString sharedProblem;
    if (::lstat(shared.constData(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)
        && ensureTrash(joined(shared, uid), device, true, &sharedProblem) == 0) {
        place.folder = joined(shared, uid);
        place.topdir = topdir;
        return place;
    }
    const QByteArray own = joined(topdir, ".Trash-" + uid);
    if (ensureTrash(own, device, true, &place.problem) == 0) {
        place.folder = own;
        place.topdir = topdir;
    }
    return place;
}

// name, "name (1).ext", "name (2).ext", ..., each cut so that its .trashinfo
// still fits a file name.
QByteArray candidateName(const QString &name, int k)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    QString base = dot > 0 ? name.left(dot) : name;
    const QString tail = (k == 0 ? QString() : nameNumber(k)) + (dot > 0 ? name.mid(dot) : QString());
    QByteArray candidate = QFile::encodeName(base + tail);
    while (candidate.size() + kInfoSuffix.size() > kMaxNameBytes && !base.isEmpty()) {
        base.chop(base.size() >= 2 && base.at(base.size() - 1).isLowSurrogate() ? 2 : 1);
        candidate = QFile::encodeName(base + tail);
    }
    return candidate;
}

// Writes the info, flushes it and reads it back; 0 when it stands complete.
int writeInfo(int fd, const QByteArray &content)
{
    if (int err = pwriteAll(fd, content, 0))
        return err;
    if (::fsync(fd) != 0)
        return errno;
    QByteArray back(content.size() + 1, Qt::Uninitialized);
    const ssize_t n = ::pread(fd, back.data(), size_t(back.size()), 0);
    if (n < 0)
        return errno;
    return QByteArrayView(back.constData(), n) == content ? 0 : EIO;
}

QByteArray infoContent(const QByteArray &path, const QByteArray &topdir)
{
    QByteArray stored = path;
    if (!topdir.isEmpty())
        stored = path.mid(topdir == "/" ? 1 : topdir.size() + 1);
    return "[Trash Info]\nPath=" + stored.toPercentEncoding("/") + "\nDeletionDate="
           + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")).toLatin1() + '\n';
}

} // namespace

QString trashFolderFor(const QString &path, QString *problem)
{
    const QByteArray native = QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        if (problem)
            *problem = problemAt(native, errno);
        return {};
    }
    const TrashPlace place = locate(native, st.st_dev);
    if (problem)
        *problem = place.problem;
    return QFile::decodeName(place.folder);
}

TrashResult moveToTrash(const QString &path)
{
    TrashResult result;
    const QByteArray native = QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        result.problem = errorText(errno);
        return result;
    }
    const TrashPlace place = locate(native, st.st_dev);
    if (place.folder.isEmpty()) {
        result.outcome = TrashResult::NoTrash;
        result.problem = place.problem;
        return result;
    }
    const QByteArray content = infoContent(native, place.topdir);
    const QString name = QFile::decodeName(native.mid(native.lastIndexOf('/') + 1));
    for (int k = 0; k <= kMaxNameNumber; ++k) {
        const QByteArray candidate = candidateName(name, k);
        const QByteArray info = joined(joined(place.folder, "info"), candidate + kInfoSuffix);
        const QByteArray target = joined(joined(place.folder, "files"), candidate);
        // The info first and exclusively: it reserves the name in the trash.
        const int fd = ::open(info.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            result.outcome = TrashResult::NoTrash;
            result.problem = problemAt(info, errno);
            return result;
        }
        struct stat taken {};
        if (::lstat(target.constData(), &taken) == 0) {
            ::close(fd);
            ::unlink(info.constData());
            continue;
        }
        int err = writeInfo(fd, content);
        if (::close(fd) != 0 && !err)
            err = errno;
        if (err) {
            ::unlink(info.constData());
            result.outcome = TrashResult::NoTrash;
            result.problem = problemAt(info, err);
            return result;
        }
        const FsStatus moved = renameNoReplace(QFile::decodeName(native), QFile::decodeName(target));
        if (moved.ok()) {
            result.outcome = TrashResult::Trashed;
            result.trashedAs = QFile::decodeName(target);
            return result;
        }
        ::unlink(info.constData());
        if (moved.outcome == FsStatus::TargetExists)
            continue;
        result.outcome = moved.errorNumber == EXDEV ? TrashResult::NoTrash : TrashResult::Failed;
        result.problem = moved.errorText();
        return result;
    }
    result.outcome = TrashResult::NoTrash;
    result.problem = QFile::decodeName(place.folder) + QStringLiteral(": ") + errorText(EEXIST);
    return result;
}

} // namespace kaz
