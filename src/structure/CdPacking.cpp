#include "CdPacking.h"

#include <algorithm>
#include <map>

namespace kaz {
namespace {

// Counts, for every element, the elements before it that are strictly larger.
std::vector<int> largerBefore(const std::vector<qint64> &sizes)
{
    std::vector<qint64> sorted = sizes;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    const int m = int(sorted.size());
    std::vector<int> tree(size_t(m) + 1, 0);
    std::vector<int> result(sizes.size());
    int seen = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const int rank = int(std::lower_bound(sorted.begin(), sorted.end(), sizes[i]) - sorted.begin()) + 1;
        int notLarger = 0;
        for (int r = rank; r > 0; r -= r & -r)
            notLarger += tree[size_t(r)];
        result[i] = seen - notLarger;
        for (int r = rank; r <= m; r += r & -r)
            ++tree[size_t(r)];
        ++seen;
    }
    return result;
}

void rotateLeft(std::vector<int> &order, long long steps)
{
    if (order.size() > 1)
        std::rotate(order.begin(), order.begin() + long(steps % (long long)order.size()), order.end());
}

} // namespace

// In pass p (from 1) an element joins the front block of its size (the
// equal elements with nothing larger before them) once the larger elements
// before it have all passed it, one per pass: when p - 1 equals their count.
// The first element of the block is then carried to the block's end. The
// others keep their order.
std::vector<int> packingOrder(const std::vector<qint64> &sizes)
{
    const long long n = (long long)sizes.size();
    const std::vector<int> larger = largerBefore(sizes);
    std::map<qint64, std::vector<int>> classes;
    for (int i = 0; i < int(sizes.size()); ++i)
        classes[sizes[size_t(i)]].push_back(i);
    std::vector<int> result;
    result.reserve(sizes.size());
    for (auto &[size, members] : classes) {
        std::stable_sort(members.begin(), members.end(),
                         [&](int a, int b) { return larger[size_t(a)] < larger[size_t(b)]; });
        std::vector<int> block;
        long long nextPass = 1;
        for (size_t i = 0; i < members.size();) {
            const long long joinPass = larger[size_t(members[i])] + 1;
            rotateLeft(block, joinPass - nextPass);
            for (; i < members.size() && larger[size_t(members[i])] + 1 == joinPass; ++i)
                block.push_back(members[i]);
            rotateLeft(block, 1);
            nextPass = joinPass + 1;
        }
        rotateLeft(block, n - nextPass + 1);
        result.insert(result.end(), block.begin(), block.end());
    }
    return result;
}

} // namespace kaz
