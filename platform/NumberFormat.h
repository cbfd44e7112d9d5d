// Locale-independent number text for the ".mc" side files, NDL and GML (never the printf family:
// the GUI toolkit sets the process locale).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// General format with a fixed count of significant digits: fixed notation while the value's
// decimal exponent e (taken before rounding) lies in [-1, digits-1], rounded to digits-1-e
// decimals and without a point when no decimal is left; otherwise one digit, the point,
// digits-1 decimals, "e", a sign and three exponent digits. Trailing fraction zeros are removed,
// the point stays. FormatSignificant(100, 6) == "100.", (100000, 6) == "100000", (0.05, 6) == "5.e-002".
std::string FormatSignificant(double value, int digits);

// "%d" and "%.4f" of the GML text.
std::string FormatInt(long long value);
std::string FormatFixed4(double value);

// Fixed notation with the given number of decimals ("%.*f").
std::string FormatFixed(double value, int decimals);

// Reads a whole text as a double (leading and trailing blanks allowed); nullopt when it is not a
// number or not finite.
std::optional<double> ParseDouble(std::string_view text);

}  // namespace korvane
