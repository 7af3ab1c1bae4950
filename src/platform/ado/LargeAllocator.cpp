#include "platform/ado/LargeAllocator.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace ado::detail {

void* allocateLarge(std::size_t bytes)
{
    if (bytes < kLargeAllocation) {
        return ::operator new(bytes);
    }
    // Mapped directly rather than through malloc, which serves large blocks from its heap
    // once some have been freed, where pages already faulted in singly stay single pages.
    const std::size_t size = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* mapped = ::mmap(nullptr, size + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) {
        throw std::bad_alloc();
    }
    // Only whole aligned huge pages can be huge: trim the mapping to an aligned start.
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    const std::uintptr_t head = aligned - start;
    if (head > 0) {
        ::munmap(mapped, head);
    }
    ::munmap(reinterpret_cast<void*>(aligned + size), kHugePage - head);
    void* p = reinterpret_cast<void*>(aligned);
    ::madvise(p, size, MADV_HUGEPAGE); // a hint: refused, the memory is ordinary pages
    return p;
}

void freeLarge(void* p, std::size_t bytes) noexcept
{
    if (bytes < kLargeAllocation) {
        ::operator delete(p);
    } else if (p != nullptr) {
        ::munmap(p, (bytes + kHugePage - 1) / kHugePage * kHugePage);
    }
}

LargeBytes::LargeBytes(LargeBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_capacity(std::exchange(other.m_capacity, 0))
{
}

LargeBytes& LargeBytes::operator=(LargeBytes&& other) noexcept
{
    if (this != &other) {
        freeLarge(m_data, m_capacity);
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
    }
    return *this;
}

LargeBytes::~LargeBytes()
{
    freeLarge(m_data, m_capacity);
}

void LargeBytes::reserve(std::size_t bytes)
{
    if (bytes <= m_capacity) {
        return;
    }
    char* grown = static_cast<char*>(allocateLarge(bytes));
    if (m_size > 0) {
        std::memcpy(grown, m_data, m_size);
    }
    freeLarge(m_data, m_capacity);
    m_data = grown;
    m_capacity = bytes;
}

char* LargeBytes::append(const char* p, std::size_t n)
{
    if (n > m_capacity - m_size) {
        reserve(std::max(m_size + n, m_capacity * 2));
    }
    char* at = m_data + m_size;
    if (p != nullptr && n > 0) {
        std::memcpy(at, p, n);
    }
    m_size += n;
    return at;
}

void LargeBytes::truncate(std::size_t n) noexcept
{
    m_size = std::min(m_size, n);
}

} // namespace ado::detail
