// korvane-run-analytical GML_FILE FEEDERS METHOD: runs the analytical engine on one GML file,
// faulting feeders 1 to FEEDERS with the "Thesis method" (METHOD 1) or the "Practical Method" (0)
// of load shedding, and prints the five indices as the user sees them, or the error.
// korvane-run-analytical NETWORK.mc: the same for a saved network, checked and generated as the
// application does it, with the network's own analytical settings.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "analytical/AnalyticalSimulator.h"
#include "editor/SavedNetworkRun.h"
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

// Prints the run's outcome as the user sees it: the indices on the standard output, the warnings
// and the error on the standard error.
int Report(const std::vector<std::string>& warnings, bool ok, const std::string& text)
{
    for (const std::string& warning : warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    std::fputs(text.c_str(), ok ? stdout : stderr);
    if (!ok)
        std::fputc('\n', stderr);
    return ok ? 0 : 1;
}

int RunNetworkFile(const std::filesystem::path& file)
{
    CSavedNetworkRun run;
    try {
        run = PrepareSavedNetworkRun(file, EngineKind::Analytical, file.parent_path());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    for (const std::string& message : run.messages)
        std::fprintf(stderr, "%s\n", message.c_str());
    if (!run.job)
        return 1;
    CRunControl control;
    struct : ISimulationProgress {
        void OnProgress(const SimulationProgress&) override {}
    } progress;
    const RunResult result = run.job->Execute(control, progress);
    return Report(result.warnings, result.kind == RunResult::Kind::Completed, result.message);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && IsNetworkFile(argv[1]))
        return RunNetworkFile(argv[1]);
    int feeders = 0;
    int method = 0;
    if (argc != 4 || !ReadInt(argv[2], feeders) || !ReadInt(argv[3], method)) {
        std::fprintf(stderr, "usage: %s GML_FILE FEEDERS METHOD\n"
                             "       %s NETWORK.mc\n"
                             "  FEEDERS: how many feeders to fault (1 to FEEDERS)\n"
                             "  METHOD:  1 thesis, 0 practical load shedding\n"
                             "  a saved network runs with its own analytical settings\n",
                     argc > 0 ? argv[0] : "korvane-run-analytical", argc > 0 ? argv[0] : "korvane-run-analytical");
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
    const int status = Report(result.warnings, result.ok, result.ok ? result.message : result.error);
    if (result.ok)
        std::fprintf(stderr, "%d feeders faulted in %.3f s\n", result.faultedFeeders, took.count());
    return status;
}
