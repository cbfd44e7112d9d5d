// What the NDL reader takes for each number it reads, bounds included. The reader refuses anything
// else; the settings dialog and the network check take their bounds from here, so that nothing they
// let through is refused when a run reads the text.
#pragma once

#include <cstdint>
#include <string>

struct CNdlRange {
    enum class Kind {
        Integer,      // a whole number from min to max (written a hair off a whole number is taken)
        Positive,     // a number above 0
        NonNegative,  // a number of at least 0
        Flag,         // the number 0 or 1
    };

    Kind kind;
    std::int32_t min = 0;  // integers only
    std::int32_t max = 0;

    // Whether the reader takes the number; never a NaN.
    bool Accepts(double x) const;
    // The reader's word for a number's sign: "positive" or "non-negative".
    const char* SignWord() const { return kind == Kind::NonNegative ? "non-negative" : "positive"; }
    // What it takes, for the user: "a number above 0", "an integer from 1 to 1440", "0 or 1".
    std::string Describe() const;
};

// Each attribute's range. The pairs ("failure", "isolation", "repair", "reclose") take a rate or a
// time first and a Weibull shape second.
namespace ndl_range {
inline constexpr CNdlRange kQuantsPerDay{CNdlRange::Kind::Integer, 1, 1440};
inline constexpr CNdlRange kYears{CNdlRange::Kind::Integer, 100, 1000000000};  // "yearmin" and "yearmax"
inline constexpr CNdlRange kYearStep{CNdlRange::Kind::Integer, 1, 1000000};
inline constexpr CNdlRange kAccuracy{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kFlag{CNdlRange::Kind::Flag};  // "fuses", "isolators", "reclosers", "maxflow"
inline constexpr CNdlRange kNode{CNdlRange::Kind::Integer, 0, 999999};  // each "connect" number
inline constexpr CNdlRange kCapacity{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kCustomers{CNdlRange::Kind::Integer, 1, 999999};
inline constexpr CNdlRange kLength{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kAverage{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kPeak{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kPairFirst{CNdlRange::Kind::NonNegative};
inline constexpr CNdlRange kPairSecond{CNdlRange::Kind::Positive};
inline constexpr CNdlRange kProfileValue{CNdlRange::Kind::NonNegative};
}  // namespace ndl_range
