#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "editor/FieldRule.h"

namespace {

using Kind = CFieldRule::Kind;

struct ParseCase {
    CFieldRule rule;
    const char* text;
    double value;         // when accepted
    const char* message;  // when refused, else nullptr
};

TEST(FieldRule, ParsesOrRefusesWithTheDialogMessages)
{
    const CFieldRule number(Kind::Number);
    const CFieldRule rate(Kind::Number, 0.0, 9999999.0);
    const CFieldRule integer(Kind::Integer);
    const CFieldRule workspace(Kind::Integer, 0.0, 30000.0);
    const CFieldRule positive(Kind::PositiveInteger);

    const ParseCase cases[] = {
        {number, " 2.5 ", 2.5, nullptr},
        {number, "-3", -3.0, nullptr},
        {number, "1e-10", 1e-10, nullptr},
        {number, "", 0, "Please enter a number."},
        {number, "1,5", 0, "Please enter a number."},
        {number, "12abc", 0, "Please enter a number."},
        // Non-finite numbers never reach a widget or a setting.
        {number, "inf", 0, "Please enter a number."},
        {number, "nan", 0, "Please enter a number."},
        {number, "1e400", 0, "Please enter a number."},
        {rate, "9999999", 9999999.0, nullptr},
        {rate, "0", 0.0, nullptr},
        {rate, "-0.5", 0, "Please enter a number between 0 and 9999999."},
        {rate, "x", 0, "Please enter a number."},
        {integer, "-7", -7.0, nullptr},
        {integer, "+7", 7.0, nullptr},
        {integer, "7.5", 0, "Please enter an integer."},
        {integer, "99999999999", 0, "Please enter an integer between -2147483648 and 2147483647."},
        {workspace, "30001", 0, "Please enter an integer between 0 and 30000."},
        {workspace, "1e3", 0, "Please enter an integer."},
        {workspace, "0", 0.0, nullptr},
        {positive, "24", 24.0, nullptr},
        {positive, "-1", 0, "Please enter a positive integer."},
        {positive, "2.5", 0, "Please enter a positive integer."},
        {positive, "", 0, "Please enter a positive integer."},
        // The settings hold 32-bit integers: a larger count would wrap to a negative one.
        {positive, "4294967295", 0, "Please enter an integer between 0 and 2147483647."},
    };
    for (const ParseCase& c : cases) {
        const CFieldRule::Result result = c.rule.Parse(c.text);
        if (c.message == nullptr) {
            ASSERT_TRUE(result.value.has_value()) << c.text << ": " << result.message;
            EXPECT_EQ(*result.value, c.value) << c.text;
        } else {
            EXPECT_FALSE(result.value.has_value()) << c.text;
            EXPECT_EQ(result.message, c.message) << c.text;
        }
    }
}

TEST(FieldRule, EditTextReadsBackAsTheSameValue)
{
    EXPECT_EQ(FormatEditNumber(0.05), "0.05");
    EXPECT_EQ(FormatEditNumber(10000000.0), "10000000");
    EXPECT_EQ(FormatEditNumber(-1.0), "-1");
    EXPECT_EQ(FormatEditNumber(0.0), "0");
    EXPECT_EQ(CFieldRule(Kind::Integer).Format(42.0), "42");
    // 15 digits would round these; the dialog must not alter a value the user did not touch.
    for (double v : {0.1 + 0.2, 1.0 / 3.0, 123456789.123456789, 5e-324, 1.7976931348623157e308}) {
        const CFieldRule::Result back = CFieldRule(Kind::Number).Parse(FormatEditNumber(v));
        ASSERT_TRUE(back.value) << FormatEditNumber(v);
        EXPECT_EQ(*back.value, v);
    }
}

TEST(FieldRule, LeadingNumbersReadAsAtofReadsThem)
{
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"0.1", 0.1},  {"  -2.5e1xyz", -25.0}, {"3.", 3.0},       {".5", 0.5},   {"abc", 0.0},
        {"", 0.0},     {"1e", 1.0},            {"+4", 4.0},       {"1e-400", 0.0},
        {"inf", 0.0},  {"nan", 0.0},           {"1e400", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLeadingNumber(c.text), c.value) << c.text;

    EXPECT_EQ(ParseLeadingInteger("3"), 3);
    EXPECT_EQ(ParseLeadingInteger(" -2abc"), -2);
    EXPECT_EQ(ParseLeadingInteger("x"), 0);
    EXPECT_EQ(ParseLeadingInteger("99999999999999999999"), std::numeric_limits<int>::max());
    EXPECT_EQ(ParseLeadingInteger("-99999999999999999999"), std::numeric_limits<int>::min());
}

}  // namespace
