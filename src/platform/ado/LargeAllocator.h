// Memory for the data layer's large arrays, placed on huge pages where the system offers them.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace ado::detail {

/// Allocations of at least this size are made in whole huge pages.
inline constexpr std::size_t kLargeAllocation = std::size_t(256) << 10;
/// The huge page size the large allocations are aligned and rounded to.
inline constexpr std::size_t kHugePage = std::size_t(2) << 20;

/// `bytes` of memory; from kLargeAllocation on, in whole huge pages with the huge-page hint
/// (without it the memory works the same). Throws std::bad_alloc.
void* allocateLarge(std::size_t bytes);
/// Frees what allocateLarge gave for the same `bytes`.
void freeLarge(void* p, std::size_t bytes) noexcept;

/// A standard allocator over allocateLarge. First touching memory costs a page fault per
/// page, and on some machines (virtual ones above all) each fault is dear: a 100,000-row file
/// needs several megabytes of row lists, keys and orders, which on ordinary pages cost more
/// than sorting them.
template <class T>
class LargeAllocator
{
public:
    using value_type = T;

    LargeAllocator() noexcept = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(allocateLarge(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { freeLarge(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept
    {
        return true;
    }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

/// Bytes appended back to back in large memory (a vector of char with its own allocator would
/// copy them one at a time).
class LargeBytes
{
public:
    LargeBytes() noexcept = default;
    LargeBytes(LargeBytes&& other) noexcept;
    LargeBytes& operator=(LargeBytes&& other) noexcept;
    ~LargeBytes();

    const char* data() const noexcept { return m_data; }
    char* data() noexcept { return m_data; }
    std::size_t size() const noexcept { return m_size; }
    void reserve(std::size_t bytes);
    /// Appends `n` bytes from `p` (nullptr: left to the caller to fill) and returns where they
    /// start.
    char* append(const char* p, std::size_t n);
    /// Drops the bytes from `n` on.
    void truncate(std::size_t n) noexcept;

private:
    char* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
};

} // namespace ado::detail
