// Shared by the Monte Carlo tests: a scratch folder per test, a run output whose trace is read back,
// a run's progress, and reports masked for their golden files.
#pragma once

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "montecarlo/Output.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/SimulationProgress.h"
#include "tests/TestFiles.h"

namespace ndltest {

namespace fs = std::filesystem;

using testfiles::TempFolder;

// The output of one run with its trace open in the folder; Trace() closes it and reads it back.
class TracedOutput {
public:
    explicit TracedOutput(const TempFolder& folder) : m_path(folder.Path() / "trace.txt")
    {
        m_output.OpenLog(m_path);
    }
    COutput* Get() { return &m_output; }
    std::string Trace()
    {
        m_output.CloseReports();
        return testfiles::ReadText(m_path);
    }

private:
    fs::path m_path;
    COutput m_output;
};

// Every progress snapshot of a run; with a control, asks it to stop once `stopAt` years are
// simulated.
class ProgressLog : public ISimulationProgress {
public:
    explicit ProgressLog(CRunControl* control = nullptr, unsigned stopAt = 0) : m_control(control), m_stopAt(stopAt) {}
    void OnProgress(const SimulationProgress& progress) override
    {
        snapshots.push_back(progress);
        if (m_control != nullptr && progress.year == m_stopAt)
            m_control->RequestStop();
    }
    std::vector<SimulationProgress> snapshots;

private:
    CRunControl* m_control;
    unsigned m_stopAt;
};

// A report as its golden file holds it: the time and speed, which differ from run to run, and the
// report's own path in its links are masked.
inline std::string MaskReport(std::string text, const fs::path& html)
{
    for (std::size_t at = text.find(html.string()); at != std::string::npos; at = text.find(html.string(), at))
        text.replace(at, html.string().size(), "@REPORT@");
    text = std::regex_replace(text, std::regex(R"(time: \d+:\d\d, speed: \d+\.\d\d years/sec)"),
                              "time: M:SS, speed: S years/sec");
    text = std::regex_replace(text, std::regex(R"(<font size="2">\d+:\d\d</font>)"), "<font size=\"2\">M:SS</font>");
    return std::regex_replace(text, std::regex(R"(<font size="2">\d+\.\d\d years/sec</font>)"),
                              "<font size=\"2\">S years/sec</font>");
}

}  // namespace ndltest
