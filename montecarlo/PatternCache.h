// A least-recently-used memo of fixed-width patterns (the reference loop's flow and recloser
// caches, each part's switch patterns and flows), found by a hash look-up instead of a walk along
// the list.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "montecarlo/Prefetch.h"

// Each entry holds a key of keyWidth Keys and valueWidth Values. When the cache holds its
// capacity, the least recently used entry is reused. Keys are compared bitwise. The index is an
// open-addressing table that grows with the entries, so that a cache holding a few patterns stays
// a few cache lines however large its capacity; a hit and a reuse allocate nothing, and a new
// entry only grows the storage (amortised).
template <typename Key, typename Value>
class CPatternCache {
public:
    void Reset(std::size_t keyWidth, std::size_t valueWidth, std::size_t capacity)
    {
        m_keyWidth = keyWidth;
        m_valueWidth = valueWidth;
        m_capacity = std::clamp<std::size_t>(capacity, 1, kNone - 1);
        m_size = 0;
        m_head = m_tail = kNone;
        m_keys.clear();
        m_values.clear();
        m_entries.clear();
        m_slots.assign(std::min<std::size_t>(kFirstSlots, std::bit_ceil(2 * m_capacity)), kNone);
        m_mask = m_slots.size() - 1;
    }

    static std::uint64_t Hash(const Key* key, std::size_t width)
    {
        // Four independent lanes, so the multiplications do not wait for each other.
        std::uint64_t lanes[4] = {0x9E3779B97F4A7C15ull ^ width, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull,
                                  0x27D4EB2F165667C5ull};
        for (std::size_t i = 0; i < width; ++i) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &key[i], sizeof(Key) < sizeof bits ? sizeof(Key) : sizeof bits);
            std::uint64_t& h = lanes[i % 4];
            h = (h ^ bits) * 0xFF51AFD7ED558CCDull;
        }
        std::uint64_t h = lanes[0];
        for (int lane = 1; lane < 4; ++lane)
            h = (h ^ (h >> 29) ^ lanes[lane]) * 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 32);
    }

    // The values stored for `key`, now the most recently used; nullptr when it is not cached.
    Value* Find(const Key* key, std::uint64_t hash)
    {
        for (std::size_t slot = hash & m_mask;; slot = (slot + 1) & m_mask) {
            const std::uint32_t entry = m_slots[slot];
            if (entry == kNone)
                return nullptr;
            if (m_entries[entry].hash == hash && SameKey(KeyOf(entry), key)) {
                MoveToFront(entry);
                return ValuesOf(entry);
            }
        }
    }

    // Stores `key` (not cached: Find gave nullptr) as the most recently used entry and returns
    // its values for the caller to fill.
    Value* Insert(const Key* key, std::uint64_t hash)
    {
        std::uint32_t entry;
        if (m_size < m_capacity) {
            // At most half full, so that probes stay short.
            if (2 * (m_size + 1) > m_slots.size())
                GrowSlots();
            entry = static_cast<std::uint32_t>(m_size++);
            m_keys.resize(m_size * m_keyWidth);
            m_values.resize(m_size * m_valueWidth);
            m_entries.push_back({hash, kNone, kNone});
        } else {
            entry = m_tail;
            Unlink(entry);
            RemoveSlot(entry);
        }
        m_entries[entry].hash = hash;
        if (m_keyWidth != 0)  // an empty key may come as a null pointer, which memcpy must not see
            std::memcpy(KeyOf(entry), key, m_keyWidth * sizeof(Key));
        std::size_t slot = hash & m_mask;
        while (m_slots[slot] != kNone)
            slot = (slot + 1) & m_mask;
        m_slots[slot] = entry;
        LinkFront(entry);
        return ValuesOf(entry);
    }

    std::size_t GetSize() const { return m_size; }

    // Asks for the index and the entries ahead of a look-up, while they are few.
    void Prefetch() const
    {
        constexpr std::size_t kBytes = 512;
        korvane::Prefetch(m_slots.data(), std::min(kBytes, m_slots.size() * sizeof(std::uint32_t)));
        korvane::Prefetch(m_entries.data(), std::min(kBytes, m_entries.size() * sizeof(Entry)));
        korvane::Prefetch(m_keys.data(), std::min(kBytes, m_keys.size() * sizeof(Key)));
        korvane::Prefetch(m_values.data(), std::min(kBytes, m_values.size() * sizeof(Value)));
    }

private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();
    static constexpr std::size_t kFirstSlots = 16;

    // Bit for bit, as the key was stored.
    bool SameKey(const Key* a, const Key* b) const
    {
        if (m_keyWidth == 1)
            return std::memcmp(a, b, sizeof(Key)) == 0;
        return m_keyWidth == 0 || std::memcmp(a, b, m_keyWidth * sizeof(Key)) == 0;
    }

    // Twice the slots, every entry placed again from its hash (entry order, as no entry has left).
    void GrowSlots()
    {
        m_slots.assign(2 * m_slots.size(), kNone);
        m_mask = m_slots.size() - 1;
        for (std::uint32_t entry = 0; entry < m_size; ++entry) {
            std::size_t slot = m_entries[entry].hash & m_mask;
            while (m_slots[slot] != kNone)
                slot = (slot + 1) & m_mask;
            m_slots[slot] = entry;
        }
    }
    Key* KeyOf(std::uint32_t entry) { return m_keys.data() + std::size_t{entry} * m_keyWidth; }
    Value* ValuesOf(std::uint32_t entry) { return m_values.data() + std::size_t{entry} * m_valueWidth; }

    // Linear probing's deletion: later members of the probe run move back into the hole, so no
    // search ever stops early at it.
    void RemoveSlot(std::uint32_t entry)
    {
        std::size_t hole = m_entries[entry].hash & m_mask;
        while (m_slots[hole] != entry)
            hole = (hole + 1) & m_mask;
        for (std::size_t slot = (hole + 1) & m_mask; m_slots[slot] != kNone; slot = (slot + 1) & m_mask) {
            const std::size_t home = m_entries[m_slots[slot]].hash & m_mask;
            // The member may move into the hole when its home is not inside (hole, slot].
            if (((slot - home) & m_mask) >= ((slot - hole) & m_mask)) {
                m_slots[hole] = m_slots[slot];
                hole = slot;
            }
        }
        m_slots[hole] = kNone;
    }

    void Unlink(std::uint32_t entry)
    {
        Entry& e = m_entries[entry];
        (e.prev == kNone ? m_head : m_entries[e.prev].next) = e.next;
        (e.next == kNone ? m_tail : m_entries[e.next].prev) = e.prev;
        e.prev = e.next = kNone;
    }

    void LinkFront(std::uint32_t entry)
    {
        m_entries[entry].prev = kNone;
        m_entries[entry].next = m_head;
        if (m_head != kNone)
            m_entries[m_head].prev = entry;
        m_head = entry;
        if (m_tail == kNone)
            m_tail = entry;
    }

    void MoveToFront(std::uint32_t entry)
    {
        if (entry == m_head)
            return;
        Unlink(entry);
        LinkFront(entry);
    }

    std::size_t m_keyWidth = 0;
    std::size_t m_valueWidth = 0;
    std::size_t m_capacity = 1;
    std::size_t m_size = 0;
    std::uint32_t m_head = kNone;
    std::uint32_t m_tail = kNone;
    std::vector<Key> m_keys;
    std::vector<Value> m_values;
    // What a probe reads of an entry and its place in the use order, side by side.
    struct Entry {
        std::uint64_t hash;
        std::uint32_t prev;  // more recently used
        std::uint32_t next;
    };
    std::vector<Entry> m_entries;
    std::vector<std::uint32_t> m_slots;  // entry per slot, kNone when empty
    std::size_t m_mask = 0;
};
