#include "analytical/graph/Gml.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/NumberFormat.h"

namespace korvane::graph {
namespace {

constexpr int kMaxDepth = 32;

bool IsKeyStart(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsKeyChar(unsigned char c)
{
    return IsKeyStart(c) || (c >= '0' && c <= '9');
}

bool IsDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

// How a character is shown in a message: itself when printable, else its byte value.
std::string Shown(unsigned char c)
{
    if (c >= 0x20 && c < 0x7F)
        return std::string("'") + static_cast<char>(c) + "'";
    static const char* hex = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[c >> 4] + hex[c & 0xF];
}


// A piece of the text in quotes, cut short, with bytes that do not print shown as \xNN.
std::string Quoted(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    static const char* hex = "0123456789ABCDEF";
    std::string shown = "\"";
    for (const char ch : text.substr(0, kShown)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x20 && c < 0x7F) {
            shown += ch;
        } else {
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 0xF];
        }
    }
    if (text.size() > kShown)
        shown += "...";
    return shown + "\"";
}

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text) {}

    GmlError ParseAll(std::vector<GmlPair>& pairs)
    {
        ParsePairs(pairs, 0, 0);
        return m_error;
    }

private:
    /// pairs := { key value }, up to ']' inside a list (openLine > 0) or the end at the top.
    void ParsePairs(std::vector<GmlPair>& pairs, int depth, int openLine)
    {
        // Read into this depth's list, which keeps its room from one record to the next, and hand
        // the pairs over in one allocation of the right size: grown pair by pair, every record's
        // list would move its pairs again and again.
        std::vector<GmlPair>& read = m_read[static_cast<std::size_t>(depth)];
        read.clear();
        ReadPairs(read, depth, openLine);
        pairs.reserve(pairs.size() + read.size());
        std::move(read.begin(), read.end(), std::back_inserter(pairs));
        read.clear();
    }

    void ReadPairs(std::vector<GmlPair>& pairs, int depth, int openLine)
    {
        while (!Failed()) {
            SkipBlanks();
            if (AtEnd()) {
                if (depth > 0)
                    Fail("the list opened on line " + std::to_string(openLine) + " is not closed");
                return;
            }
            const unsigned char c = Peek();
            if (c == ']') {
                if (depth == 0)
                    Fail("']' closes no list");
                else
                    ++m_pos;
                return;
            }
            if (!IsKeyStart(c)) {
                Fail("expected a key, found " + Shown(c));
                return;
            }
            GmlPair pair;
            pair.line = m_line;
            const std::size_t start = m_pos;
            while (!AtEnd() && IsKeyChar(Peek()))
                ++m_pos;
            pair.key = std::string(m_text.substr(start, m_pos - start));
            ParseValue(pair, depth);
            pairs.push_back(std::move(pair));
        }
    }

    /// value := integer | real | string | '[' pairs ']'
    void ParseValue(GmlPair& pair, int depth)
    {
        SkipBlanks();
        if (AtEnd()) {
            Fail("the key " + Quoted(pair.key) + " has no value");
            return;
        }
        const unsigned char c = Peek();
        if (c == '[') {
            if (depth + 1 > kMaxDepth) {
                Fail("lists are nested more than " + std::to_string(kMaxDepth) + " deep");
                return;
            }
            const int openLine = m_line;
            ++m_pos;
            pair.kind = GmlPair::Kind::List;
            ParsePairs(pair.list, depth + 1, openLine);
            return;
        }
        if (c == '"') {
            ParseString(pair);
            return;
        }
        if (IsDigit(c) || c == '-' || c == '+' || c == '.') {
            ParseNumber(pair);
            return;
        }
        Fail("expected a value for " + Quoted(pair.key) + ", found " + Shown(c));
    }

    void ParseString(GmlPair& pair)
    {
        const int openLine = m_line;
        ++m_pos;
        const std::size_t start = m_pos;
        while (!AtEnd() && Peek() != '"') {
            if (Peek() == '\n')
                ++m_line;
            ++m_pos;
        }
        if (AtEnd()) {
            m_line = openLine;
            Fail("the string that starts here is not closed");
            return;
        }
        pair.kind = GmlPair::Kind::String;
        pair.text = std::string(m_text.substr(start, m_pos - start));
        ++m_pos;
    }

    /// integer := [sign] digits; real := [sign] digits '.' [digits] [exponent] | [sign] '.' digits [exponent]
    void ParseNumber(GmlPair& pair)
    {
        const std::size_t start = m_pos;
        if (Peek() == '-' || Peek() == '+')
            ++m_pos;
        std::size_t digits = 0;
        while (!AtEnd() && IsDigit(Peek()))
            ++m_pos, ++digits;
        bool real = false;
        if (!AtEnd() && Peek() == '.') {
            real = true;
            ++m_pos;
            while (!AtEnd() && IsDigit(Peek()))
                ++m_pos, ++digits;
        }
        if (digits > 0 && !AtEnd() && (Peek() == 'e' || Peek() == 'E')) {
            real = true;
            ++m_pos;
            if (!AtEnd() && (Peek() == '-' || Peek() == '+'))
                ++m_pos;
            std::size_t expDigits = 0;
            while (!AtEnd() && IsDigit(Peek()))
                ++m_pos, ++expDigits;
            if (expDigits == 0)
                digits = 0;
        }
        std::string_view token = m_text.substr(start, m_pos - start);
        if (digits == 0 || (!AtEnd() && !IsBoundary(Peek()))) {
            while (!AtEnd() && !IsBoundary(Peek()))
                ++m_pos;
            Fail("the value " + Quoted(m_text.substr(start, m_pos - start)) + " of " + Quoted(pair.key) +
                 " is not a number");
            return;
        }
        if (token.front() == '+')
            token.remove_prefix(1);
        if (real) {
            const auto value = korvane::ParseDouble(token);
            if (!value) {
                Fail("the number " + Quoted(token) + " of " + Quoted(pair.key) + " is out of range");
                return;
            }
            pair.kind = GmlPair::Kind::Real;
            pair.realValue = *value;
            return;
        }
        std::int64_t value = 0;
        const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
        if (ec != std::errc() || end != token.data() + token.size()) {
            Fail("the integer " + Quoted(token) + " of " + Quoted(pair.key) + " is out of range");
            return;
        }
        pair.kind = GmlPair::Kind::Int;
        pair.intValue = value;
    }

    static bool IsBoundary(unsigned char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '[' || c == ']' || c == '#';
    }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            const unsigned char c = Peek();
            if (c == '\n') {
                ++m_line;
                ++m_pos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++m_pos;
            } else if (c == '#') {
                while (!AtEnd() && Peek() != '\n')
                    ++m_pos;
            } else {
                return;
            }
        }
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }
    unsigned char Peek() const { return static_cast<unsigned char>(m_text[m_pos]); }
    bool Failed() const { return m_error.IsError(); }
    void Fail(std::string message)
    {
        if (!Failed())
            m_error = GmlError{m_line, std::move(message)};
    }

    std::string_view m_text;
    std::vector<std::vector<GmlPair>> m_read = std::vector<std::vector<GmlPair>>(kMaxDepth + 1);
    std::size_t m_pos = 0;
    int m_line = 1;
    GmlError m_error;
};

}  // namespace

std::string GmlError::Text() const
{
    if (line <= 0)
        return message;
    return "line " + std::to_string(line) + ": " + message;
}

GmlError ParseGml(std::string_view text, std::vector<GmlPair>& pairs)
{
    pairs.clear();
    GmlError error = Parser(text).ParseAll(pairs);
    if (error.IsError())
        pairs.clear();
    return error;
}

const GmlPair* GmlCursor::Next(const char* key, const char* expected)
{
    if (m_error.IsError())
        return nullptr;
    if (m_next >= m_pairs.size()) {
        Fail(m_recordLine, std::string("the record ends where \"") + key + "\" (" + expected + ") is expected");
        return nullptr;
    }
    const GmlPair* pair = m_pairs[m_next++];
    if (pair->key != key) {
        Fail(pair->line, std::string("expected \"") + key + "\" (" + expected + "), found " + Quoted(pair->key));
        return nullptr;
    }
    return pair;
}

std::int32_t GmlCursor::Int(const char* key)
{
    const GmlPair* pair = Next(key, "an integer");
    if (pair == nullptr)
        return 0;
    if (pair->kind != GmlPair::Kind::Int) {
        Fail(pair->line, std::string("\"") + key + "\" must be an integer");
        return 0;
    }
    if (pair->intValue < std::numeric_limits<std::int32_t>::min() ||
        pair->intValue > std::numeric_limits<std::int32_t>::max()) {
        Fail(pair->line, std::string("\"") + key + "\" " + std::to_string(pair->intValue) + " is out of range");
        return 0;
    }
    return static_cast<std::int32_t>(pair->intValue);
}

double GmlCursor::Real(const char* key, bool allowNegative)
{
    const GmlPair* pair = Next(key, "a number");
    if (pair == nullptr)
        return 0.0;
    if (!pair->IsNumber()) {
        Fail(pair->line, std::string("\"") + key + "\" must be a number");
        return 0.0;
    }
    const double value = pair->AsReal();
    if (std::fabs(value) > kGmlMaxMagnitude) {
        Fail(pair->line, std::string("\"") + key + "\" " + korvane::FormatSignificant(value, 6) +
                             " is out of range (at most 1e12)");
        return 0.0;
    }
    if (!IsGmlRealInRange(value, allowNegative)) {
        Fail(pair->line, std::string("\"") + key + "\" must not be negative");
        return 0.0;
    }
    return value;
}

bool IsGmlRealInRange(double value, bool allowNegative)
{
    return std::fabs(value) <= kGmlMaxMagnitude && (allowNegative || !(value < 0.0));
}

void GmlCursor::Fail(int line, std::string message)
{
    if (!m_error.IsError())
        m_error = GmlError{line, std::move(message)};
}

}  // namespace korvane::graph
