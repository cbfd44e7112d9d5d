// The uniform generator of a run: a Lehmer minimal standard generator restarted at 1 by every
// run, so that the same network always gives the same results.
#pragma once

#include <cstdint>

class CRandom {
public:
    void Init() { m_state = 1; }

    // A number strictly between 0 and 1.
    double Next()
    {
        m_state = static_cast<std::uint32_t>((std::uint64_t{m_state} * 16807u) % 2147483647u);
        return m_state / 2147483647.0;
    }

    void Free() {}

    std::uint32_t GetState() const { return m_state; }

private:
    std::uint32_t m_state = 1;
};
