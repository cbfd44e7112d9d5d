// The test programs' own operator new and delete, which can fail on request; linked into both the
// core and the shell tests.
#include "tests/AllocationFailure.h"

#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define KORVANE_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define KORVANE_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace {

thread_local std::size_t t_failFrom = 0;  // 0: nothing fails
thread_local int t_failures = 0;

}  // namespace

namespace testalloc {

CAllocationFailure::CAllocationFailure(std::size_t bytes) : m_previousBytes(t_failFrom), m_failuresBefore(t_failures)
{
    t_failFrom = bytes;
}

CAllocationFailure::~CAllocationFailure()
{
    t_failFrom = m_previousBytes;
}

bool CAllocationFailure::Works()
{
#ifdef KORVANE_SANITIZER_ALLOCATOR
    return false;
#else
    return true;
#endif
}

int CAllocationFailure::GetFailures() const
{
    return t_failures - m_failuresBefore;
}

}  // namespace testalloc

// A sanitizer's own operator new checks that each block is freed the way it was allocated; with
// these in its place it could not. The array and nothrow forms call these.
#ifndef KORVANE_SANITIZER_ALLOCATOR

void* operator new(std::size_t size)
{
    if (t_failFrom != 0 && size >= t_failFrom) {
        ++t_failures;
        throw std::bad_alloc();
    }
    for (;;) {
        if (void* block = std::malloc(size == 0 ? 1 : size))
            return block;
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr)
            throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

#endif
