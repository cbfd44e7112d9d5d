// The uniform generator of a run: a Lehmer minimal standard generator restarted at 1 by every
// run, so that the same network always gives the same results.
#pragma once

#include <array>
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
        std::uint64_t result = state;
        for (int bit = 0; count != 0; count >>= 1, ++bit) {
            if ((count & 1u) != 0)
                result = Reduce(result * kPowers[bit]);
        }
        return static_cast<std::uint32_t>(result);
    }

    // What Next returns when it leaves the generator at `state`.
    static double Uniform(std::uint32_t state) { return state / 2147483647.0; }

    std::uint32_t GetState() const { return m_state; }

private:
    static constexpr std::uint64_t kModulus = 2147483647u;

    // x modulo 2^31 - 1 for x below 2^62: as 2^31 is 1 modulo 2^31 - 1, the high bits fold onto the
    // low ones, without a division.
    static constexpr std::uint64_t Reduce(std::uint64_t x)
    {
        x = (x & kModulus) + (x >> 31);
        x = (x & kModulus) + (x >> 31);
        return x >= kModulus ? x - kModulus : x;
    }

    // 16807^(2^i) modulo 2^31 - 1.
    static constexpr auto kPowers = [] {
        std::array<std::uint64_t, 64> powers{};
        std::uint64_t factor = 16807u;
        for (std::uint64_t& power : powers) {
            power = factor;
            factor = factor * factor % kModulus;
        }
        return powers;
    }();

    std::uint32_t m_state = 1;
};
