#include "HugePages.h"

#include <cstdint>

#include <sys/mman.h>

void AdviseHugePages(void* bytes, std::size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr std::size_t worthAdvising = std::size_t(4) << 20;
    constexpr std::uintptr_t hugePage = std::uintptr_t(2) << 20;
    if (size < worthAdvising)
        return;
    // The range's edges may share pages with other memory: advise only whole pages inside.
    auto begin = (reinterpret_cast<std::uintptr_t>(bytes) + hugePage - 1) & ~(hugePage - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(bytes) + size) & ~(hugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)bytes;
    (void)size;
#endif
}
