#pragma once

// Counts heap allocations through operator new. Linking AllocationCounter.cpp replaces the
// global operator new and delete of the whole test program, so it goes into programs of its own.

namespace veltrano::test
{

// Allocations counted since the program started.
long allocationCount() noexcept;

// Counts the allocations made while it lives.
class AllocationScope
{
public:
    AllocationScope() noexcept
        : start(allocationCount())
    {
    }
    long count() const noexcept { return allocationCount() - start; }

private:
    long start;
};

} // namespace veltrano::test
