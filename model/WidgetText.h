// Builders of the NDL component definitions and GML records that widgets give of themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Significant digits of every number in the widgets' NDL definitions.
inline constexpr int kNdlDigits = 6;

// An NDL definition: keyword, then one "name = value;\" line per set attribute, then an empty line.
class NdlDefinition {
public:
    explicit NdlDefinition(const char* keyword) : m_text(keyword) {}

    // "connect = a, b" when both node numbers are set.
    NdlDefinition& Connect(std::int32_t node1, std::int32_t node2);
    // "connect = a" of a one-point widget, unless unset.
    NdlDefinition& Connect(std::int32_t node);
    // A value, when set (not -1.0).
    NdlDefinition& Value(const char* name, double value);
    // A pair, when either value is set. A pair holding only its second value is written with the
    // reader's default first value, so that the second is never taken for the first.
    NdlDefinition& Pair(const char* name, double first, double second);
    NdlDefinition& Text(const char* name, const std::string& text);
    NdlDefinition& List(const char* name, const std::vector<double>& values);
    // The finished definition, with its closing newline.
    std::string Finish();

private:
    void Line(const char* name, const std::string& value);
    std::string m_text;
};

// A GML record: "key value" lines, integers as "%d" and doubles as "%.4f".
class GmlRecord {
public:
    GmlRecord& Int(const char* key, long long value);
    GmlRecord& Real(const char* key, double value);
    GmlRecord& Fixed(const char* keyAndValue);
    GmlRecord& Raw(const std::string& lines);
    const std::string& Text() const { return m_text; }
    // "edge" or "node", "[", the lines, "]".
    std::string Wrap(const char* kind) const;

private:
    std::string m_text;
};
