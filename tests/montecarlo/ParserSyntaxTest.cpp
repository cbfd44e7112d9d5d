#include <gtest/gtest.h>

#include <filesystem>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "montecarlo/ParserSyntax.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace fs = std::filesystem;
using ndltest::TempFolder;
using ndltest::TracedOutput;

namespace {

// Records what the syntax layer hands on: "system", "a=1,2", "name=\"x\"", "end".
class CRecordingParser : public CParserSyntax {
public:
    explicit CRecordingParser(COutput* output = nullptr) : CParserSyntax(output) {}
    std::vector<std::string> events;

protected:
    void OnTypeKeyword(const std::string& keyword) override { events.push_back(keyword); }
    void OnEndOfDefinition() override { events.push_back("end"); }
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
        events.push_back(out.str());
    }
};

struct Outcome {
    bool ok = false;
    std::vector<std::string> events;
    std::string trace;
};

Outcome Lex(std::string_view text)
{
    TempFolder folder;
    TracedOutput output(folder);
    CRecordingParser parser(output.Get());
    Outcome outcome;
    outcome.ok = parser.Parse(text, folder.Path()) && parser.ParseAll();
    outcome.events = parser.events;
    EXPECT_TRUE(parser.Close());
    EXPECT_FALSE(folder.HasTempFiles()) << "the temporary file was left behind";
    outcome.trace = output.Trace();
    return outcome;
}

using Events = std::vector<std::string>;

}  // namespace

TEST(NdlLexer, CutsTextIntoDefinitionsAttributesAndValues)
{
    struct Case {
        const char* what;
        std::string text;
        Events events;
    };
    const Case cases[] = {
        {"an empty text", "", {}},
        {"blank lines and comments only", "\n  \t\n# a comment\n   # another\n\n", {}},
        {"one definition", "system: quantsPerDay = 24;\n", {"system", "quantsperday=24", "end"}},
        {"a continued definition is one logical line", "system: a = 1;\\\nb = 2\n",
         {"system", "a=1", "b=2", "end"}},
        {"the generated form: every attribute ends in a semicolon, backslash and newline",
         "line: connect = 1., 2.;\\\nlength = 3.5;\\\n\nfuse: connect = 2., 3.;\\\n\n",
         {"line", "connect=1,2", "length=3.5", "end", "fuse", "connect=2,3", "end"}},
        {"a semicolon followed by a comment", "system: a = 1; # the rest is gone\nload: b = 2\n",
         {"system", "a=1", "end", "load", "b=2", "end"}},
        {"a value ending at the line end", "system: a = 1\nload: b = \"x\"\n",
         {"system", "a=1", "end", "load", "b=\"x\"", "end"}},
        {"a value ending at the end of the text", "system: a = 1, 2", {"system", "a=1,2", "end"}},
        {"several attributes on one line", "system: a = 1; b = \"two words\" ; c=3\n",
         {"system", "a=1", "b=\"two words\"", "c=3", "end"}},
        {"keywords compare in lower case", "SyStEm: QuantsPerDay = 1\n", {"system", "quantsperday=1", "end"}},
        {"a tab before a token", "\tsystem:\ta\t=\t5\n", {"system", "a=5", "end"}},
        {"CR before LF is a line end", "system: a = 1;\\\r\nb = 2\r\nload: c = 3\r\n",
         {"system", "a=1", "b=2", "end", "load", "c=3", "end"}},
        {"a lone CR is an ordinary character", std::string("system: a = \"x\ry\"\n"),
         {"system", "a=\"x\ry\"", "end"}},
        {"NUL is a blank", std::string("system:\0a =\0 1\n", 15), {"system", "a=1", "end"}},
        {"a backslash inside a comment continues the line", "system: a = 1 # note \\\n; b = 2\n",
         {"system", "a=1", "b=2", "end"}},
        {"a backslash joins lines also inside a string", "load: name = \"ab\\\ncd\"\n",
         {"load", "name=\"abcd\"", "end"}},
        {"number forms", "system: a = 7., 1.e+006, 1.23e-002, +.5, 100000, 5.e-002, -3, 1e-400, 0e999\n",
         {"system", "a=7,1000000,0.0123,0.5,100000,0.05,-3,0,0", "end"}},
        {"blanks around commas", "system: a = 1 ,2 , 3\n", {"system", "a=1,2,3", "end"}},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Lex(c.text);
        EXPECT_TRUE(outcome.ok) << c.what << ": " << outcome.trace;
        EXPECT_EQ(outcome.events, c.events) << c.what;
    }
}

TEST(NdlLexer, ExpandsMacros)
{
    struct Case {
        const char* what;
        std::string text;
        Events events;
    };
    const Case cases[] = {
        {"a macro value followed by more numbers", "$half = 0.5\nsystem: a = $half, 2\n",
         {"system", "a=0.5,2", "end"}},
        {"the name in capitals names the same macro", "$half = 0.5\nsystem: a = $HALF\n", {"system", "a=0.5", "end"}},
        {"a macro as the keyword, not first on its line", "$k = system\n$v=\"x\"\n $k: name = $v\n",
         {"system", "name=\"x\"", "end"}},
        {"macros inside a macro are expanded at its definition", "$a = 1\n$b = $a, 2\n$a2 = 9\nsystem: x = $b\n",
         {"system", "x=1,2", "end"}},
        {"a macro right after the equals sign", "$a = 1\n$b=$a,3\nsystem: x = $b\n", {"system", "x=1,3", "end"}},
        {"an empty macro expands to nothing", "$e =\n$f = 4\nsystem: x = $e$f$e\n", {"system", "x=4", "end"}},
        {"a macro defined on a continued line", "$m = 1,\\\n 2\nsystem: x = $m\n", {"system", "x=1,2", "end"}},
        {"a macro name ends at the first other character", "$a1 = 5\nsystem: x = $a1;y=$A1\n",
         {"system", "x=5", "y=5", "end"}},
        {"a macro holding a definition's attributes", "$attrs = a = 1; b = 2\nsystem: $attrs\n",
         {"system", "a=1", "b=2", "end"}},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Lex(c.text);
        EXPECT_TRUE(outcome.ok) << c.what << ": " << outcome.trace;
        EXPECT_EQ(outcome.events, c.events) << c.what;
    }
}

TEST(NdlLexer, StopsAtTheFirstErrorAndReadsNothingAfterIt)
{
    TempFolder folder;
    CRecordingParser parser;
    ASSERT_TRUE(parser.Parse("system: a = 1\nload: b = ?\nfuse: c = 2\n", folder.Path()));
    EXPECT_FALSE(parser.ParseAll());
    EXPECT_EQ(parser.events, (Events{"system", "a=1", "end", "load"}));
    EXPECT_EQ(parser.GetErrorMessage(), "syntax error, expecting string or numeric value");
    EXPECT_EQ(parser.GetErrorLine(), 2u);
    EXPECT_EQ(parser.GetErrorColumn(), 12u);
    EXPECT_TRUE(parser.Close());
}

// A bad macro on the first line is found while the first character is loaded.
TEST(NdlLexer, ParseFailsOnABadFirstLineMacro)
{
    TempFolder folder;
    TracedOutput output(folder);
    CRecordingParser parser(output.Get());
    EXPECT_FALSE(parser.Parse("$ = 1\nsystem: a = 1\n", folder.Path()));
    EXPECT_TRUE(parser.Close());
    EXPECT_FALSE(folder.HasTempFiles());
    EXPECT_EQ(output.Trace(), "error: (L1 C3) invalid macro identifier\n");
}

TEST(NdlLexer, ReadsTheTextThroughAUniqueTemporaryFile)
{
    TempFolder folder;
    CRecordingParser first, second;
    ASSERT_TRUE(first.Parse("system: a = 1\n", folder.Path()));
    ASSERT_TRUE(second.Parse("system: a = 2\n", folder.Path()));
    EXPECT_NE(first.GetTempPath(), second.GetTempPath());
    EXPECT_EQ(first.GetTempPath().parent_path(), folder.Path());
    EXPECT_EQ(first.GetTempPath().extension(), ".tmp");
    EXPECT_TRUE(fs::exists(first.GetTempPath()));
    EXPECT_TRUE(first.ParseAll());
    EXPECT_TRUE(second.ParseAll());
    EXPECT_EQ(first.events[1], "a=1");
    EXPECT_EQ(second.events[1], "a=2");
    EXPECT_TRUE(first.Close());
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(folder.HasTempFiles());
}

// The temporary file cannot be made: the run fails with a message, nothing is read.
TEST(NdlLexer, MissingTemporaryFolderIsAnErrorOfTheRun)
{
    TempFolder folder;
    CRecordingParser parser;
    EXPECT_FALSE(parser.Parse("system: a = 1\n", folder.Path() / "no" / "such" / "folder"));
    EXPECT_EQ(parser.GetErrorMessage().rfind("Warning! Cannot create temporary file handler!\n", 0), 0u)
        << parser.GetErrorMessage();
    EXPECT_EQ(parser.GetErrorLine(), 0u);
    EXPECT_TRUE(parser.ParseAll());  // nothing to read
    EXPECT_TRUE(parser.events.empty());
    EXPECT_TRUE(parser.Close());
}

// Hostile text: none of these may crash or run away; each ends in a result or a positioned error.
TEST(NdlLexer, SurvivesHostileText)
{
    // A byte 0xFF inside a macro is a character, not the end of the text.
    Outcome ff = Lex("$m = \"a\xff\"\nsystem: name = $m\n");
    EXPECT_TRUE(ff.ok);
    EXPECT_EQ(ff.events, (Events{"system", "name=\"a\xff\"", "end"}));
    Outcome ffValue = Lex("$m = \xff\nsystem: x = $m;\n");
    EXPECT_EQ(ffValue.trace, "error: (L2 C16) syntax error, expecting string or numeric value\n");

    // A 5,000-letter keyword is still one keyword.
    const std::string longKeyword(5000, 'k');
    Outcome keyword = Lex("system: " + longKeyword + " = 1\n");
    EXPECT_TRUE(keyword.ok);
    EXPECT_EQ(keyword.events.at(1), longKeyword + "=1");

    // A very long number and a very long string.
    Outcome number = Lex("system: x = 0." + std::string(100000, '0') + "1\n");
    EXPECT_TRUE(number.ok);
    EXPECT_EQ(number.events.at(1), "x=0");
    Outcome text = Lex("system: x = \"" + std::string(100000, 'z') + "\"\n");
    EXPECT_TRUE(text.ok);

    // Macros that multiply themselves are refused before they exhaust memory.
    std::string bomb = "$a = 1111111111111111\n";
    for (char name = 'b'; name <= 'h'; ++name) {
        bomb += std::string("$") + name + " =";
        for (int i = 0; i < 16; ++i)
            bomb += std::string(" $") + static_cast<char>(name - 1);
        bomb += '\n';
    }
    Outcome exploded = Lex(bomb + "system: x = $h\n");
    EXPECT_FALSE(exploded.ok);
    EXPECT_NE(exploded.trace.find("macro expansion is too long"), std::string::npos) << exploded.trace;

    // Only line ends, only backslashes, only '$'.
    EXPECT_TRUE(Lex(std::string(10000, '\n')).ok);
    EXPECT_TRUE(Lex(std::string(10000, '\\')).ok);
    EXPECT_FALSE(Lex(std::string(10000, '$')).ok);
    EXPECT_FALSE(Lex(std::string(10000, '"')).ok);
}

// The position of an error counts every character read from the file: those a comment or a
// continuation swallows, a tab as a move to the next multiple of 4, CR LF as one line end. While
// a macro is expanded it is the character after the macro's name.
TEST(NdlLexer, CountsErrorPositionsOverEveryCharacterRead)
{
    using namespace std::string_literals;
    struct Case {
        const char* what;
        std::string text;
        std::string trace;
    };
    const Case cases[] = {
        {"a continued line starts again at column 1", "system: a = 1;\\\n  b 2\n",
         "error: (L2 C6) syntax error, expecting '='\n"},
        {"the text a backslash swallows is counted on its own line", "system: a = 1; \\ junk\n ?\n",
         "error: (L2 C3) syntax error, expecting keyword\n"},
        {"a comment's characters and its line end are counted", "# comment\n  ?\n",
         "error: (L2 C4) syntax error, expecting keyword\n"},
        {"a tab inside a line moves to the next multiple of 4", "system:ab\t?\n",
         "error: (L1 C14) syntax error, expecting '='\n"},
        {"a tab at a multiple of 4 moves a whole step", "syst\t?\n", "error: (L1 C10) syntax error, expecting ':'\n"},
        {"CR LF is one line end", "system: a = 1\r\nload b\r\n", "error: (L2 C7) syntax error, expecting ':'\n"},
        {"a lone CR is one column", "sys\rtem\n", "error: (L1 C5) syntax error, expecting ':'\n"},
        {"NUL is a blank and one column", "sys\0?\n"s, "error: (L1 C6) syntax error, expecting ':'\n"},
        {"a byte above 127 is one column", "system: a = \xff\n", "error: (L1 C14) syntax error, expecting string or numeric value\n"},
        {"at the end of the text", "system: a =", "error: (L1 C12) syntax error, expecting string or numeric value\n"},
        {"inside a macro: the character after its name", "$v = ?\nsystem: a = $v;\n",
         "error: (L2 C16) syntax error, expecting string or numeric value\n"},
        {"a macro used inside a definition's text", "$v = $w\n", "error: (L2 C1) undefined macro identifier\n"},
        {"a macro name in capitals ends at the first other character", "$ab = 1\nsystem: a = $AB?\n",
         "error: (L2 C17) syntax error, expecting ';', <eol> or <eof>\n"},
        {"a definition line ends before the next one is read", "system: a = 1\n$m = 2\n$m = 3\n",
         "error: (L3 C6) macro identifier is already defined\n"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Lex(c.text);
        EXPECT_FALSE(outcome.ok) << c.what;
        EXPECT_EQ(outcome.trace, c.trace) << c.what;
    }
}

// Numbers from a damaged or hostile text: each is read as its value or refused, never a value of
// infinity or a number made of only part of its characters.
TEST(NdlLexer, ReadsHostileNumbersOrRefusesThem)
{
    const std::string invalid = "invalid number format";
    struct Case {
        std::string number;
        std::string result;  // the value as the recorder prints it, or the error message
    };
    const Case cases[] = {
        {"1e99999999999999999999", invalid},
        {"0e99999999999999999999", "0"},
        {"1e-99999999999999999999", "0"},
        {"1.7976931348623157e308", "1.79769313486232e+308"},
        {"1.8e308", invalid},
        {"1" + std::string(400, '0'), invalid},
        {"0." + std::string(400, '0') + "1e400", "0.1"},
        {"00000.000e+0000", "0"},
        {"-0", "-0"},
        {"1E5", "100000"},
        {"1e", invalid},
        {"1e+", invalid},
        {"e5", invalid},
        {"E", invalid},
        {".e1", invalid},
        {".", invalid},
        {"+", invalid},
        {"-", invalid},
        {"--1", invalid},
        {"1..2", invalid},
        {"1.5.3", invalid},
        {"1e+1e1", invalid},
        {"1+2", invalid},
        {"inf", "expecting string or numeric value"},
        {"NaN", "expecting string or numeric value"},
        {"infinity", "expecting string or numeric value"},
        {"0x10", "expecting ';', <eol> or <eof>"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Lex("system: a = " + c.number + "\n");
        if (outcome.ok) {
            EXPECT_EQ(outcome.events, (Events{"system", "a=" + c.result, "end"})) << c.number;
        } else {
            EXPECT_NE(outcome.trace.find("syntax error, " + c.result + "\n"), std::string::npos)
                << c.number << ": " << outcome.trace;
        }
        EXPECT_EQ(outcome.ok, c.result != invalid && c.result.find("expecting") == std::string::npos) << c.number;
    }
}

// Each macro is expanded when the next one is defined, so a long chain is a loop, not a recursion.
TEST(NdlLexer, FollowsALongChainOfMacros)
{
    std::string text = "$m0=7\n";
    const int depth = 100000;
    for (int i = 1; i <= depth; ++i)
        text += "$m" + std::to_string(i) + "=$m" + std::to_string(i - 1) + "\n";
    text += "system: a = $m" + std::to_string(depth) + "\n";
    const Outcome outcome = Lex(text);
    EXPECT_TRUE(outcome.ok) << outcome.trace;
    EXPECT_EQ(outcome.events, (Events{"system", "a=7", "end"}));
}
