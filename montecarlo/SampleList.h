// Numbers in arrival order, kept in blocks of one size: the kept samples of a long run's
// histograms, most of its memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The list grows without moving what it holds and leaves at most one block partly unused; as every
// block has one size, a freed block fits any list's next one, so thousands of growing lists leave
// no holes between them.
class CSampleList {
public:
    void PushBack(double value)
    {
        if (m_size % kBlock == 0)
            m_blocks.emplace_back().reserve(kBlock);
        m_blocks.back().push_back(value);
        ++m_size;
    }
    // As `count` calls of PushBack(value).
    void Append(std::uint64_t count, double value)
    {
        for (; count > 0; --count)
            PushBack(value);
    }

    std::size_t GetSize() const { return m_size; }
    double operator[](std::size_t i) const { return m_blocks[i / kBlock][i % kBlock]; }

private:
    static constexpr std::size_t kBlock = 512;  // 4 kB
    std::vector<std::vector<double>> m_blocks;
    std::size_t m_size = 0;
};
