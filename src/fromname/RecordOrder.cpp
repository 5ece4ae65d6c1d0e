#include "RecordOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <utility>
#include <vector>

namespace kaz {
namespace {

// One inner loop over [begin, end): the carried value is exchanged with
// every value it "swaps" with. Stretches without an exchange are skipped by
// a plain search. An exchange at k hands the carried value k's value, so the
// exchanges go on exactly as long as each value swaps with the next one: that
// run is a shift by one place.
template <typename Swaps>
void innerLoop(std::uint64_t &carried, std::uint64_t *begin, std::uint64_t *end, Swaps swaps)
{
    std::uint64_t *k = begin;
    while (true) {
        // Four tests per branch: the searches decide on whole blocks.
        while (k + 4 <= end && !(swaps(carried, k[0]) | swaps(carried, k[1]) | swaps(carried, k[2]) | swaps(carried, k[3])))
            k += 4;
        while (k < end && !swaps(carried, *k))
            ++k;
        if (k == end)
            return;
        std::uint64_t *m = k;
        while (m + 5 <= end && (swaps(m[0], m[1]) & swaps(m[1], m[2]) & swaps(m[2], m[3]) & swaps(m[3], m[4])))
            m += 4;
        while (m + 1 < end && swaps(*m, *(m + 1)))
            ++m;
        const std::uint64_t last = *m;
        std::memmove(k + 1, k, std::size_t(m - k) * sizeof *k);
        *k = carried;
        carried = last;
        k = m + 1;
    }
}

// The double loop on packed values: a key in the high bits, the index of
// the entry in the low 31 bits. Position i's value travels along the inner
// loop and is put back at i at its end.
template <typename Swaps>
QList<int> doubleLoop(std::vector<std::uint64_t> values, Swaps swaps)
{
    const std::size_t n = values.size();
    std::uint64_t *v = values.data();
    for (std::size_t i = 0; i < n; ++i) {
        std::uint64_t carried = v[i];
        innerLoop(carried, v, v + i, swaps);
        innerLoop(carried, v + i + 1, v + n, swaps);
        v[i] = carried;
    }
    QList<int> order;
    order.reserve(qsizetype(n));
    for (std::uint64_t value : values)
        order << int(value & 0x7fffffffU);
    return order;
}

// Ranks that compare like the texts (equal texts share one) above the
// index of each text.
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
        rank[sorted[k]] = (r << 32) | std::uint64_t(sorted[k]);
    }
    return rank;
}

} // namespace

QList<int> recordOrder(const QList<RecordKey> &input)
{
    // Fields of 15 bits with a guard bit above each: y - x keeps a field's
    // guard bit exactly when that field of y is not smaller than x's; the
    // guard above the index keeps it from borrowing.
    constexpr std::uint64_t fieldGuards = (1ULL << 63) | (1ULL << 47);
    constexpr std::uint64_t guards = fieldGuards | (1ULL << 31);
    const auto field = [](int v) { return std::uint64_t(std::clamp(v, 0, 0x7fff)); };
    std::vector<std::uint64_t> values;
    values.reserve(input.size());
    for (qsizetype i = 0; i < input.size(); ++i)
        values.push_back((field(input[i].positions) << 48) | (field(input[i].length) << 32) | std::uint64_t(i));
    return doubleLoop(std::move(values), [](std::uint64_t x, std::uint64_t y) {
        return (((y | guards) - x) & fieldGuards) == fieldGuards;
    });
}

QList<int> textOrder(const QStringList &texts, bool descending)
{
    if (descending)
        return doubleLoop(ranks(texts), [](std::uint64_t x, std::uint64_t y) { return (x >> 32) > (y >> 32); });
    return doubleLoop(ranks(texts), [](std::uint64_t x, std::uint64_t y) { return (x >> 32) < (y >> 32); });
}

QList<int> numberOrder(const QList<int> &numbers)
{
    std::vector<std::uint64_t> values;
    values.reserve(numbers.size());
    for (qsizetype i = 0; i < numbers.size(); ++i)
        values.push_back((std::uint64_t(std::uint32_t(numbers[i]) ^ 0x80000000U) << 32) | std::uint64_t(i));
    return doubleLoop(std::move(values), [](std::uint64_t x, std::uint64_t y) { return (x >> 32) < (y >> 32); });
}

} // namespace kaz
