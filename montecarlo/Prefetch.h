// A hint to the processor that some memory is wanted soon, for the year loop's records of a large
// network, which leave the caches between their uses.
#pragma once

#include <cstddef>

namespace korvane {

// Asks for the cache lines of the `bytes` at `p`; changes nothing else.
inline void Prefetch(const void* p, std::size_t bytes)
{
#if defined(__GNUC__)
    for (std::size_t i = 0; i < bytes; i += 64)
        __builtin_prefetch(static_cast<const char*>(p) + i);
#else
    (void)p;
    (void)bytes;
#endif
}

}  // namespace korvane
