#include <gtest/gtest.h>

#include <fstream>
#include <locale>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "montecarlo/ParserSyntax.h"
#include "tests/montecarlo/NdlTestSupport.h"

using ndltest::TempFolder;

namespace {

// Records what the syntax layer hands on: "system", "a=1,2", "name=\"x\"", "end".
class CRecordingParser : public CParserSyntax {
public:
    explicit CRecordingParser(COutput* output = nullptr) : CParserSyntax(output) {}
    std::string events;  // joined by " | "

protected:
    void OnTypeKeyword(const std::string& keyword) override { Record(keyword); }
    void OnEndOfDefinition() override { Record("end"); }
    void OnAttribute(const std::string& keyword, const CAttributeValue& value) override
    {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        out.precision(15);
        out << keyword << '=';
        if (value.kind == CAttributeValue::String) {
            out << '"' << value.text << '"';
        } else {
            for (std::size_t i = 0; i < value.numbers.size(); ++i)
                out << (i > 0 ? "," : "") << value.numbers[i];
        }
        Record(out.str());
    }

private:
    void Record(const std::string& event) { events += (events.empty() ? "" : " | ") + event; }
};

struct Outcome {
    bool ok = false;
    std::string events;
    std::string trace;
};

Outcome Lex(std::string_view text)
{
    TempFolder folder;
    ndltest::TracedOutput output(folder);
    CRecordingParser parser(output.Get());
    Outcome outcome;
    outcome.ok = parser.Parse(text, folder.Path()) && parser.ParseAll();
    outcome.events = parser.events;
    EXPECT_TRUE(parser.Close());
    EXPECT_FALSE(folder.HasTempFiles()) << "the temporary file was left behind";
    outcome.trace = output.Trace();
    return outcome;
}

}  // namespace

// The table's texts: each cut into definitions, attributes and values, or stopped at its first
// error with its position.
TEST(NdlLexer, CutsEachTextIntoItsEventsOrStopsAtItsFirstError)
{
    for (const testfiles::TableCase& c : testfiles::ReadTable("montecarlo/ndl-syntax.txt")) {
        const Outcome outcome = Lex(c.fields.at(0));
        const bool refused = c.fields.at(1).rfind("error: ", 0) == 0;
        EXPECT_EQ(outcome.ok, !refused) << "ndl-syntax.txt:" << c.line << ": " << outcome.trace;
        EXPECT_EQ(refused ? outcome.trace : outcome.events, c.fields.at(1)) << "ndl-syntax.txt:" << c.line;
    }
}

// Two parsers in one folder each read their text through a temporary file of their own there.
TEST(NdlLexer, ReadsTheTextThroughAUniqueTemporaryFile)
{
    TempFolder folder;
    CRecordingParser first, second;
    ASSERT_TRUE(first.Parse("system: a = 1\n", folder.Path()));
    ASSERT_TRUE(second.Parse("system: a = 2\n", folder.Path()));
    EXPECT_NE(first.GetTempPath(), second.GetTempPath());
    EXPECT_EQ(first.GetTempPath().parent_path(), folder.Path());
    EXPECT_EQ(first.GetTempPath().extension(), ".tmp");
    EXPECT_TRUE(first.ParseAll() && second.ParseAll());
    EXPECT_EQ(first.events + " / " + second.events, "system | a=1 | end / system | a=2 | end");
    EXPECT_TRUE(first.Close() && second.Close());
    EXPECT_FALSE(folder.HasTempFiles());
}

// Regression: a run killed while parsing left its copy of the network text for good; later runs
// in the folder never removed it. Those of running processes, and files named otherwise, stay.
TEST(NdlLexer, RemovesTheTemporaryFilesOfEndedRunsOnly)
{
    TempFolder folder;
    const std::string ended = "4194304";  // above any process id Linux gives
    const std::vector<std::string> kept = {"ndl." + std::to_string(::getpid()) + "-900.tmp", "ndl-Ab12Cd.tmp",
                                           "ndl." + ended + "-0.part", "Net1.tmp"};
    for (const std::string& name : kept)
        std::ofstream(folder / name) << "kept";
    std::ofstream(folder / ("ndl." + ended + "-3.tmp")) << "a whole network's text";
    CRecordingParser parser;
    ASSERT_TRUE(parser.Parse("system: a = 1\n", folder.Path()));
    EXPECT_TRUE(parser.Close());
    EXPECT_EQ(testfiles::FileNames(folder.Path()), std::set<std::string>(kept.begin(), kept.end()));
}

// Hostile text: none of these may crash or run away; each ends in a result or a positioned error.
TEST(NdlLexer, SurvivesHostileText)
{
    // A byte 0xFF inside a macro is a character, not the end of the text.
    EXPECT_EQ(Lex("$m = \"a\xff\"\nsystem: name = $m\n").events, "system | name=\"a\xff\" | end");
    EXPECT_EQ(Lex("$m = \xff\nsystem: x = $m;\n").trace,
              "error: (L2 C16) syntax error, expecting string or numeric value\n");

    // A 5,000-letter keyword is still one keyword; very long numbers and strings are read whole.
    const std::string longKeyword(5000, 'k');
    EXPECT_EQ(Lex("system: " + longKeyword + " = 1\n").events, "system | " + longKeyword + "=1 | end");
    EXPECT_EQ(Lex("system: x = 0." + std::string(100000, '0') + "1\n").events, "system | x=0 | end");
    EXPECT_EQ(Lex("system: x = 0." + std::string(400, '0') + "1e400\n").events, "system | x=0.1 | end");
    EXPECT_EQ(Lex("system: x = 1" + std::string(400, '0') + "\n").trace,
              "error: (L2 C1) syntax error, invalid number format\n");
    EXPECT_TRUE(Lex("system: x = \"" + std::string(100000, 'z') + "\"\n").ok);

    // Macros that multiply themselves are refused before they exhaust memory.
    std::string bomb = "$a = 1111111111111111\n";
    for (char name = 'b'; name <= 'h'; ++name) {
        bomb += std::string("$") + name + " =";
        for (int i = 0; i < 16; ++i)
            bomb += std::string(" $") + static_cast<char>(name - 1);
        bomb += '\n';
    }
    const Outcome exploded = Lex(bomb + "system: x = $h\n");
    EXPECT_FALSE(exploded.ok);
    EXPECT_NE(exploded.trace.find("macro expansion is too long"), std::string::npos) << exploded.trace;

    // Only line ends, only backslashes, only '$', only quotes.
    EXPECT_TRUE(Lex(std::string(10000, '\n')).ok);
    EXPECT_TRUE(Lex(std::string(10000, '\\')).ok);
    EXPECT_FALSE(Lex(std::string(10000, '$')).ok);
    EXPECT_FALSE(Lex(std::string(10000, '"')).ok);

    // Each macro is expanded when the next one is defined, so a long chain is a loop, not a recursion.
    std::string chain = "$m0=7\n";
    for (int i = 1; i <= 100000; ++i)
        chain += "$m" + std::to_string(i) + "=$m" + std::to_string(i - 1) + "\n";
    EXPECT_EQ(Lex(chain + "system: a = $m100000\n").events, "system | a=7 | end");
}
