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
        return Uniform(m_state);
    }

    // Moves on as `count` calls of Next would.
    void Discard(std::uint64_t count) { m_state = Advance(m_state, count); }

    // The state `count` calls of Next after `state`, in O(log count) steps: the state is
    // multiplied by 16807^count, all modulo 2^31 - 1.
    static std::uint32_t Advance(std::uint32_t state, std::uint64_t count)
    {
        std::uint64_t factor = 16807u;
        std::uint64_t result = state;
        for (; count != 0; count >>= 1) {
            if ((count & 1u) != 0)
                result = result * factor % 2147483647u;
            factor = factor * factor % 2147483647u;
        }
        return static_cast<std::uint32_t>(result);
    }

    // What Next returns when it leaves the generator at `state`.
    static double Uniform(std::uint32_t state) { return state / 2147483647.0; }

    std::uint32_t GetState() const { return m_state; }

private:
    std::uint32_t m_state = 1;
};
