#include "HeadWrite.h"

#include "FaultPoint.h"
#include "JournalFile.h"
#include "WorkFiles.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

constexpr QByteArrayView kEntryMagic = "KAZHEAD1";
constexpr QByteArrayView kBatchMagic = "KAZHEADS ";
constexpr qint64 kMaxJournalSize = 64 * 1024 * 1024;
// A batch is committed at this journal size or number of files (each keeps
// a descriptor open until the commit, a file written anew two), so that it
// stays well inside the usual limit of descriptors beside a tail batch.
constexpr qint64 kBatchJournalBytes = 8 * 1024 * 1024;
constexpr size_t kBatchFiles = 256;

// The old bytes of every patch back, then the old length.
int putBack(int fd, const HeadJournalEntry &entry)
{
    for (const HeadPatch &patch : entry.patches) {
        if (int err = pwriteAll(fd, patch.oldBytes, patch.offset))
            return err;
    }
    if (::ftruncate(fd, entry.oldSize) != 0)
        return errno;
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

// Whether every changed byte of the file still holds its old or its new value:
// what an interrupted write leaves, and nothing another program wrote since.
bool holdsOldOrNew(int fd, qint64 size, const HeadJournalEntry &entry)
{
    if (size < qMin(entry.oldSize, entry.newSize) || size > qMax(entry.oldSize, entry.newSize))
        return false;
    for (const HeadPatch &patch : entry.patches) {
        const qint64 length = qMax(patch.oldBytes.size(), patch.newBytes.size());
        const QByteArray now = preadAll(fd, patch.offset, qMin(length, size - patch.offset));
        for (qsizetype i = 0; i < now.size(); ++i) {
            const bool old = i < patch.oldBytes.size() && now[i] == patch.oldBytes[i];
            const bool fresh = i < patch.newBytes.size() && now[i] == patch.newBytes[i];
            if (!old && !fresh)
                return false;
        }
    }
    return true;
}

FsStatus failure(int err, const QString &detail)
{
    FsStatus status = FsStatus::fromErrno(err);
    status.detail = detail;
    return status;
}

// Copies length bytes at offset of in to the end of out, in the kernel where
// the file system can.
int copyRange(int in, qint64 offset, qint64 length, int out, qint64 outOffset)
{
    loff_t from = offset, to = outOffset;
    while (length > 0) {
        const ssize_t n = ::copy_file_range(in, &from, out, &to, size_t(qMin<qint64>(length, 1 << 30)), 0);
        if (n > 0) {
            length -= n;
            continue;
        }
        if (n == 0)
            return EIO; // the file ended early: it changed since it was read
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return errno;
        // No kernel copy here: through a buffer.
        const QByteArray chunk = preadAll(in, from, qMin<qint64>(length, 1 << 20));
        if (chunk.isEmpty())
            return EIO;
        if (int err = pwriteAll(out, chunk, to))
            return err;
        from += chunk.size();
        to += chunk.size();
        length -= chunk.size();
    }
    return 0;
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArrayLiteral(".") : slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

} // namespace

struct HeadWriteBatch::Pending {
    int fd = -1;
    struct stat st {};
    HeadJournalEntry entry;
    FileEnds ends;
    Done done;
    int error = 0;
    QString note; // what was left unwritten, for the outcome
};

QByteArray HeadJournalEntry::render() const
{
    QByteArray bytes = kEntryMagic.toByteArray();
    for (qint64 n : {qint64(device), qint64(inode), oldSize, newSize, qint64(patches.size())})
        bytes += ' ' + QByteArray::number(n);
    bytes += ' ' + path.toHex() + ' ' + (temporary.isEmpty() ? QByteArray("-") : temporary.toHex()) + '\n';
    for (const HeadPatch &patch : patches) {
        bytes += QByteArray::number(patch.offset) + ' ' + QByteArray::number(patch.oldBytes.size()) + ' '
                 + QByteArray::number(patch.newBytes.size()) + '\n' + patch.oldBytes + patch.newBytes;
    }
    return sealJournalEntry(std::move(bytes));
}

std::optional<HeadJournalEntry> HeadJournalEntry::parseFirst(QByteArrayView bytes, qsizetype *length)
{
    qsizetype lineEnd = bytes.indexOf('\n');
    if (lineEnd < 0 || !bytes.startsWith(kEntryMagic))
        return std::nullopt;
    const QList<QByteArray> fields = bytes.first(lineEnd).toByteArray().split(' ');
    if (fields.size() != 8)
        return std::nullopt;
    qint64 numbers[5];
    if (!journalNumbers(fields, numbers, 5))
        return std::nullopt;
    HeadJournalEntry entry;
    entry.device = quint64(numbers[0]);
    entry.inode = quint64(numbers[1]);
    entry.oldSize = numbers[2];
    entry.newSize = numbers[3];
    entry.path = QByteArray::fromHex(fields[6]);
    if (fields[7] != "-")
        entry.temporary = QByteArray::fromHex(fields[7]);
    qsizetype at = lineEnd + 1;
    for (qint64 i = 0; i < numbers[4]; ++i) {
        lineEnd = bytes.indexOf('\n', at);
        if (lineEnd < 0)
            return std::nullopt;
        const QList<QByteArray> sizes = bytes.sliced(at, lineEnd - at).toByteArray().split(' ');
        bool ok[3] = {};
        const qint64 offset = sizes.size() == 3 ? sizes[0].toLongLong(&ok[0]) : -1;
        const qint64 oldLength = sizes.size() == 3 ? sizes[1].toLongLong(&ok[1]) : -1;
        const qint64 newLength = sizes.size() == 3 ? sizes[2].toLongLong(&ok[2]) : -1;
        at = lineEnd + 1;
        if (!ok[0] || !ok[1] || !ok[2] || offset < 0 || oldLength < 0 || newLength < 0
            || oldLength + newLength > bytes.size() - at)
            return std::nullopt;
        entry.patches.append({offset, bytes.sliced(at, oldLength).toByteArray(),
                              bytes.sliced(at + oldLength, newLength).toByteArray()});
        at += oldLength + newLength;
    }
    if (!journalSealAt(bytes, at) || entry.path.isEmpty())
        return std::nullopt;
    *length = at + kJournalSealSize;
    return entry;
}

QByteArray renderHeadJournal(const QList<HeadJournalEntry> &entries)
{
    return renderJournalBatch(kBatchMagic, entries);
}

std::optional<QList<HeadJournalEntry>> parseHeadJournal(const QByteArray &bytes)
{
    return parseJournalBatch<HeadJournalEntry>(kBatchMagic, bytes);
}

namespace {

// false: the file still needs its repair (the journal stays).
bool repairEntry(const HeadJournalEntry &entry, int *repaired, QStringList *problems)
{
    const auto tell = [&](const QString &what) {
        if (problems)
            problems->append(QFile::decodeName(entry.path) + QStringLiteral(": ") + what);
    };
    if (!entry.temporary.isEmpty()) {
        // Killed before the new file took the old one's place: the old file stands.
        struct stat st {};
        if (::lstat(entry.temporary.constData(), &st) == 0 && S_ISREG(st.st_mode))
            ::unlink(entry.temporary.constData());
        return true;
    }
    const int fd = ::open(entry.path.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        tell(QStringLiteral("gone since the interrupted tag write"));
        return errno == ENOENT || errno == ELOOP;
    }
    struct stat st {};
    bool done = true;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || quint64(st.st_dev) != entry.device
        || quint64(st.st_ino) != entry.inode) {
        tell(QStringLiteral("replaced since the interrupted tag write"));
    } else if (!holdsOldOrNew(fd, st.st_size, entry)) {
        tell(QStringLiteral("changed since the interrupted tag write"));
    } else if (const int err = putBack(fd, entry)) {
        tell(FsStatus::fromErrno(err).errorText());
        done = false;
    } else {
        ++*repaired;
    }
    ::close(fd);
    return done;
}

} // namespace

int recoverInterruptedHeadWrites(QStringList *problems)
{
    int repaired = 0;
    replayLeftoverJournals(workfile::HeadJournalPrefix, kMaxJournalSize, [&](const QByteArray &journal) {
        bool finished = true;
        const std::optional<QList<HeadJournalEntry>> entries = parseHeadJournal(journal);
        for (const HeadJournalEntry &entry : entries.value_or(QList<HeadJournalEntry>()))
            finished &= repairEntry(entry, &repaired, problems);
        return finished;
    });
    return repaired;
}

HeadWriteBatch::HeadWriteBatch()
{
    static std::once_flag recovered;
    std::call_once(recovered, [] { recoverInterruptedHeadWrites(); });
}

HeadWriteBatch::~HeadWriteBatch()
{
    commit();
}

FsStatus replaceFileEnds(const QString &path, const FileEnds &ends)
{
    FsStatus status;
    HeadWriteBatch batch;
    batch.add(path, ends, [&status](const FsStatus &s) { status = s; });
    batch.commit();
    return status;
}

void HeadWriteBatch::add(const QString &path, const FileEnds &ends, Done done)
{
    Pending p;
    p.entry.path = QFile::encodeName(path);
    p.ends = ends;
    p.done = std::move(done);
    const auto refuse = [&](const FsStatus &status) {
        if (p.fd >= 0)
            ::close(p.fd);
        if (p.done)
            p.done(status);
    };
    // The same file twice: the second write starts from the first's result.
    struct stat named {};
    if (::lstat(p.entry.path.constData(), &named) == 0) {
        for (const Pending &queued : m_pending) {
            if (queued.entry.device == quint64(named.st_dev) && queued.entry.inode == quint64(named.st_ino)) {
                commit();
                break;
            }
        }
    }
    constexpr int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
    p.fd = ::open(p.entry.path.constData(), O_RDWR | flags);
    const bool readOnly = p.fd < 0 && errno == EACCES;
    if (readOnly)
        p.fd = ::open(p.entry.path.constData(), O_RDONLY | flags);
    if (p.fd < 0)
        return refuse(errno == ELOOP ? failure(ELOOP, QStringLiteral("a symbolic link; not written through"))
                                     : FsStatus::fromErrno(errno));
    if (::fstat(p.fd, &p.st) != 0 || !S_ISREG(p.st.st_mode))
        return refuse(failure(EINVAL, QStringLiteral("not a regular file; left alone")));
    const qint64 size = p.st.st_size;
    if (preadAll(p.fd, 0, ends.oldHead.size()) != ends.oldHead) {
        // Named twice with the same values, the file holds the new start already.
        if (preadAll(p.fd, 0, ends.newHead.size()) != ends.newHead)
            return refuse(failure(EAGAIN, QStringLiteral("changed while it was read; not written")));
        p.ends.tailOffset += ends.newHead.size() - ends.oldHead.size();
        p.ends.oldHead = ends.newHead;
    }
    if (p.ends.tailOffset < p.ends.oldHead.size() || p.ends.tailOffset > size)
        return refuse(failure(EAGAIN, QStringLiteral("changed while it was read; not written")));
    bool inPlace = p.ends.newHead.size() == p.ends.oldHead.size();
    // Written anew, a file the user may not write would be replaced all the same.
    if (!inPlace && readOnly && p.st.st_uid != ::geteuid() && ::geteuid() != 0)
        return refuse(FsStatus::fromErrno(EACCES));
    if (!inPlace && p.st.st_nlink > 1) {
        // Written anew, the other names would keep the old file.
        p.note = QStringLiteral("has %1 hard links and its ID3v2 tag does not fit in place; "
                                "only the tag at its end was written")
                     .arg(p.st.st_nlink);
        p.ends.newHead = p.ends.oldHead;
        inPlace = true;
    }
    if (inPlace && readOnly) {
        // The owner's write permission, as every tag write gives it (through
        // the descriptor: never to what a link put in the file's place).
        const bool granted = !(p.st.st_mode & S_IWUSR) && ::fchmod(p.fd, (p.st.st_mode & 07777) | S_IWUSR) == 0;
        ::close(p.fd);
        p.fd = granted ? ::open(p.entry.path.constData(), O_RDWR | flags) : -1;
        struct stat again {};
        if (p.fd < 0 || ::fstat(p.fd, &again) != 0 || again.st_ino != p.st.st_ino || again.st_dev != p.st.st_dev)
            return refuse(FsStatus::fromErrno(EACCES));
    }
    p.entry.device = quint64(p.st.st_dev);
    p.entry.inode = quint64(p.st.st_ino);
    p.entry.oldSize = size;
    p.entry.newSize = p.ends.tailOffset + p.ends.newTail.size() + p.ends.newHead.size() - p.ends.oldHead.size();
    const QByteArray oldTail = preadAll(p.fd, p.ends.tailOffset, size - p.ends.tailOffset);
    if (oldTail.size() != size - p.ends.tailOffset)
        return refuse(FsStatus::fromErrno(EIO));
    if (inPlace) {
        if (oldTail != p.ends.newTail)
            p.entry.patches.append({p.ends.tailOffset, oldTail, p.ends.newTail});
        // Only the changed stretch of the start.
        const QByteArray &was = p.ends.oldHead, &will = p.ends.newHead;
        qsizetype first = 0, last = was.size();
        while (first < last && was[first] == will[first])
            ++first;
        while (last > first && was[last - 1] == will[last - 1])
            --last;
        if (first < last)
            p.entry.patches.append({first, was.sliced(first, last - first), will.sliced(first, last - first)});
        if (p.entry.patches.isEmpty())
            return refuse(p.note.isEmpty() ? FsStatus::success() : failure(EMLINK, p.note));
        // Room for a longer end before anything is overwritten.
        if (p.entry.newSize > size && ::fallocate(p.fd, FALLOC_FL_KEEP_SIZE, size, p.entry.newSize - size) != 0
            && errno != EOPNOTSUPP && errno != ENOSYS)
            return refuse(FsStatus::fromErrno(errno));
    } else {
        // Numbered past the names other files of the run were given.
        static int named = 0;
        p.entry.temporary = temporarySibling(p.entry.path, named += 1000);
        if (p.entry.temporary.isEmpty())
            return refuse(FsStatus::fromErrno(EEXIST));
    }
    qint64 journalBytes = p.entry.path.size() * 4 + 200;
    for (const HeadPatch &patch : p.entry.patches)
        journalBytes += patch.oldBytes.size() + patch.newBytes.size();
    if (!m_pending.empty() && (m_pending.size() >= kBatchFiles || m_journalBytes + journalBytes > kBatchJournalBytes))
        commit();
    m_journalBytes += journalBytes;
    m_pending.push_back(std::move(p));
}

namespace {

// The new file of a rewrite under its hidden name: new start, the audio
// between the ends, new end; the old file's mode and, where permitted, owner.
// Closed at once: a batch keeps one descriptor per file.
int writeNewFile(int oldFd, const struct stat &st, const HeadJournalEntry &entry, const FileEnds &ends)
{
    const int out = ::open(entry.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (out < 0)
        return errno;
    faultPoint("head");
    int err = pwriteAll(out, ends.newHead, 0);
    const qint64 audio = ends.tailOffset - ends.oldHead.size();
    if (!err)
        err = copyRange(oldFd, ends.oldHead.size(), audio, out, ends.newHead.size());
    faultPoint("head");
    if (!err)
        err = pwriteAll(out, ends.newTail, ends.newHead.size() + audio);
    if (!err && ::fchown(out, st.st_uid, st.st_gid) != 0 && ::fchown(out, uid_t(-1), st.st_gid) != 0) {
        // Another owner only where the system permits it.
    }
    if (!err && ::fchmod(out, st.st_mode & 07777) != 0)
        err = errno;
    if (::close(out) != 0 && !err)
        err = errno;
    return err;
}

// Flushes a file by its name (a new file whose descriptor is closed).
int fsyncNamed(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return errno;
    const int err = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return err;
}

} // namespace

void HeadWriteBatch::commit()
{
    if (m_pending.empty())
        return;
    std::vector<Pending> batch = std::move(m_pending);
    m_pending.clear();
    m_journalBytes = 0;
    QList<HeadJournalEntry> entries;
    for (const Pending &p : batch)
        entries.append(p.entry);
    JournalFile journal(workfile::HeadJournalPrefix, "head");
    const int journalError = journal.create(renderHeadJournal(entries));
    bool unrepaired = false;
    if (!journalError) { // nothing is touched before the journal is on the disk
        for (Pending &p : batch) {
            if (!p.entry.temporary.isEmpty()) {
                p.error = writeNewFile(p.fd, p.st, p.entry, p.ends);
                continue;
            }
            for (const HeadPatch &patch : p.entry.patches) {
                faultPoint("head");
                if (!p.error)
                    p.error = pwriteAll(p.fd, patch.newBytes, patch.offset);
            }
            if (!p.error && p.entry.newSize != p.entry.oldSize && ::ftruncate(p.fd, p.entry.newSize) != 0)
                p.error = errno;
            if (p.error && putBack(p.fd, p.entry) != 0)
                unrepaired = true;
        }
        // One flush per file system, or one per file where that fails.
        std::vector<dev_t> synced;
        for (Pending &p : batch) {
            if (p.error)
                continue;
            if (std::find(synced.begin(), synced.end(), p.st.st_dev) != synced.end())
                continue;
            // The new file lies in the old one's folder, on its file system.
            const bool rewritten = !p.entry.temporary.isEmpty();
            if (::syncfs(p.fd) == 0) {
                synced.push_back(p.st.st_dev);
            } else if (const int err = rewritten ? fsyncNamed(p.entry.temporary) : (::fsync(p.fd) == 0 ? 0 : errno)) {
                p.error = err;
                if (!rewritten && putBack(p.fd, p.entry) != 0)
                    unrepaired = true;
            }
        }
        faultPoint("head");
        std::vector<QByteArray> folders;
        for (Pending &p : batch) {
            if (p.entry.temporary.isEmpty())
                continue;
            struct stat now {};
            // The new file takes the old one's place only while that is still there.
            if (!p.error && (::lstat(p.entry.path.constData(), &now) != 0 || now.st_ino != p.st.st_ino
                             || now.st_dev != p.st.st_dev))
                p.error = EAGAIN;
            if (!p.error && ::rename(p.entry.temporary.constData(), p.entry.path.constData()) != 0)
                p.error = errno;
            if (p.error)
                ::unlink(p.entry.temporary.constData());
            else if (std::find(folders.begin(), folders.end(), folderOf(p.entry.path)) == folders.end())
                folders.push_back(folderOf(p.entry.path));
            faultPoint("head");
        }
        for (const QByteArray &folder : folders) {
            const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
        }
        faultPoint("head");
        // A file whose old bytes could not be put back keeps the journal for the next start.
        if (!unrepaired)
            journal.remove();
    }
    for (Pending &p : batch) {
        ::close(p.fd);
        if (!p.done)
            continue;
        const int err = journalError ? journalError : p.error;
        if (err == EAGAIN)
            p.done(failure(EAGAIN, QStringLiteral("changed while it was written; left as it was")));
        else if (err == EACCES && !p.entry.temporary.isEmpty())
            p.done(failure(EACCES, QStringLiteral("its ID3v2 tag must grow, which needs write permission "
                                                  "in its folder; left as it was")));
        else if (err)
            p.done(FsStatus::fromErrno(err));
        else
            p.done(p.note.isEmpty() ? FsStatus::success() : failure(EMLINK, p.note));
    }
}

} // namespace kaz
