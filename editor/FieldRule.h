// How the text of a dialog's edit box becomes a number: its kind, its range, and the message a
// refused text gives the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class CFieldRule {
public:
    enum class Kind {
        Number,           // any finite number
        Integer,          // a signed 32-bit integer
        PositiveInteger,  // an integer from 0 that fits a signed 32-bit field
    };

    // The value a text gives, or the message that refuses it.
    struct Result {
        std::optional<double> value;
        std::string message;
    };

    constexpr explicit CFieldRule(Kind kind) : m_kind(kind) {}
    constexpr CFieldRule(Kind kind, double min, double max) : m_kind(kind), m_ranged(true), m_min(min), m_max(max) {}

    bool IsInteger() const { return m_kind != Kind::Number; }

    // Reads a whole edit text (blanks around it allowed) and checks it against the range.
    Result Parse(std::string_view text) const;
    // The message refusing a value already held (not finite, not whole, out of range), else empty.
    std::string Check(double value) const;
    // "Please enter a number between 0 and 9999999." and the like ("... of at least 0." without an
    // upper bound); the bounds as "%.15g" writes them.
    std::string RangeMessage() const;
    // The text an edit box shows for a value of this rule.
    std::string Format(double value) const;

private:
    Kind m_kind;
    bool m_ranged = false;
    double m_min = 0.0;
    double m_max = 0.0;
};

// The text an edit box shows for a number: 15 significant digits (as the dialogs always showed
// them), or 17 when 15 would not read back as the same value, so that opening and closing a
// dialog never alters a value.
std::string FormatEditNumber(double value);

// The number at the start of a text, read as the C library's atof reads it (blanks, sign,
// digits, point, exponent; 0 when there is none), but never "inf" or "nan" words; nullopt when
// the number does not fit a double.
std::optional<double> ParseLeadingNumber(std::string_view text);
// The integer at the start of a text as atoi reads it (blanks, sign, digits; 0 when there are
// none), saturated to the 32-bit range.
int ParseLeadingInteger(std::string_view text);
