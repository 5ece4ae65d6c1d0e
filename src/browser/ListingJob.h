#pragma once

#include "FileListing.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <thread>

namespace kaz {

// What a file list shows: the folder with the mask, the tag filter and the
// order of the list.
struct ListingRequest {
    QString folder;
    MaskState mask = MaskState::Mp3;
    TagFilter filter = TagFilter::All;
    bool useId3v2 = false;
    bool letterSorted = false;
};

// Lists a folder as listFolderFiles does, letter sort included, on a thread
// of its own, so that the thread that asked stays free to draw and to
// answer. That thread takes the names found so far, in the list's order,
// whenever it likes. The tags are read as "kaz-cli tag show" reads them.
// Destroying the job cancels it and waits for its thread.
class ListingJob
{
public:
    explicit ListingJob(ListingRequest request);
    ~ListingJob();
    ListingJob(const ListingJob &) = delete;
    ListingJob &operator=(const ListingJob &) = delete;

    const ListingRequest &request() const { return m_request; }
    // Stops soon; what was found stays to be taken, and the job finishes.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }
    // The names found since the last call, in the list's order.
    QStringList takeFound();
    // Files whose tags were read, of how many (0 of 0 without a filter and
    // while the folder is still being listed).
    qint64 position() const { return m_position; }
    qint64 total() const { return m_total; }
    // True once the thread is done: nothing more will be found.
    bool finished() const { return m_finished; }

private:
    void run();
    void hand(QStringList &names);

    const ListingRequest m_request;
    std::atomic<bool> m_cancelled{false};
    std::atomic<bool> m_finished{false};
    std::atomic<qint64> m_position{0};
    std::atomic<qint64> m_total{0};
    std::mutex m_mutex;
    QStringList m_found; // guarded by m_mutex
    std::thread m_thread;
};

} // namespace kaz
