// korvane-run-analytical GML_FILE FEEDERS METHOD: runs the analytical engine on one GML file,
// faulting feeders 1 to FEEDERS with the "Thesis method" (METHOD 1) or the "Practical Method" (0)
// of load shedding, and prints the five indices as the user sees them, or the error.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "analytical/AnalyticalSimulator.h"
#include "platform/Files.h"

namespace {

bool ReadInt(const char* text, int& value)
{
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == std::string(text).size();
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int feeders = 0;
    int method = 0;
    if (argc != 4 || !ReadInt(argv[2], feeders) || !ReadInt(argv[3], method)) {
        std::fprintf(stderr, "usage: %s GML_FILE FEEDERS METHOD\n"
                             "  FEEDERS: how many feeders to fault (1 to FEEDERS)\n"
                             "  METHOD:  1 thesis, 0 practical load shedding\n",
                     argc > 0 ? argv[0] : "korvane-run-analytical");
        return 2;
    }
    std::string gml;
    try {
        const auto bytes = korvane::ReadFileBytes(argv[1]);
        gml.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const CAnalyticalResult result = CAnalyticalSimulator().Run(gml, 0, method, feeders);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    for (const std::string& warning : result.warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.error.c_str());
        return 1;
    }
    std::fputs(result.message.c_str(), stdout);
    std::fprintf(stderr, "%d feeders faulted in %.3f s\n", result.faultedFeeders, took.count());
    return 0;
}
