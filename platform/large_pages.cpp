#include "platform/large_pages.h"

#include <cstdlib>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace velk::large_pages {

namespace {
constexpr std::size_t kPageAlign = std::size_t{2} << 20;
}

void* Allocate(std::size_t bytes)
{
    const std::size_t rounded = (bytes + kPageAlign - 1) / kPageAlign * kPageAlign;
    if (rounded < bytes) {
        return nullptr;
    }
    void* p = std::aligned_alloc(kPageAlign, rounded);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (p != nullptr) {
        madvise(p, rounded, MADV_HUGEPAGE);  // a hint: without large pages the memory still serves
    }
#endif
    return p;
}

void Free(void* p)
{
    std::free(p);
}

}  // namespace velk::large_pages
