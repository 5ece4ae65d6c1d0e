#include "RecordOrder.h"

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <utility>
#include <vector>

namespace kaz {
namespace {

QList<int> identity(qsizetype n)
{
    QList<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    return order;
}

// The double loop on packed keys: "exchange when swaps(key of i, key of j)".
// Position i's value travels along the inner loop in a register; every
// exchange leaves it at j and picks up j's value.
template <typename Swaps>
QList<int> doubleLoop(std::vector<std::uint64_t> keys, Swaps swaps)
{
    const std::size_t n = keys.size();
    std::vector<int> ids(n);
    std::iota(ids.begin(), ids.end(), 0);
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t carried = keys[i];
        int carriedId = ids[i];
        const auto step = [&](std::size_t j) {
            const std::uint64_t other = keys[j];
            const int otherId = ids[j];
            const bool exchange = swaps(carried, other);
            keys[j] = exchange ? carried : other;
            ids[j] = exchange ? carriedId : otherId;
            carried = exchange ? other : carried;
            carriedId = exchange ? otherId : carriedId;
        };
        for (std::size_t j = 0; j < i; ++j)
            step(j);
        for (std::size_t j = i + 1; j < n; ++j)
            step(j);
        keys[i] = carried;
        ids[i] = carriedId;
    }
    return QList<int>(ids.begin(), ids.end());
}

// Ranks that compare like the texts: equal texts share a rank.
std::vector<std::uint64_t> ranks(const QStringList &texts)
{
    std::vector<int> sorted(texts.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::sort(sorted.begin(), sorted.end(), [&](int a, int b) { return texts[a] < texts[b]; });
    std::vector<std::uint64_t> rank(texts.size());
    std::uint64_t r = 0;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        if (k > 0 && texts[sorted[k - 1]] != texts[sorted[k]])
            ++r;
        rank[sorted[k]] = r;
    }
    return rank;
}

} // namespace

QList<int> literalRecordOrder(const QList<RecordKey> &input)
{
    QList<RecordKey> keys = input;
    QList<int> order = identity(keys.size());
    for (qsizetype i = 0; i < keys.size(); ++i) {
        for (qsizetype j = 0; j < keys.size(); ++j) {
            if (keys[i].positions <= keys[j].positions && keys[i].length <= keys[j].length) {
                std::swap(keys[i], keys[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

QList<int> recordOrder(const QList<RecordKey> &input)
{
    // Two 31-bit fields with a guard bit above each: y - x keeps a field's
    // guard bit exactly when that field of y is not smaller than x's.
    constexpr std::uint64_t guards = 0x8000000080000000ULL;
    std::vector<std::uint64_t> keys;
    keys.reserve(input.size());
    for (const RecordKey &k : input)
        keys.push_back((std::uint64_t(std::uint32_t(k.positions) & 0x7fffffffU) << 32)
                       | (std::uint32_t(k.length) & 0x7fffffffU));
    return doubleLoop(std::move(keys), [](std::uint64_t x, std::uint64_t y) {
        return (((y | guards) - x) & guards) == guards;
    });
}

QList<int> literalTextOrder(const QStringList &input, bool descending)
{
    QStringList texts = input;
    QList<int> order = identity(texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        for (qsizetype j = 0; j < texts.size(); ++j) {
            const int c = QString::compare(texts[i], texts[j], Qt::CaseSensitive);
            if (descending ? c > 0 : c < 0) {
                std::swap(texts[i], texts[j]);
                std::swap(order[i], order[j]);
            }
        }
    }
    return order;
}

QList<int> textOrder(const QStringList &texts, bool descending)
{
    if (descending)
        return doubleLoop(ranks(texts), [](std::uint64_t x, std::uint64_t y) { return x > y; });
    return doubleLoop(ranks(texts), [](std::uint64_t x, std::uint64_t y) { return x < y; });
}

QList<int> numberOrder(const QList<int> &numbers)
{
    std::vector<std::uint64_t> keys;
    keys.reserve(numbers.size());
    for (int n : numbers)
        keys.push_back(std::uint64_t(std::int64_t(n) + (std::int64_t(1) << 32)));
    return doubleLoop(std::move(keys), [](std::uint64_t x, std::uint64_t y) { return x < y; });
}

} // namespace kaz
