#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>

#include "montecarlo/PatternCache.h"

// Against a plain least-recently-used list. Keys of two values, some differing only in their first
// value and some only in their second, share few hashes, so that entries leave the middle of long
// probe runs and keys of one hash must never answer for each other.
TEST(PatternCache, BehavesAsALeastRecentlyUsedList)
{
    for (const std::size_t capacity : {1u, 2u, 5u, 64u}) {
        CPatternCache<double, double> cache;
        cache.Reset(2, 2, capacity);
        std::list<int> order;  // most recent first
        std::mt19937 random(static_cast<unsigned>(capacity));
        for (int i = 0; i < 20000; ++i) {
            const int k = std::uniform_int_distribution<int>(0, static_cast<int>(3 * capacity))(random);
            const double key[] = {static_cast<double>(k / 4), static_cast<double>(k % 4)};
            const std::uint64_t hash = 1 + static_cast<std::uint64_t>(k) % 3;
            const auto listed = std::find(order.begin(), order.end(), k);
            const double* found = cache.Find(key, hash);
            ASSERT_EQ(found != nullptr, listed != order.end()) << k;
            if (found != nullptr) {
                ASSERT_EQ(found[0], k);
                ASSERT_EQ(found[1], -k);
                order.erase(listed);
            } else {
                double* values = cache.Insert(key, hash);
                values[0] = k;
                values[1] = -k;
                if (order.size() == capacity)
                    order.pop_back();
            }
            order.push_front(k);
            ASSERT_EQ(cache.GetSize(), order.size());
        }
    }
}
