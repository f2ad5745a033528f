#pragma once

#include <cstdint>

// Counts the heap allocations the calling thread makes while a scope is
// open (engine blocks come from the same heap, so they count too).
class AllocationScope
{
public:
    AllocationScope();
    ~AllocationScope();
    AllocationScope(const AllocationScope&) = delete;
    AllocationScope& operator=(const AllocationScope&) = delete;

    int64_t count() const;

private:
    int64_t m_start;
};
