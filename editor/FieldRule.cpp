#include "editor/FieldRule.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

#include "platform/NumberFormat.h"

namespace {

constexpr double kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr double kInt32Min = std::numeric_limits<std::int32_t>::min();

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Where a leading number's digits start: after blanks and one sign, which it reports.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    return i;
}

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A whole text of an optional sign and digits, or nullopt; values past 64 bits saturate.
std::optional<long long> ParseWholeInteger(std::string_view text, bool& negative)
{
    negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (!IsDigit(c))
            return std::nullopt;
        if (value < std::numeric_limits<long long>::max() / 10 - 10)
            value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

std::string FormatBound(double value, bool integer)
{
    if (integer)
        return korvane::FormatInt(static_cast<long long>(value));
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    return std::string(buf, end);
}

}  // namespace

CFieldRule::Result CFieldRule::Parse(std::string_view text) const
{
    text = Trim(text);
    if (m_kind == Kind::Number) {
        const std::optional<double> value = korvane::ParseDouble(text);
        if (!value)
            return {std::nullopt, "Please enter a number."};
        std::string refusal = Check(*value);
        if (!refusal.empty())
            return {std::nullopt, std::move(refusal)};
        return {value, {}};
    }

    bool negative = false;
    const std::optional<long long> whole = ParseWholeInteger(text, negative);
    if (m_kind == Kind::PositiveInteger && (negative || !whole))
        return {std::nullopt, "Please enter a positive integer."};
    if (!whole)
        return {std::nullopt, "Please enter an integer."};
    std::string refusal = Check(static_cast<double>(*whole));
    if (!refusal.empty())
        return {std::nullopt, std::move(refusal)};
    return {static_cast<double>(*whole), {}};
}

std::string CFieldRule::Check(double value) const
{
    if (!std::isfinite(value))
        return IsInteger() ? "Please enter an integer." : "Please enter a number.";
    if (IsInteger() && value != std::floor(value))
        return "Please enter an integer.";
    if (m_ranged && (value < m_min || value > m_max))
        return RangeMessage();
    // The field behind an integer edit is 32 bits wide: a larger number would wrap.
    if (m_kind == Kind::PositiveInteger && (value < 0 || value > kInt32Max))
        return CFieldRule(Kind::Integer, 0, kInt32Max).RangeMessage();
    if (m_kind == Kind::Integer && (value < kInt32Min || value > kInt32Max))
        return CFieldRule(Kind::Integer, kInt32Min, kInt32Max).RangeMessage();
    return {};
}

std::string CFieldRule::RangeMessage() const
{
    const bool integer = IsInteger();
    if (m_max == std::numeric_limits<double>::infinity())
        return std::string(integer ? "Please enter an integer of at least " : "Please enter a number of at least ") +
               FormatBound(m_min, integer) + ".";
    return std::string(integer ? "Please enter an integer between " : "Please enter a number between ") +
           FormatBound(m_min, integer) + " and " + FormatBound(m_max, integer) + ".";
}

std::string CFieldRule::Format(double value) const
{
    if (IsInteger() && std::isfinite(value))
        return korvane::FormatInt(static_cast<long long>(value));
    return FormatEditNumber(value);
}

std::string FormatEditNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    for (int precision : {15, 17}) {
        char buf[64];
        auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, precision);
        std::string text(buf, end);
        if (precision == 17 || korvane::ParseDouble(text) == value)
            return text;
    }
    return {};
}

std::optional<double> ParseLeadingNumber(std::string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);

    const std::size_t start = i;
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i]))
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0;
    std::size_t end = i;
    bool negativeExponent = false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            negativeExponent = text[j++] == '-';
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            end = j;
        }
    }

    std::string number(text.substr(start, end - start));
    if (number.front() == '.')
        number.insert(number.begin(), '0');
    double value = 0.0;
    auto [stop, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        return negativeExponent ? std::optional<double>(0.0) : std::nullopt;
    if (ec != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

int ParseLeadingInteger(std::string_view text)
{
    bool negative = false;
    std::size_t i = SkipBlanksAndSign(text, negative);
    long long value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i++] - '0');
        if (value > -static_cast<long long>(kInt32Min))
            value = -static_cast<long long>(kInt32Min);
    }
    value = negative ? -value : value;
    if (value > kInt32Max)
        value = static_cast<long long>(kInt32Max);
    return static_cast<int>(value);
}
