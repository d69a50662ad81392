#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<long> allocations{0};

void* counted(std::size_t size) noexcept
{
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* countedOrThrow(std::size_t size)
{
    if (void* p = counted(size))
        return p;
    throw std::bad_alloc();
}
} // namespace

long veltrano::test::allocationCount() noexcept
{
    return allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    return countedOrThrow(size);
}
void* operator new[](std::size_t size)
{
    return countedOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return counted(size);
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete[](void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}
