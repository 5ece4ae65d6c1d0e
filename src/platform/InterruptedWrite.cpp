#include "InterruptedWrite.h"

#include "FileOps.h"

#include <QCryptographicHash>

#include <sys/stat.h>

namespace kaz {
namespace {

QByteArray sha256(QByteArrayView bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

void ReplacedBytes::hashNew(QByteArrayView newBytes)
{
    newLength = newBytes.size();
    const qsizetype head = qMin(newBytes.size(), oldBytes.size());
    newHeadHash = sha256(newBytes.first(head));
    newRestHash = newBytes.size() > head ? sha256(newBytes.sliced(head)) : QByteArray();
}

WriteLeft whatTheWriteLeft(int fd, const ReplacedBytes &r)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return WriteLeft::SomethingElse;
    const qint64 oldLength = r.oldBytes.size();
    const qint64 longer = qMax(oldLength, r.newLength);
    // From the offset on: the file's bytes as far as either end reaches.
    const qint64 length = r.reachesEnd ? qint64(st.st_size) - r.offset : longer;
    if (length < qMin(oldLength, r.newLength) || length > longer)
        return WriteLeft::SomethingElse;
    const QByteArray held = preadAll(fd, r.offset, length);
    if (held.size() != length)
        return WriteLeft::SomethingElse;
    const qint64 oldEnd = r.reachesEnd ? oldLength : longer;
    if (held.size() == oldEnd && held.first(oldLength) == r.oldBytes)
        return WriteLeft::OldBytes;
    if (!r.hasHashes())
        return WriteLeft::SomethingElse;
    const qsizetype head = qsizetype(qMin(oldLength, r.newLength));
    const bool newHead = sha256(QByteArrayView(held).first(head)) == r.newHeadHash;
    const bool oldHead = QByteArrayView(held).first(head) == QByteArrayView(r.oldBytes).first(head);
    const QByteArrayView rest = QByteArrayView(held).sliced(head);
    if (r.newLength <= oldLength) {
        // The new bytes, followed by the old ones' rest until the file is cut.
        return newHead && (rest.isEmpty() || rest == QByteArrayView(r.oldBytes).sliced(head)) ? WriteLeft::Interrupted
                                                                                               : WriteLeft::SomethingElse;
    }
    // Longer new bytes: new whole, or the old put back over their start and
    // the file not yet cut.
    if (rest.size() == r.newLength - head && (newHead || oldHead) && sha256(rest) == r.newRestHash)
        return WriteLeft::Interrupted;
    return WriteLeft::SomethingElse;
}

} // namespace kaz
