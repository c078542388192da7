#include "plot/arrays.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace vorsel::plot {

void* zeroed_block(std::size_t n, std::size_t size) {
    void* p = std::calloc(n, size);
    if (!p) throw std::bad_alloc();
    // Beyond a few huge pages, fewer and larger pages cut the page faults of
    // the first pass by hundreds; the hint is only a hint.
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    if (n * size >= 4 * kHugePage) {
        const auto start = (reinterpret_cast<std::uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
        const auto end = (reinterpret_cast<std::uintptr_t>(p) + n * size) & ~(kHugePage - 1);
        if (end > start) ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
    return p;
}

}  // namespace vorsel::plot
