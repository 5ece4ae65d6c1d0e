#include "JournalFile.h"

#include "FaultPoint.h"
#include "FileOps.h"
#include "Paths.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {

JournalFile::JournalFile(const char *prefix, const char *faultStep)
    : m_prefix(prefix)
    , m_faultStep(faultStep)
{
}

JournalFile::~JournalFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int JournalFile::create(const QByteArray &contents)
{
    static std::atomic<int> counter{0};
    const QString folder = programFolder();
    QDir().mkpath(folder);
    m_path = QFile::encodeName(folder + QLatin1Char('/') + QLatin1String(m_prefix)) + QByteArray::number(::getpid())
             + '-' + QByteArray::number(++counter) + ".kaz";
    m_fd = ::open(m_path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_fd < 0)
        return errno;
    int err = ::flock(m_fd, LOCK_EX) == 0 ? 0 : errno;
    struct stat own {}, linked {};
    // Recovery may have taken an empty journal for a dead writer's.
    if (!err && (::fstat(m_fd, &own) != 0 || ::stat(m_path.constData(), &linked) != 0 || own.st_ino != linked.st_ino))
        err = EAGAIN;
    if (!err)
        err = pwriteAll(m_fd, contents, 0);
    faultPoint(m_faultStep);
    if (!err && ::fdatasync(m_fd) != 0)
        err = errno;
    if (err)
        remove();
    return err;
}

void JournalFile::remove()
{
    if (m_fd < 0)
        return;
    ::unlink(m_path.constData());
    ::close(m_fd);
    m_fd = -1;
}

void replayLeftoverJournals(const char *prefix, qint64 maxSize, const std::function<bool(const QByteArray &)> &replay)
{
    const QDir folder(programFolder());
    const QStringList names = folder.entryList({QLatin1String(prefix) + QStringLiteral("*.kaz")},
                                               QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        const int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        struct stat st {}, linked {};
        // A writer that still runs holds the lock; a journal unlinked since it
        // was opened is finished.
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > maxSize
            || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::stat(path.constData(), &linked) != 0
            || linked.st_ino != st.st_ino) {
            ::close(fd);
            continue;
        }
        if (replay(preadAll(fd, 0, st.st_size)))
            ::unlink(path.constData());
        ::close(fd);
    }
}

namespace {

QByteArray hashOf(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

} // namespace

QByteArray sealJournalEntry(QByteArray bytes)
{
    const QByteArray hash = hashOf(bytes);
    return bytes + hash + '\n';
}

bool journalSealAt(QByteArrayView bytes, qsizetype at)
{
    return at >= 0 && at + kJournalSealSize <= bytes.size() && bytes[at + 64] == '\n'
           && hashOf(bytes.first(at)) == bytes.sliced(at, 64);
}

bool journalNumbers(const QList<QByteArray> &fields, qint64 *numbers, int count)
{
    if (fields.size() <= count)
        return false;
    for (int i = 0; i < count; ++i) {
        bool ok = false;
        numbers[i] = fields[i + 1].toLongLong(&ok);
        if (!ok || numbers[i] < 0)
            return false;
    }
    return true;
}

std::optional<std::pair<qsizetype, qint64>> journalBatchStart(QByteArrayView magic, QByteArrayView bytes)
{
    const qsizetype countEnd = bytes.indexOf('\n');
    if (countEnd < 0 || !bytes.startsWith(magic))
        return std::nullopt;
    bool ok = false;
    const qint64 count = bytes.sliced(magic.size(), countEnd - magic.size()).toLongLong(&ok);
    if (!ok || count < 0 || count > bytes.size())
        return std::nullopt;
    return std::pair(countEnd + 1, count);
}

} // namespace kaz
