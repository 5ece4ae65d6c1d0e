#include "LargeRunHeap.h"

#include <cstdint>
#include <cstdlib>

#if defined(__GLIBC__)
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace kaz {

void prepareHeapForLargeRun()
{
#if defined(__GLIBC__)
    constexpr int kStep = 64 << 20; // the memory of a run over 100,000 files and more
    constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;
    mallopt(M_TOP_PAD, kStep);
    mallopt(M_MMAP_THRESHOLD, kStep);
    mallopt(M_TRIM_THRESHOLD, 4 * kStep);
    // The next growth maps a whole step, and the whole huge pages in it are
    // marked (a later step is not: the kernel maps it apart).
    void *probe = std::malloc(1 << 20);
    const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(probe) + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0)) & ~(kHugePage - 1);
    if (probe && end > start)
        madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
    std::free(probe);
#endif
}

} // namespace kaz
