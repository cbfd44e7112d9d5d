#include <gtest/gtest.h>

#include <clocale>
#include <optional>

#include "platform/NumberFormat.h"

using korvane::FormatSignificant;

namespace {

struct Case {
    double value;
    int digits;
    const char* text;
};

const Case kCases[] = {
    // Six significant digits: the widgets' NDL values.
    {3, 6, "3."}, {0, 6, "0."}, {-1, 6, "-1."}, {0.5, 6, "0.5"}, {12.25, 6, "12.25"}, {10000, 6, "10000."},
    {12345.67, 6, "12345.7"}, {99999.97, 6, "100000."}, {100000, 6, "100000"}, {100000.4, 6, "100000"},
    {999999.7, 6, "1000000"}, {0.123456789, 6, "0.123457"}, {1234.5678, 6, "1234.57"}, {1000000, 6, "1.e+006"},
    {0.05, 6, "5.e-002"}, {0.0123, 6, "1.23e-002"}, {0.09999999, 6, "1.e-001"}, {1e-10, 6, "1.e-010"},
    {-0.05, 6, "-5.e-002"}, {123456789, 6, "1.23457e+008"}, {1e100, 6, "1.e+100"},
    // Ten and eight digits: the settings' system definition.
    {0, 10, "0."}, {1, 10, "1."}, {100, 10, "100."}, {1000000, 10, "1000000."}, {0.5, 8, "0.5"},
    {0.25, 8, "0.25"}, {0.05, 8, "5.e-002"}, {0.001, 8, "1.e-003"}, {1000000000, 10, "1000000000"},
    {24, 10, "24."},
};

void ExpectAllCases()
{
    for (const Case& c : kCases)
        EXPECT_EQ(FormatSignificant(c.value, c.digits), c.text) << c.value << " with " << c.digits << " digits";
    EXPECT_EQ(korvane::FormatFixed4(0.0), "0.0000");
    EXPECT_EQ(korvane::FormatFixed4(10000000.0), "10000000.0000");
    EXPECT_EQ(korvane::FormatFixed4(-2.5), "-2.5000");
    EXPECT_EQ(korvane::FormatInt(-1), "-1");
    // Regression: the '+' was skipped before from_chars, which then read "+-5" as minus five.
    const std::pair<const char*, std::optional<double>> parsed[] = {
        {" 2.5e-3 ", 0.0025}, {"100.", 100.0}, {"+.5", 0.5}, {"2,5", {}},
        {"1e999", {}},        {"+-5", {}},     {"++5", {}},   {"+", {}}};
    for (const auto& [text, value] : parsed)
        EXPECT_EQ(korvane::ParseDouble(text), value) << text;
}

}  // namespace

TEST(NumberFormat, WorkedExamplesComeOutExactly)
{
    ExpectAllCases();
}

// The GUI toolkit sets the process locale; number text must not follow it.
TEST(NumberFormat, IgnoresADecimalCommaLocale)
{
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed on this machine";
    ExpectAllCases();
    std::setlocale(LC_ALL, saved.c_str());
}
