#include "ListingJob.h"

#include <QDir>

#include <utility>

namespace kaz {

ListingJob::ListingJob(ListingRequest request)
    : m_request(std::move(request))
{
    m_thread = std::thread([this] { run(); });
}

ListingJob::~ListingJob()
{
    cancel();
    m_thread.join();
}

QStringList ListingJob::takeFound()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_found, {});
}

void ListingJob::hand(QStringList &names)
{
    if (names.isEmpty())
        return;
    const std::lock_guard lock(m_mutex);
    if (m_found.isEmpty())
        m_found.swap(names);
    else
        m_found.append(names);
    names.clear();
}

void ListingJob::run()
{
    const ListingRequest &r = m_request;
    QStringList names = listMaskedNames(r.folder, r.mask);
    if (r.letterSorted && !m_cancelled)
        letterSort(names);
    if (r.mask != MaskState::Mp3 || r.filter == TagFilter::All || m_cancelled) {
        if (!m_cancelled)
            hand(names);
        m_finished = true;
        return;
    }
    // The filter keeps the order, so what passes can be shown at once.
    m_total = names.size();
    const QString prefix = QDir(r.folder).absolutePath() + QLatin1Char('/');
    QStringList kept;
    for (qsizetype i = 0; i < names.size() && !m_cancelled; ++i) {
        if (passesTagFilter(prefix + names.at(i), r.filter, r.useId3v2))
            kept.append(names.at(i));
        m_position = i + 1;
        if (kept.size() >= 256 || (i % 1024 == 1023))
            hand(kept);
    }
    hand(kept);
    m_finished = true;
}

} // namespace kaz
