// Hostile NDL text in: a simulation model or a positioned parse error out, never a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "montecarlo/Output.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/Simulation.h"

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
    if (!built && !parser.GetErrorMessage().empty() && parser.GetErrorLine() == 0)
        std::abort();  // a parse error always has its position
    // Whatever was built must hang together.
    for (std::size_t i = 0; i < model.GetEdgeCount(); ++i) {
        const SimEdge& e = model.GetEdge(i);
        if (e.from >= model.GetNodeCount() || e.to >= model.GetNodeCount())
            std::abort();
    }
    model.Free();
    return 0;
}
