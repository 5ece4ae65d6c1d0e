#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>
#include <optional>

namespace kaz {

// The journal of a batch of writes in the program folder, named prefix, the
// process id, a counter and ".kaz": created exclusively, locked while its
// writer lives (a lock that recovery cannot take means the write is still
// going on), written whole and flushed before any file is touched.
class JournalFile
{
public:
    // faultStep: the kill tests' step, passed between writing and flushing.
    JournalFile(const char *prefix, const char *faultStep);
    ~JournalFile(); // closes; the journal stays unless it was removed
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

    // 0 or the system's error; after an error no journal is left.
    int create(const QByteArray &contents);
    void remove();

private:
    const char *m_prefix;
    const char *m_faultStep;
    QByteArray m_path;
    int m_fd = -1;
};

// Hands the contents of every journal of prefix whose writer no longer runs
// (anything larger than maxSize is not one of ours) to replay, and removes
// the journal when replay says it is done with it.
void replayLeftoverJournals(const char *prefix, qint64 maxSize, const std::function<bool(const QByteArray &)> &replay);

// An entry seals its bytes with a SHA-256 over them, so that one cut off by a
// kill is recognised: bytes, the hash in hex, a line end.
QByteArray sealJournalEntry(QByteArray bytes);
// Whether the seal of bytes.first(at) follows at at.
bool journalSealAt(QByteArrayView bytes, qsizetype at);
constexpr qsizetype kJournalSealSize = 65;
// The count fields after the magic of an entry's header line as numbers that
// are not negative.
bool journalNumbers(const QList<QByteArray> &fields, qint64 *numbers, int count);

// A journal of a batch: magic with the number of entries, a line end, then
// the entries.
template<class Entry>
QByteArray renderJournalBatch(QByteArrayView magic, const QList<Entry> &entries)
{
    QByteArray bytes = magic.toByteArray() + QByteArray::number(entries.size()) + '\n';
    for (const Entry &entry : entries)
        bytes += entry.render();
    return bytes;
}

// Where the entries of a batch begin and how many there are.
std::optional<std::pair<qsizetype, qint64>> journalBatchStart(QByteArrayView magic, QByteArrayView bytes);

// Every entry whole and nothing after the last: anything else is a journal
// cut off before its flush, when no file had been touched yet, and gives
// nothing.
template<class Entry>
std::optional<QList<Entry>> parseJournalBatch(QByteArrayView magic, QByteArrayView bytes)
{
    const auto start = journalBatchStart(magic, bytes);
    if (!start)
        return std::nullopt;
    QList<Entry> entries;
    qsizetype at = start->first;
    for (qint64 i = 0; i < start->second; ++i) {
        qsizetype length = 0;
        std::optional<Entry> entry = Entry::parseFirst(bytes.sliced(at), &length);
        if (!entry)
            return std::nullopt;
        entries.append(std::move(*entry));
        at += length;
    }
    if (at != bytes.size())
        return std::nullopt;
    return entries;
}

} // namespace kaz
