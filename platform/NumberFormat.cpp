#include "platform/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace korvane {
namespace {

// Removes the zeros at the end of a fraction; the decimal point itself stays.
void TrimFractionZeros(std::string& mantissa)
{
    if (mantissa.find('.') == std::string::npos)
        return;
    while (!mantissa.empty() && mantissa.back() == '0')
        mantissa.pop_back();
}

// Decimal exponent of the exact binary value: 17 significant digits never round a double up
// across a power of ten.
int DecimalExponent(double magnitude)
{
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 16);
    std::string_view text(buf, static_cast<std::size_t>(end - buf));
    const auto e = text.find('e');
    return std::atoi(std::string(text.substr(e + 1)).c_str());
}

std::string ToChars(double value, std::chars_format format, int precision)
{
    char buf[400];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, format, precision);
    if (ec != std::errc())
        return "nan";
    return std::string(buf, end);
}

}  // namespace

std::string FormatSignificant(double value, int digits)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";

    std::string sign = std::signbit(value) && value != 0.0 ? "-" : "";
    const double magnitude = std::fabs(value);
    const int e = magnitude == 0.0 ? -1 : DecimalExponent(magnitude);

    if (e >= -1 && e <= digits - 1) {
        const int decimals = digits - 1 - e;
        std::string text = ToChars(magnitude, std::chars_format::fixed, decimals);
        if (decimals > 0)
            TrimFractionZeros(text);
        return sign + text;
    }

    // Exponent form: to_chars renormalises when rounding carries into a new digit.
    std::string text = ToChars(magnitude, std::chars_format::scientific, digits - 1);
    const auto epos = text.find('e');
    std::string mantissa = text.substr(0, epos);
    if (mantissa.find('.') == std::string::npos)
        mantissa += '.';
    TrimFractionZeros(mantissa);
    const int exponent = std::atoi(text.c_str() + epos + 1);
    std::string expDigits = std::to_string(std::abs(exponent));
    while (expDigits.size() < 3)
        expDigits.insert(expDigits.begin(), '0');
    return sign + mantissa + "e" + (exponent < 0 ? "-" : "+") + expDigits;
}

std::string FormatInt(long long value)
{
    return std::to_string(value);
}

std::string FormatFixed(double value, int decimals)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value < 0 ? "-inf" : "inf";
    return ToChars(value, std::chars_format::fixed, decimals);
}

std::string FormatFixed4(double value)
{
    return FormatFixed(value, 4);
}

std::optional<double> ParseDouble(std::string_view text)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes no '+', so one is skipped here; a second sign after it is not a number.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '-' || text.front() == '+'))
            return std::nullopt;
    }
    if (text.empty())
        return std::nullopt;
    double value = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace korvane
