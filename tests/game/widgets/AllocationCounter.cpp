// Replaces the global allocation functions of this test binary with
// counting ones; counting is switched on per thread by AllocationScope.
#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {

thread_local int32_t t_depth = 0;
thread_local int64_t t_allocations = 0;

void* allocate(std::size_t size)
{
    if (t_depth > 0) ++t_allocations;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

} // namespace

void* operator new(std::size_t size)
{
    return allocate(size);
}

void* operator new[](std::size_t size)
{
    return allocate(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (t_depth > 0) ++t_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    if (t_depth > 0) ++t_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

AllocationScope::AllocationScope() : m_start(t_allocations)
{
    ++t_depth;
}

AllocationScope::~AllocationScope()
{
    --t_depth;
}

int64_t AllocationScope::count() const
{
    return t_allocations - m_start;
}
