// Hostile NDL text in: a simulation model or a positioned parse error out, never a crash, and the
// error is always one of the parser's own messages.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "montecarlo/Output.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"

namespace {

bool StartsWith(std::string_view s, std::string_view prefix)
{
    return s.substr(0, prefix.size()) == prefix;
}

// A keyword as messages show it: 1 to 64 lower-case letters.
bool IsShownKeyword(std::string_view s)
{
    if (s.empty() || s.size() > 64)
        return false;
    for (char c : s)
        if (c < 'a' || c > 'z')
            return false;
    return true;
}

bool IsKnownMessage(std::string_view m)
{
    static constexpr std::string_view exact[] = {
        "syntax error, expecting keyword",
        "syntax error, expecting ':'",
        "syntax error, expecting '='",
        "syntax error, expecting ';', <eol> or <eof>",
        "syntax error, expecting string or numeric value",
        "syntax error, unexpected <eol> in string",
        "syntax error, unexpected <eof> in string",
        "syntax error, invalid number format",
        "invalid macro identifier",
        "macro identifier is already defined",
        "undefined macro identifier",
        "macro expansion is too long",
        "Out of memory",
        "a system definition must occur before any component definition",
        "duplicate system definition",
    };
    for (std::string_view e : exact)
        if (m == e)
            return true;
    for (std::string_view prefix : {std::string_view("unknown type keyword \""),
                                     std::string_view("unknown attribute keyword \"")})
        if (StartsWith(m, prefix) && m.size() > prefix.size() + 1 && m.back() == '"')
            return IsShownKeyword(m.substr(prefix.size(), m.size() - prefix.size() - 1));

    // the load "<name>" demands more than any network can carry ...
    constexpr std::string_view demand = "\" demands more than any network can carry: its scaled peak, added to the "
                                        "peaks of the loads before it, must not exceed 1e15";
    constexpr std::string_view loadHead = "the load \"";
    if (StartsWith(m, loadHead) && m.size() >= loadHead.size() + demand.size() &&
        m.substr(m.size() - demand.size()) == demand)
        return true;

    // the "<keyword>" attribute <tail>
    constexpr std::string_view head = "the \"";
    if (!StartsWith(m, head))
        return false;
    const std::size_t close = m.find('"', head.size());
    if (close == std::string_view::npos || !IsShownKeyword(m.substr(head.size(), close - head.size())))
        return false;
    const std::string_view rest = m.substr(close + 1);
    static constexpr std::string_view tails[] = {
        " attribute is not valid in this definition",
        " attribute must be of numeric type",
        " attribute must be a single number",
        " attribute must be an integer in the range [1,1440]",
        " attribute must be an integer in the range [100,1000000000]",
        " attribute must be an integer in the range [1,1000000]",
        " attribute must be an integer in the range [1,999999]",
        " attribute must be an integer in the range [0,999999]",
        " attribute number must be positive",
        " attribute must be either the number 0 or 1",
        " attribute must be one or two numbers",
        " attribute first number must be non-negative",
        " attribute second number must be positive",
        " attribute must be of string type",
        " attribute must not hold a control character",
        " attribute must be a pair of numbers",
        " attribute requires non-negative numbers",
        " attribute is required",
    };
    for (std::string_view t : tails)
        if (rest == t)
            return true;
    constexpr std::string_view load = " attribute of the load \"";
    constexpr std::string_view scaled = "\" must hold a number above 0 to be scaled to its average or peak";
    return StartsWith(rest, load) && rest.size() >= load.size() + scaled.size() &&
           rest.substr(rest.size() - scaled.size()) == scaled;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    COutput output;
    CSimulation model;
    model.Init(&output);
    CParserDistrib parser(&output);
    bool built = false;
    if (parser.Parse(text, std::filesystem::temp_directory_path()))
        built = parser.Run(&model);
    if (!parser.Close())
        std::abort();  // the temporary file must always go
    const std::string& message = parser.GetErrorMessage();
    if (!built && !message.empty()) {
        if (parser.GetErrorLine() == 0 || parser.GetErrorColumn() == 0)
            std::abort();  // a parse error always has its position
        if (!IsKnownMessage(message))
            std::abort();  // and is one of the parser's own messages
    }
    if (built && !message.empty())
        std::abort();  // a built model had no error
    // Whatever was built must hang together.
    for (std::size_t i = 0; i < model.GetEdgeCount(); ++i) {
        const SimEdge& e = model.GetEdge(i);
        if (e.from >= model.GetNodeCount() || e.to >= model.GetNodeCount())
            std::abort();
    }
    model.Free();
    return 0;
}
