// A least-recently-used memo of fixed-width patterns (the simulation's flow and recloser caches),
// found by a hash look-up instead of a walk along the list.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

// Each entry holds a key of keyWidth Keys and valueWidth Values. When the cache holds its
// capacity, the least recently used entry is reused. Keys are compared bitwise. The index is an
// open-addressing table made by Reset; a hit and a reuse allocate nothing, and a new entry only
// grows the entries' storage (amortised).
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
        m_hashes.clear();
        m_prev.clear();
        m_next.clear();
        // At most half full, so that probes stay short.
        m_slots.assign(std::bit_ceil(2 * m_capacity), kNone);
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
    const Value* Find(const Key* key, std::uint64_t hash)
    {
        for (std::size_t slot = hash & m_mask;; slot = (slot + 1) & m_mask) {
            const std::uint32_t entry = m_slots[slot];
            if (entry == kNone)
                return nullptr;
            if (m_hashes[entry] == hash && SameKey(KeyOf(entry), key)) {
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
            entry = static_cast<std::uint32_t>(m_size++);
            m_keys.resize(m_size * m_keyWidth);
            m_values.resize(m_size * m_valueWidth);
            m_hashes.push_back(hash);
            m_prev.push_back(kNone);
            m_next.push_back(kNone);
        } else {
            entry = m_tail;
            Unlink(entry);
            RemoveSlot(entry);
        }
        m_hashes[entry] = hash;
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

private:
    static constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

    // Bit for bit, as the key was stored.
    bool SameKey(const Key* a, const Key* b) const
    {
        return m_keyWidth == 0 || std::memcmp(a, b, m_keyWidth * sizeof(Key)) == 0;
    }
    Key* KeyOf(std::uint32_t entry) { return m_keys.data() + std::size_t{entry} * m_keyWidth; }
    Value* ValuesOf(std::uint32_t entry) { return m_values.data() + std::size_t{entry} * m_valueWidth; }

    // Linear probing's deletion: later members of the probe run move back into the hole, so no
    // search ever stops early at it.
    void RemoveSlot(std::uint32_t entry)
    {
        std::size_t hole = m_hashes[entry] & m_mask;
        while (m_slots[hole] != entry)
            hole = (hole + 1) & m_mask;
        for (std::size_t slot = (hole + 1) & m_mask; m_slots[slot] != kNone; slot = (slot + 1) & m_mask) {
            const std::size_t home = m_hashes[m_slots[slot]] & m_mask;
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
        const std::uint32_t prev = m_prev[entry];
        const std::uint32_t next = m_next[entry];
        (prev == kNone ? m_head : m_next[prev]) = next;
        (next == kNone ? m_tail : m_prev[next]) = prev;
        m_prev[entry] = m_next[entry] = kNone;
    }

    void LinkFront(std::uint32_t entry)
    {
        m_prev[entry] = kNone;
        m_next[entry] = m_head;
        if (m_head != kNone)
            m_prev[m_head] = entry;
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
    std::vector<std::uint64_t> m_hashes;
    std::vector<std::uint32_t> m_prev;
    std::vector<std::uint32_t> m_next;
    std::vector<std::uint32_t> m_slots;  // entry per slot, kNone when empty
    std::size_t m_mask = 0;
};
