#include "TailJournal.h"

#include "FaultPoint.h"
#include "FileOps.h"
#include "JournalFile.h"
#include "WorkFiles.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <algorithm>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz {
namespace {

// An entry: this magic, its numbers, its path, the hashes of the new end.
constexpr QByteArrayView kMagic = "KAZTAIL2";
// An entry of earlier versions, without the hashes.
constexpr QByteArrayView kOldMagic = "KAZTAIL1";
// A journal of several writes: this line with their number, then the entries.
constexpr QByteArrayView kBatchMagic = "KAZTAILS ";
// A journal holds the old ends of one batch; anything far larger is not one
// of ours.
constexpr qint64 kMaxJournalSize = 16 * 1024 * 1024;
// A batch is committed when its journal would grow past this size or it
// holds batchFiles() files.
constexpr qint64 kBatchJournalBytes = 8 * 1024 * 1024;

// Each file of a batch keeps a descriptor open until the commit: at most
// 512, and never more than half of what the process may open beyond a
// reserve for the run's other files.
size_t batchFiles()
{
    static const size_t files = [] {
        struct rlimit limit {};
        if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
            return size_t(512);
        const qint64 spare = (qint64(limit.rlim_cur) - 128) / 2;
        return size_t(std::clamp<qint64>(spare, 1, 512));
    }();
    return files;
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

enum class Repair { Done, NothingToDo, Failed };

Repair repair(const TailJournalEntry &entry, QString *problem)
{
    const int fd = ::open(entry.path.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": gone since the interrupted tag write");
        return errno == ENOENT ? Repair::NothingToDo : Repair::Failed;
    }
    struct stat st {};
    Repair result = Repair::Failed;
    WriteLeft left = WriteLeft::SomethingElse;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || quint64(st.st_dev) != entry.device
        || quint64(st.st_ino) != entry.inode) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": replaced since the interrupted tag write");
        result = Repair::NothingToDo;
    } else if ((left = whatTheWriteLeft(fd, entry.replaced())) == WriteLeft::OldBytes) {
        result = Repair::NothingToDo;
    } else if (left == WriteLeft::SomethingElse) {
        // Changed by someone else since: putting the old end back could undo that.
        *problem = QFile::decodeName(entry.path)
                   + (entry.replaced().hasHashes()
                          ? QStringLiteral(": changed since the interrupted tag write, left as it is")
                          : QStringLiteral(": left as it is; the journal of its interrupted tag write comes from an "
                                           "earlier version and cannot tell its end from a later edit"));
        result = Repair::NothingToDo;
    } else if (const int err = putBack(fd, entry)) {
        *problem = QFile::decodeName(entry.path) + QStringLiteral(": ") + FsStatus::fromErrno(err).errorText();
    } else {
        result = Repair::Done;
    }
    ::close(fd);
    return result;
}

// Opens a file to replace its end. A file without the owner's write
// permission gets it (as the tag writer always did), also through a link.
int openForWriting(const QByteArray &path)
{
    const int flags = O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    int fd = ::open(path.constData(), flags);
    if (fd >= 0 || errno != EACCES)
        return fd;
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR)
        || ::chmod(path.constData(), (st.st_mode & 07777) | S_IWUSR) != 0) {
        errno = EACCES;
        return -1;
    }
    fd = ::open(path.constData(), flags);
    return fd;
}

} // namespace

struct TailWriteBatch::Pending {
    int fd = -1;
    TailJournalEntry entry;
    QByteArray newTail;
    Done done;
    int error = 0;
};

// The written files of a batch to the disk: one syncfs per file system, or
// one fdatasync per file where syncfs fails. A file that could not be flushed
// gets its old end back, or keeps it in the journal for the next start:
// such files are returned.
QList<TailJournalEntry> TailWriteBatch::flushWritten(std::vector<Pending> &batch)
{
    QList<TailJournalEntry> unrepaired;
    std::vector<quint64> synced, failed;
    for (Pending &p : batch) {
        if (p.error)
            continue;
        const quint64 device = p.entry.device;
        if (std::find(failed.begin(), failed.end(), device) == failed.end()
            && std::find(synced.begin(), synced.end(), device) == synced.end()) {
            (::syncfs(p.fd) == 0 ? synced : failed).push_back(device);
        }
        if (std::find(synced.begin(), synced.end(), device) != synced.end())
            continue;
        if (::fdatasync(p.fd) != 0) {
            p.error = errno;
            if (putBack(p.fd, p.entry) != 0)
                unrepaired.append(p.entry);
        }
    }
    return unrepaired;
}

void TailJournalEntry::hashNewTail(QByteArrayView newTail)
{
    ReplacedBytes r = replaced();
    r.hashNew(newTail);
    newHeadHash = r.newHeadHash;
    newRestHash = r.newRestHash;
}

ReplacedBytes TailJournalEntry::replaced() const
{
    return {offset, oldTail, newSize - offset, newHeadHash, newRestHash, true};
}

QByteArray TailJournalEntry::render() const
{
    const bool hashed = !newHeadHash.isEmpty();
    QByteArray bytes = (hashed ? kMagic : kOldMagic).toByteArray();
    for (qint64 n : {qint64(device), qint64(inode), offset, oldSize, newSize, qint64(oldTail.size())})
        bytes += ' ' + QByteArray::number(n);
    bytes += ' ' + path.toHex();
    if (hashed)
        bytes += ' ' + newHeadHash.toHex() + ' ' + (newRestHash.isEmpty() ? QByteArray("-") : newRestHash.toHex());
    bytes += '\n';
    bytes += oldTail;
    return sealJournalEntry(std::move(bytes));
}

std::optional<TailJournalEntry> TailJournalEntry::parse(const QByteArray &bytes)
{
    qsizetype length = 0;
    std::optional<TailJournalEntry> entry = parseFirst(bytes, &length);
    if (!entry || length != bytes.size())
        return std::nullopt;
    return entry;
}

std::optional<TailJournalEntry> TailJournalEntry::parseFirst(QByteArrayView bytes, qsizetype *length)
{
    const qsizetype headerEnd = bytes.indexOf('\n');
    const bool hashed = bytes.startsWith(kMagic);
    if (headerEnd < 0 || !(hashed || bytes.startsWith(kOldMagic)))
        return std::nullopt;
    const QList<QByteArray> fields = bytes.first(headerEnd).toByteArray().split(' ');
    if (fields.size() != (hashed ? 10 : 8))
        return std::nullopt;
    qint64 numbers[6];
    if (!journalNumbers(fields, numbers, 6))
        return std::nullopt;
    const qint64 tailLength = numbers[5];
    const qint64 hashAt = headerEnd + 1 + tailLength;
    if (tailLength > bytes.size() || !journalSealAt(bytes, hashAt))
        return std::nullopt;
    TailJournalEntry entry;
    entry.device = quint64(numbers[0]);
    entry.inode = quint64(numbers[1]);
    entry.offset = numbers[2];
    entry.oldSize = numbers[3];
    entry.newSize = numbers[4];
    entry.path = QByteArray::fromHex(fields[7]);
    entry.oldTail = bytes.sliced(headerEnd + 1, tailLength).toByteArray();
    if (hashed) {
        entry.newHeadHash = QByteArray::fromHex(fields[8]);
        entry.newRestHash = fields[9] == "-" ? QByteArray() : QByteArray::fromHex(fields[9]);
        if (entry.newHeadHash.size() != 32 || (fields[9] != "-" && entry.newRestHash.size() != 32))
            return std::nullopt;
    }
    if (entry.path.isEmpty() || entry.offset + tailLength != entry.oldSize)
        return std::nullopt;
    *length = hashAt + kJournalSealSize;
    return entry;
}

QByteArray renderTailJournal(const QList<TailJournalEntry> &entries)
{
    return renderJournalBatch(kBatchMagic, entries);
}

std::optional<QList<TailJournalEntry>> parseTailJournal(const QByteArray &bytes)
{
    if (bytes.startsWith(kOldMagic) || bytes.startsWith(kMagic)) { // one write, as earlier versions kept it
        std::optional<TailJournalEntry> entry = TailJournalEntry::parse(bytes);
        return entry ? std::optional(QList<TailJournalEntry>{*entry}) : std::nullopt;
    }
    return parseJournalBatch<TailJournalEntry>(kBatchMagic, bytes);
}

int recoverInterruptedTailWrites(QStringList *problems)
{
    int repaired = 0;
    replayLeftoverJournals(workfile::TailJournalPrefix, kMaxJournalSize, [&](const QByteArray &journal) {
        // A journal cut off by a kill: no file was touched yet.
        const std::optional<QList<TailJournalEntry>> entries = parseTailJournal(journal);
        bool failed = false;
        for (const TailJournalEntry &entry : entries.value_or(QList<TailJournalEntry>())) {
            QString problem;
            const Repair result = repair(entry, &problem);
            repaired += result == Repair::Done;
            failed |= result == Repair::Failed;
            if (!problem.isEmpty() && problems)
                problems->append(problem);
        }
        return !failed;
    });
    return repaired;
}

FsStatus replaceFileEnd(const QString &path, qint64 offset, const QByteArray &bytes)
{
    FsStatus status;
    TailWriteBatch batch;
    batch.add(path, offset, bytes, [&status](const FsStatus &s) { status = s; });
    batch.commit();
    return status;
}

TailWriteBatch::TailWriteBatch()
{
    static std::once_flag recovered;
    std::call_once(recovered, [] { recoverInterruptedTailWrites(); });
}

TailWriteBatch::~TailWriteBatch()
{
    commit();
}

void TailWriteBatch::add(const QString &path, qint64 offset, const QByteArray &bytes, Done done)
{
    Pending p;
    p.entry.path = QFile::encodeName(path);
    p.newTail = bytes;
    p.done = std::move(done);
    const auto refuse = [&](int err) {
        if (p.fd >= 0)
            ::close(p.fd);
        if (p.done)
            p.done(FsStatus::fromErrno(err));
    };
    p.fd = openForWriting(p.entry.path);
    if (p.fd < 0)
        return refuse(errno);
    struct stat st {};
    if (::fstat(p.fd, &st) != 0 || !S_ISREG(st.st_mode) || offset < 0 || offset > st.st_size)
        return refuse(EINVAL);
    // The owner's write permission, also where the system let root open the file without it.
    if (!(st.st_mode & S_IWUSR))
        ::fchmod(p.fd, (st.st_mode & 07777) | S_IWUSR);
    p.entry.device = quint64(st.st_dev);
    p.entry.inode = quint64(st.st_ino);
    // The same file twice in a batch: the second write starts from the first's result.
    for (const Pending &queued : m_pending) {
        if (queued.entry.device == p.entry.device && queued.entry.inode == p.entry.inode) {
            commit();
            break;
        }
    }
    p.entry.offset = offset;
    p.entry.oldSize = st.st_size;
    p.entry.newSize = offset + bytes.size();
    p.entry.oldTail = preadAll(p.fd, offset, st.st_size - offset);
    if (p.entry.oldTail.size() != st.st_size - offset)
        return refuse(EIO);
    if (p.entry.oldTail == bytes)
        return refuse(0);
    p.entry.hashNewTail(bytes);
    if (const int err = reserve(p.fd, p.entry.oldSize, p.entry.newSize - p.entry.oldSize))
        return refuse(err);
    const qint64 journalBytes = p.entry.oldTail.size() + p.entry.path.size() * 2 + 200;
    if (!m_pending.empty() && (m_pending.size() >= batchFiles() || m_journalBytes + journalBytes > kBatchJournalBytes))
        commit();
    m_journalBytes += journalBytes;
    m_pending.push_back(std::move(p));
}

void TailWriteBatch::commit()
{
    if (m_pending.empty())
        return;
    std::vector<Pending> batch = std::move(m_pending);
    m_pending.clear();
    m_journalBytes = 0;
    QList<TailJournalEntry> entries;
    entries.reserve(qsizetype(batch.size()));
    for (const Pending &p : batch)
        entries.append(p.entry);
    JournalFile journal(workfile::TailJournalPrefix, "tail");
    const int journalError = journal.create(renderTailJournal(entries));
    if (!journalError) { // nothing is touched before the journal is on the disk
        QList<TailJournalEntry> unrepaired;
        for (Pending &p : batch) {
            faultPoint("tail");
            p.error = pwriteAll(p.fd, p.newTail, p.entry.offset);
            faultPoint("tail");
            if (!p.error && p.entry.newSize != p.entry.oldSize && ::ftruncate(p.fd, p.entry.newSize) != 0)
                p.error = errno;
            // After a failure the old end goes back at once; when even that
            // fails the journal stays for the next start.
            if (p.error && putBack(p.fd, p.entry) != 0)
                unrepaired.append(p.entry);
        }
        unrepaired += flushWritten(batch);
        faultPoint("tail");
        // Files whose old end could not be put back keep it in a journal of
        // their own for the next start; the others are done.
        JournalFile rest(workfile::TailJournalPrefix, "tail");
        if (unrepaired.isEmpty() || rest.create(renderTailJournal(unrepaired)) == 0)
            journal.remove();
    }
    for (Pending &p : batch) {
        if (::close(p.fd) != 0 && !p.error && !journalError)
            p.error = errno;
        if (p.done)
            p.done(FsStatus::fromErrno(journalError ? journalError : p.error));
    }
}

} // namespace kaz
