// korvane-run-mc INPUT OUTPUT_FOLDER: runs one network headless into its text and HTML reports,
// for profiling real networks and for scripting saved ones. INPUT is NDL text, whose reports are
// OUTPUT_FOLDER/<file name>.txt and .htm, or a saved ".mc" network, which is checked, generated
// and reported as the application does it, with its own settings.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "editor/MonteCarloRun.h"
#include "editor/OutputNames.h"
#include "editor/SavedNetworkRun.h"
#include "montecarlo/SimulationProgress.h"
#include "platform/Files.h"

namespace {

class CProgressLine : public ISimulationProgress {
public:
    void OnProgress(const SimulationProgress& progress) override
    {
        year = progress.year;
        if (progress.percent == m_percent)
            return;
        m_percent = progress.percent;
        std::fprintf(stderr, "\ryear %u of %u (%u%%), %.2f years/s   ", progress.year, progress.yearMax, progress.percent,
                     progress.speed);
    }
    unsigned year = 0;

private:
    unsigned m_percent = ~0u;
};

// The job of an NDL file, named after the file.
std::unique_ptr<CRunJob> NdlJob(const std::filesystem::path& ndlFile, const std::filesystem::path& folder)
{
    const auto bytes = korvane::ReadFileBytes(ndlFile);
    const auto names = MakeOutputNames(ndlFile.stem().string(), {}, folder, false);
    if (!names)
        throw korvane::FileError("Cannot name reports after \"" + ndlFile.string() + "\"");
    if (const std::string failure = CreateOutputFolder(*names); !failure.empty())
        throw korvane::FileError(failure);
    return std::make_unique<CMonteCarloJob>(
        MakeMonteCarloParams(ndlFile.stem().string(), std::string(bytes.begin(), bytes.end()), *names));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s NDL_FILE|NETWORK.mc OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path input = argv[1];
    const std::filesystem::path folder = argv[2];
    std::unique_ptr<CRunJob> job;
    try {
        if (IsNetworkFile(input)) {
            CSavedNetworkRun run = PrepareSavedNetworkRun(input, EngineKind::MonteCarlo, folder);
            for (const std::string& message : run.messages)
                std::fprintf(stderr, "%s\n", message.c_str());
            if (!run.job)
                return 1;
            job = std::move(run.job);
        } else {
            job = NdlJob(input, folder);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    const auto& params = static_cast<const CMonteCarloJob&>(*job).GetParams();
    CProgressLine progress;
    CRunControl control;
    const RunResult result = job->Execute(control, progress);
    std::fprintf(stderr, "\n");
    for (const std::string& warning : result.warnings)
        std::fprintf(stderr, "%s\n", warning.c_str());
    if (result.kind != RunResult::Kind::Completed) {
        std::fprintf(stderr, "%s\n", result.message.c_str());
        return 1;
    }
    std::printf("%u years simulated; reports in %s\n", progress.year, params.m_pszHtmlFile.parent_path().string().c_str());
    return 0;
}
