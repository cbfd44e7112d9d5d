#include <gtest/gtest.h>

#include <map>

#include "editor/FieldRule.h"
#include "editor/SimulationSettingsValues.h"
#include "editor/WorkspaceValues.h"
#include "platform/NumberFormat.h"
#include "tests/TestFiles.h"

namespace {

using Kind = CFieldRule::Kind;

TEST(FieldRule, ReadsTextsOrRefusesThemWithTheDialogMessages)
{
    const std::map<std::string, CFieldRule> rules = {
        {"number", CFieldRule(Kind::Number)},       {"rate", CFieldRule(Kind::Number, 0.0, 9999999.0)},
        {"integer", CFieldRule(Kind::Integer)},     {"workspace", CWorkspaceValues::kSizeRule},
        {"positive", CFieldRule(Kind::PositiveInteger)}, {"accuracy", CSimulationSettingsValues::kAccuracyRule},
        {"quanta", CSimulationSettingsValues::kQuantsRule},
    };
    for (const testfiles::TableCase& c : testfiles::ReadTable("editor/field-texts.txt")) {
        SCOPED_TRACE("field-texts.txt:" + std::to_string(c.line));
        ASSERT_EQ(c.fields.size(), 3u);
        const std::string text = c.fields[1].substr(1, c.fields[1].size() - 2);
        const std::optional<double> expected = korvane::ParseDouble(c.fields[2]);
        if (c.fields[0] == "atof") {
            EXPECT_EQ(ParseLeadingNumber(text), expected);
        } else if (c.fields[0] == "atoi") {
            EXPECT_EQ(ParseLeadingInteger(text), *expected);
        } else {
            const CFieldRule::Result result = rules.at(c.fields[0]).Parse(text);
            EXPECT_EQ(result.value, expected);
            EXPECT_EQ(result.message, expected ? "" : c.fields[2]);
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

}  // namespace
