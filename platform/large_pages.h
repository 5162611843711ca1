#pragma once
// An allocator for large arrays that are swept over and over (the levels of the finite-difference
// steps): blocks of kLargeBlock bytes and more are aligned to 2 MB and the system is asked to back
// them with large pages where it can, which spares the processor most of its address-translation
// misses when many threads stream through tens of megabytes. Smaller blocks, and systems that
// have no such pages, get ordinary memory; the contents are the same either way.

#include <cstddef>
#include <new>

namespace velk {

namespace large_pages {

inline constexpr std::size_t kLargeBlock = std::size_t{4} << 20;

// Memory for `bytes` bytes (bytes >= kLargeBlock), or nullptr.
void* Allocate(std::size_t bytes);
void Free(void* p);

}  // namespace large_pages

template <class T>
struct LargePageAllocator {
    using value_type = T;

    LargePageAllocator() = default;
    template <class U>
    LargePageAllocator(const LargePageAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        const std::size_t bytes = n * sizeof(T);
        if (bytes < large_pages::kLargeBlock) {
            return static_cast<T*>(::operator new(bytes));
        }
        void* p = large_pages::Allocate(bytes);
        if (p == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) < large_pages::kLargeBlock) {
            ::operator delete(p);
        } else {
            large_pages::Free(p);
        }
    }

    template <class U>
    bool operator==(const LargePageAllocator<U>&) const noexcept
    {
        return true;
    }
};

}  // namespace velk
