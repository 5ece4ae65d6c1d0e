#include "TailJournal.h"

#include "FaultPoint.h"
#include "Paths.h"
#include "WorkFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

constexpr QByteArrayView kMagic = "KAZTAIL1";
// A journal holds at most a Lyrics3 block and a tag; anything far larger is
// not one of ours.
constexpr qint64 kMaxJournalSize = 16 * 1024 * 1024;

int pwriteAll(int fd, QByteArrayView bytes, qint64 offset)
{
    for (qint64 done = 0; done < bytes.size();) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, size_t(bytes.size() - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
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

// Puts the old end back: the old bytes over whatever the interrupted write
// left, then the old length.
int putBack(int fd, const TailJournalEntry &entry)
{
    if (int err = pwriteAll(fd, entry.oldTail, entry.offset))
        return err;
    if (::ftruncate(fd, entry.oldSize) != 0)
        return errno;
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

// Room for the new end before anything is overwritten, so that a full disk
// refuses the write instead of leaving it half done. File systems without
// fallocate go on; a failing write then puts the old bytes back.
int reserve(int fd, qint64 from, qint64 length)
{
    if (length <= 0)
        return 0;
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, from, length) == 0)
        return 0;
    return errno == EOPNOTSUPP || errno == ENOSYS ? 0 : errno;
}

// The journal of one write: created exclusively, locked while the writer
// lives (a lock that recovery cannot take means the write is still going on),
// written whole and flushed before the file is touched.
class JournalFile
{
public:
    ~JournalFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int create(const TailJournalEntry &entry)
    {
        static int counter = 0;
        const QString folder = programFolder();
        QDir().mkpath(folder);
        m_path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(workfile::TailJournalPrefix))
                 + QByteArray::number(::getpid()) + '-' + QByteArray::number(++counter) + ".kaz";
        m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (m_fd < 0)
            return errno;
        int err = ::flock(m_fd, LOCK_EX) == 0 ? 0 : errno;
        struct stat own {}, linked {};
        // Recovery may have taken an empty journal for a dead writer's.
        if (!err && (::fstat(m_fd, &own) != 0 || ::stat(m_path.constData(), &linked) != 0 || own.st_ino != linked.st_ino))
            err = EAGAIN;
        if (!err)
            err = pwriteAll(m_fd, entry.render(), 0);
        if (!err && ::fdatasync(m_fd) != 0)
            err = errno;
        if (err)
            remove();
        return err;
    }

    void remove()
    {
        if (m_fd < 0)
            return;
        ::unlink(m_path.constData());
        ::close(m_fd);
        m_fd = -1;
    }

private:
    QByteArray m_path;
    int m_fd = -1;
};

enum class Repair { Done, NothingToDo, Failed };

Repair repair(const TailJournalEntry &entry, QString *problem)
{
    const int fd = ::open(entry.path.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": gone since the interrupted tag write");
        return errno == ENOENT ? Repair::NothingToDo : Repair::Failed;
    }
    struct stat st {};
    Repair result = Repair::Failed;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || quint64(st.st_dev) != entry.device
        || quint64(st.st_ino) != entry.inode) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": replaced since the interrupted tag write");
        result = Repair::NothingToDo;
    } else if (st.st_size < qMin(entry.oldSize, entry.newSize) || st.st_size > qMax(entry.oldSize, entry.newSize)) {
        // Changed by someone else since: putting the old end back could damage it.
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": changed since the interrupted tag write");
        result = Repair::NothingToDo;
    } else if (const int err = putBack(fd, entry)) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": ") + FsStatus::fromErrno(err).errorText();
    } else {
        result = Repair::Done;
    }
    ::close(fd);
    return result;
}

} // namespace

QByteArray TailJournalEntry::render() const
{
    QByteArray bytes = kMagic.toByteArray();
    for (qint64 n : {qint64(device), qint64(inode), offset, oldSize, newSize, qint64(oldTail.size())})
        bytes += ' ' + QByteArray::number(n);
    bytes += ' ' + path.toHex() + '\n';
    bytes += oldTail;
    bytes += QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + '\n';
    return bytes;
}

std::optional<TailJournalEntry> TailJournalEntry::parse(const QByteArray &bytes)
{
    const qsizetype headerEnd = bytes.indexOf('\n');
    if (headerEnd < 0 || !bytes.startsWith(kMagic))
        return std::nullopt;
    const QList<QByteArray> fields = bytes.left(headerEnd).split(' ');
    if (fields.size() != 8)
        return std::nullopt;
    qint64 numbers[6];
    for (int i = 0; i < 6; ++i) {
        bool ok = false;
        numbers[i] = fields[i + 1].toLongLong(&ok);
        if (!ok || numbers[i] < 0)
            return std::nullopt;
    }
    const qint64 tailLength = numbers[5];
    const qint64 hashAt = headerEnd + 1 + tailLength;
    if (hashAt + 65 != bytes.size())
        return std::nullopt;
    if (QCryptographicHash::hash(bytes.left(hashAt), QCryptographicHash::Sha256).toHex() != bytes.mid(hashAt, 64))
        return std::nullopt;
    TailJournalEntry entry;
    entry.device = quint64(numbers[0]);
    entry.inode = quint64(numbers[1]);
    entry.offset = numbers[2];
    entry.oldSize = numbers[3];
    entry.newSize = numbers[4];
    entry.path = QByteArray::fromHex(fields[7]);
    entry.oldTail = bytes.mid(headerEnd + 1, tailLength);
    if (entry.path.isEmpty() || entry.offset + tailLength != entry.oldSize)
        return std::nullopt;
    return entry;
}

int recoverInterruptedTailWrites(QStringList *problems)
{
    const QDir folder(programFolder());
    const QStringList names = folder.entryList({QLatin1String(workfile::TailJournalPrefix) + QStringLiteral("*.kaz")},
                                               QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    int repaired = 0;
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {}, linked {};
        // A writer that still runs holds the lock; a journal unlinked since it
        // was opened is finished.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxJournalSize
            || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::stat(path.constData(), &linked) != 0
            || linked.st_ino != st.st_ino) {
            ::close(fd);
            continue;
        }
        const std::optional<TailJournalEntry> entry = TailJournalEntry::parse(preadAll(fd, 0, st.st_size));
        QString problem;
        // A journal cut off by a kill: the file was not touched yet.
        const Repair result = entry ? repair(*entry, &problem) : Repair::NothingToDo;
        if (result == Repair::Done)
            ++repaired;
        if (!problem.isEmpty() && problems)
            problems->append(problem);
        if (result != Repair::Failed)
            ::unlink(path.constData());
        ::close(fd);
    }
    return repaired;
}

FsStatus replaceFileEnd(const QString &path, qint64 offset, const QByteArray &bytes)
{
    static std::once_flag recovered;
    std::call_once(recovered, [] { recoverInterruptedTailWrites(); });
    TailJournalEntry entry;
    entry.path = QFile::encodeName(path);
    const int fd = ::open(entry.path.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return FsStatus::fromErrno(errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || offset < 0 || offset > st.st_size) {
        ::close(fd);
        return FsStatus::fromErrno(EINVAL);
    }
    entry.device = quint64(st.st_dev);
    entry.inode = quint64(st.st_ino);
    entry.offset = offset;
    entry.oldSize = st.st_size;
    entry.newSize = offset + bytes.size();
    entry.oldTail = preadAll(fd, offset, st.st_size - offset);
    int err = entry.oldTail.size() == st.st_size - offset ? 0 : EIO;
    if (!err && entry.oldTail == bytes) {
        ::close(fd);
        return FsStatus::success();
    }
    if (!err)
        err = reserve(fd, entry.oldSize, entry.newSize - entry.oldSize);
    JournalFile journal;
    if (!err)
        err = journal.create(entry);
    if (err) { // nothing touched yet
        ::close(fd);
        return FsStatus::fromErrno(err);
    }
    faultPoint("tail");
    err = pwriteAll(fd, bytes, offset);
    faultPoint("tail");
    if (!err && ::ftruncate(fd, entry.newSize) != 0)
        err = errno;
    if (!err && ::fdatasync(fd) != 0)
        err = errno;
    // After a failure the old end goes back at once; when even that fails the
    // journal stays for the next start.
    faultPoint("tail");
    if (!err || putBack(fd, entry) == 0)
        journal.remove();
    if (::close(fd) != 0 && !err)
        err = errno;
    return FsStatus::fromErrno(err);
}

} // namespace kaz
