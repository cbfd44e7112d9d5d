#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <random>

#include "montecarlo/PatternCache.h"

namespace {

using Cache = CPatternCache<double, double>;

double* Put(Cache& cache, std::vector<double> key, double value, std::uint64_t hash = 0)
{
    if (hash == 0)
        hash = Cache::Hash(key.data(), key.size());
    double* values = cache.Insert(key.data(), hash);
    values[0] = value;
    values[1] = -value;
    return values;
}

const double* Get(Cache& cache, std::vector<double> key, std::uint64_t hash = 0)
{
    if (hash == 0)
        hash = Cache::Hash(key.data(), key.size());
    return cache.Find(key.data(), hash);
}

}  // namespace

TEST(PatternCache, ReusesTheLeastRecentlyUsedEntryWhenFull)
{
    Cache cache;
    cache.Reset(3, 2, 2);
    Put(cache, {1, 0, 0}, 10);
    Put(cache, {2, 0, 0}, 20);
    ASSERT_NE(Get(cache, {1, 0, 0}), nullptr);  // 1 is now the most recent
    Put(cache, {3, 0, 0}, 30);                   // so 2 gives way
    EXPECT_EQ(cache.GetSize(), 2u);
    EXPECT_EQ(Get(cache, {2, 0, 0}), nullptr);
    ASSERT_NE(Get(cache, {1, 0, 0}), nullptr);
    EXPECT_EQ(Get(cache, {1, 0, 0})[0], 10);
    EXPECT_EQ(Get(cache, {1, 0, 0})[1], -10);
    ASSERT_NE(Get(cache, {3, 0, 0}), nullptr);
    EXPECT_EQ(Get(cache, {3, 0, 0})[0], 30);
    EXPECT_EQ(Get(cache, {0, 0, 3}), nullptr);
}

TEST(PatternCache, KeysWithOneHashNeverAnswerForEachOther)
{
    Cache cache;
    cache.Reset(2, 2, 8);
    Put(cache, {1, 2}, 12, 42);
    EXPECT_EQ(Get(cache, {2, 1}, 42), nullptr);
    Put(cache, {2, 1}, 21, 42);
    ASSERT_NE(Get(cache, {1, 2}, 42), nullptr);
    EXPECT_EQ(Get(cache, {1, 2}, 42)[0], 12);
    ASSERT_NE(Get(cache, {2, 1}, 42), nullptr);
    EXPECT_EQ(Get(cache, {2, 1}, 42)[0], 21);
    EXPECT_EQ(cache.GetSize(), 2u);
}

// Against a plain least-recently-used list, with hashes that collide often so that entries
// leave the middle of long probe runs.
TEST(PatternCache, BehavesAsALeastRecentlyUsedList)
{
    for (const std::size_t capacity : {1u, 2u, 5u, 64u}) {
        Cache cache;
        cache.Reset(1, 2, capacity);
        std::list<double> order;  // most recent first
        std::mt19937 random(static_cast<unsigned>(capacity));
        for (int i = 0; i < 20000; ++i) {
            const double key = std::uniform_int_distribution<int>(0, static_cast<int>(3 * capacity))(random);
            const std::uint64_t hash = 1 + static_cast<std::uint64_t>(key) % 5;
            const auto listed = std::find(order.begin(), order.end(), key);
            const double* found = Get(cache, {key}, hash);
            ASSERT_EQ(found != nullptr, listed != order.end()) << key;
            if (found != nullptr) {
                ASSERT_EQ(found[0], key);
                order.erase(listed);
            } else {
                Put(cache, {key}, key, hash);
                if (order.size() == capacity)
                    order.pop_back();
            }
            order.push_front(key);
            ASSERT_EQ(cache.GetSize(), order.size());
        }
    }
}

TEST(PatternCache, StaysWithinItsCapacityUnderManyPatterns)
{
    Cache cache;
    cache.Reset(4, 2, 100);
    for (int i = 0; i < 10000; ++i) {
        const double k = i % 250;
        if (Get(cache, {k, k + 1, k * 2, 7}) == nullptr)
            Put(cache, {k, k + 1, k * 2, 7}, k);
        ASSERT_LE(cache.GetSize(), 100u);
        ASSERT_EQ(Get(cache, {k, k + 1, k * 2, 7})[0], k);
    }
}
