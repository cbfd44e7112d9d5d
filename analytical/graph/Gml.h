// GML text read into key/value pairs, and a cursor that reads a record's values by position.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::graph {

// A failure to read GML: the line it was found on (0 when it belongs to no line) and what is wrong.
struct GmlError {
    int line = 0;
    std::string message;

    bool IsError() const { return !message.empty(); }
    // "line 12: ..." or the bare message.
    std::string Text() const;
};

// One key with its value: an integer, a real, a string or a bracketed list of further pairs.
struct GmlPair {
    enum class Kind { Int, Real, String, List };

    std::string key;
    Kind kind = Kind::Int;
    std::int64_t intValue = 0;
    double realValue = 0.0;
    std::string text;
    std::vector<GmlPair> list;
    int line = 0;

    bool IsNumber() const { return kind == Kind::Int || kind == Kind::Real; }
    // The value as a real; an integer counts as the same real.
    double AsReal() const { return kind == Kind::Int ? static_cast<double>(intValue) : realValue; }
};

// The pairs handed to a record's reader, in file order.
using GmlPairList = std::vector<const GmlPair*>;

// Parses a whole text:
///   text  := { pair }
///   pair  := key value
///   key   := letter or '_' { letter, digit or '_' }
///   value := integer | real | '"' { character } '"' | '[' { pair } ']'
// '#' starts a comment that runs to the end of its line. Numbers must be finite and integers fit
// in 64 bits; lists nest at most 32 deep.
GmlError ParseGml(std::string_view text, std::vector<GmlPair>& pairs);

// The largest magnitude of a number that GmlCursor::Real takes.
inline constexpr double kGmlMaxMagnitude = 1e12;
// Whether GmlCursor::Real takes a number: at most 1e12 in magnitude and, unless `allowNegative`,
// not below 0. NaN is no such number.
bool IsGmlRealInRange(double value, bool allowNegative = false);

// Reads a record's values one after the other, each under the key it must carry; the first
// mismatch is kept as the error, and later reads then give 0.
class GmlCursor {
public:
    GmlCursor(const GmlPairList& pairs, int recordLine) : m_pairs(pairs), m_recordLine(recordLine) {}

    // An integer within the 32-bit range.
    std::int32_t Int(const char* key);
    // A number (an integer counts) of at most 1e12 in magnitude and, unless `allowNegative`,
    // not below 0.
    double Real(const char* key, bool allowNegative = false);
    // The line of the pair read last (the record's own line before the first read).
    int LastLine() const { return m_next > 0 ? m_pairs[m_next - 1]->line : m_recordLine; }
    const GmlError& Error() const { return m_error; }

private:
    const GmlPair* Next(const char* key, const char* expected);
    void Fail(int line, std::string message);

    const GmlPairList& m_pairs;
    int m_recordLine;
    std::size_t m_next = 0;
    GmlError m_error;
};

}  // namespace korvane::graph
