// Makes large allocations fail on purpose, so that tests can check what a failed allocation leaves.
#pragma once

#include <cstddef>

namespace testalloc {

// While one lives, every allocation by operator new of at least `bytes` on this thread fails (with
// std::bad_alloc, or null for the nothrow forms). Where a sanitizer owns the allocator nothing
// fails: tests ask Works() first.
class CAllocationFailure {
public:
    explicit CAllocationFailure(std::size_t bytes);
    ~CAllocationFailure();
    CAllocationFailure(const CAllocationFailure&) = delete;
    CAllocationFailure& operator=(const CAllocationFailure&) = delete;

    static bool Works();
    // The allocations failed since this one was made.
    int GetFailures() const;

private:
    std::size_t m_previousBytes;
    int m_failuresBefore;
};

}  // namespace testalloc
