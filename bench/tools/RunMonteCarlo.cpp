// korvane-run-mc NDL_FILE OUTPUT_FOLDER: runs one NDL network headless into its text and HTML
// reports (OUTPUT_FOLDER/<name>.txt and .htm), for profiling real networks.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "montecarlo/SimulationProgress.h"
#include "montecarlo/Simulator.h"
#include "platform/Files.h"

namespace {

class CProgressLine : public ISimulationProgress {
public:
    void OnProgress(const SimulationProgress& progress) override
    {
        if (progress.percent == m_percent)
            return;
        m_percent = progress.percent;
        std::fprintf(stderr, "\ryear %u of %u (%u%%), %.2f years/s   ", progress.year, progress.yearMax, progress.percent,
                     progress.speed);
    }

private:
    unsigned m_percent = ~0u;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s NDL_FILE OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path ndlFile = argv[1];
    const std::filesystem::path folder = argv[2];
    std::string text;
    try {
        const auto bytes = korvane::ReadFileBytes(ndlFile);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 2;
    }
    const std::string name = ndlFile.stem().string();
    CProgressLine progress;
    CSimulator simulator;
    const SimulatorOutcome outcome = simulator.Run(text, name, folder / (name + ".txt"), folder / (name + ".htm"),
                                                   folder / (name + ".tmp"), nullptr, &progress);
    std::fprintf(stderr, "\n");
    if (!outcome.warning.empty())
        std::fprintf(stderr, "%s\n", outcome.warning.c_str());
    switch (outcome.kind) {
    case SimulatorOutcome::Kind::Completed:
        std::printf("%u years simulated; reports in %s\n", outcome.years, folder.string().c_str());
        return 0;
    case SimulatorOutcome::Kind::Stopped:
        std::printf("stopped after %u years\n", outcome.years);
        return 1;
    default:
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
        return 1;
    }
}
