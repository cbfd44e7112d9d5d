// Shared by the Monte Carlo tests: a scratch folder per test, a run output whose trace is read back,
// a run's progress, reports masked for their golden files, and the networks that the tests run.
// The networks are built through the model's builders after SetSystem, so that one table can also
// run all of them under both steppings of the year loop.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "montecarlo/Output.h"
#include "montecarlo/RunControl.h"
#include "montecarlo/Simulation.h"
#include "montecarlo/SimulationProgress.h"
#include "tests/TestFiles.h"

namespace ndltest {

namespace fs = std::filesystem;

using testfiles::TempFolder;

// The output of one run with its trace, and with `html` its report, open in the folder; Trace()
// closes them and reads the trace back.
class TracedOutput {
public:
    explicit TracedOutput(const TempFolder& folder, bool html = false) : m_path(folder.Path() / "trace.txt")
    {
        m_output.OpenLog(m_path);
        if (html)
            m_output.OpenHtml(HtmlPath());
    }
    COutput* Get() { return &m_output; }
    std::string Trace()
    {
        m_output.CloseReports();
        return testfiles::ReadText(m_path);
    }
    fs::path HtmlPath() const { return m_path.parent_path() / "report.htm"; }
    std::string Html() const { return testfiles::ReadText(HtmlPath()); }

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

// An edge's drawn times as Weibull scale/shape in quanta: "failure 35039.5/1, isolation 0/2, repair
// 3.5/1", a recloser's "reclose 11.5/1".
inline std::string Times(const SimEdge& e)
{
    std::ostringstream out;
    out.precision(15);
    if (e.type == kRecloserEdge)
        out << "reclose " << e.reclose.GetScale() << '/' << e.reclose.GetShape();
    else
        out << "failure " << e.failure.GetScale() << '/' << e.failure.GetShape() << ", isolation "
            << e.isolation.GetScale() << '/' << e.isolation.GetShape() << ", repair " << e.repair.GetScale() << '/'
            << e.repair.GetShape();
    return out.str();
}

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

constexpr double kExact = 1e10;  // a Weibull shape that makes a time all but fixed

// A source on `node` behind its breaker, as the parser builds it.
inline void AddSource(CSimulation& sim, unsigned node, double capacity = -1.0)
{
    const unsigned inner = 100 + node;  // clear of the nodes the tests number
    sim.AddSupply(0, inner, capacity);
    sim.AddBreaker(inner, node, capacity);
}

inline void AddFlatLoad(CSimulation& sim, const std::string& name, unsigned node, unsigned customers, double demand)
{
    ASSERT_EQ(sim.AddLoad(name, node, 1, customers, {1.0}, demand, -1.0), CSimulation::LoadResult::Built);
}

// Failure rate 2 a year (shape 1), isolation all but 0, repair exactly 4 hours.
inline void OneLine(CSimulation& sim)
{
    AddSource(sim, 2);
    sim.AddLine(2, 3, -1.0, 2.0, 1.0, 1e-10, 1.0, 4.0, kExact);
    AddFlatLoad(sim, "LP", 3, 10, 5.0);
}

// Isolation 2 hours, repair 5, an isolator between the two loads.
inline void IsolatorBetweenLoads(CSimulation& sim)
{
    AddSource(sim, 2);
    AddFlatLoad(sim, "Up", 2, 1, 1.0);
    sim.AddIsolator(2, 4, -1.0);
    sim.AddLine(4, 5, -1.0, 2.0, 1.0, 2.0, kExact, 5.0, kExact);
    AddFlatLoad(sim, "Down", 5, 1, 1.0);
}

inline void PerfectConductor(CSimulation& sim)
{
    AddSource(sim, 2);
    sim.AddEquipment(2, 3, -1.0, 1e-10, 1e10, 1e-10, 1e10, 1e-10, 1e10);
    AddFlatLoad(sim, "LP", 3, 3, 2.0);
}

inline void SourceAndLoad(CSimulation& sim)
{
    AddSource(sim, 2);
    AddFlatLoad(sim, "LP", 2, 1, 1.0);
}

// Supply 7 for two loads of 5: one of them is cut in every quantum.
inline void SupplyTooSmall(CSimulation& sim)
{
    AddSource(sim, 2, 7.0);
    AddFlatLoad(sim, "A", 2, 1, 5.0);
    AddFlatLoad(sim, "B", 2, 1, 5.0);
}

// At 24 quanta a day: a working time fixed at 8758 quanta and a repair of 10 quanta.
inline void OutageOverTheYearsEnd(CSimulation& sim)
{
    AddSource(sim, 2);
    sim.AddLine(2, 3, -1.0, 8760.0 / 8758.0, kExact, 1e-10, 1.0, 10.0, kExact);
    AddFlatLoad(sim, "LP", 3, 1, 1.0);
}

// Demand 1 in the first half of the year and 3 in the second, supply 2.
inline void HalfYearOverload(CSimulation& sim)
{
    AddSource(sim, 2, 2.0);
    ASSERT_EQ(sim.AddLoad("LP", 2, 1, 4, {1.0, 3.0}, 2.0, 3.0), CSimulation::LoadResult::Built);
}

// As the parser builds a recloser: a switch, the recloser between two nodes of its own, a
// switch; with `bypassed` a breaker joins its two sides as well.
inline void RecloserOnTheFeeder(CSimulation& sim, bool bypassed)
{
    AddSource(sim, 2);
    sim.AddBreaker(2, 4, -1.0);
    sim.AddRecloser(4, 5, -1.0, 1.0, 1.0);
    sim.AddBreaker(5, 3, -1.0);
    if (bypassed)
        sim.AddBreaker(2, 3, -1.0);
    AddFlatLoad(sim, "LP", 3, 1, 1.0);
}

inline void LineIsolatorEquipment(CSimulation& sim)
{
    AddSource(sim, 2);
    sim.AddLine(2, 3, -1.0, 3.0, 1.5, 1.0, 2.0, 6.0, 1.2);
    sim.AddIsolator(3, 4, -1.0);
    sim.AddEquipment(4, 5, -1.0, 1.0, 1.0, 0.5, 1.0, 9.0, 1.0);
    AddFlatLoad(sim, "A", 3, 5, 2.0);
    AddFlatLoad(sim, "B", 5, 7, 3.0);
}

// A perfect conductor and a line with a failure rate of 0.
inline void NeverFailing(CSimulation& sim)
{
    AddSource(sim, 2);
    sim.AddEquipment(2, 3, -1.0, 1e-10, 1e10, 1e-10, 1e10, 1e-10, 1e10);
    sim.AddLine(3, 4, -1.0, 0.0, 1.0, 1.0, 1.0, 1.0, 1.0);
    AddFlatLoad(sim, "LP", 4, 1, 1.0);
}

// No breaker between the supply and a line that fails about once an hour: the protection reaches
// the supply root.
inline void UnprotectedLine(CSimulation& sim)
{
    sim.AddSupply(0, 2, -1.0);
    sim.AddLine(2, 3, -1.0, 365.0 * 24, 1.0, 1.0, kExact, 1.0, kExact);
    AddFlatLoad(sim, "LP", 3, 1, 1.0);
}

// A feeder with a line, an isolator, a recloser and three loads, one of whose names needs
// escaping and one of which is longer than the trace's column.
inline bool SmallFeeder(CSimulation& sim)
{
    sim.AddSupply(0, 3, 20.0);
    sim.AddBreaker(3, 2, 20.0);
    sim.AddLine(2, 4, -1.0, 1.5, 1.0, 1.0, 1.0, 5.0, 2.0);
    bool built = (sim.AddLoad("Town", 4, 1, 120, {0.5, 1.0, 0.8}, 6.0, 9.0) == CSimulation::LoadResult::Built);
    sim.AddIsolator(4, 5, -1.0);
    sim.AddBreaker(5, 6, -1.0);
    sim.AddRecloser(6, 7, -1.0, 0.1, 1.0);
    sim.AddBreaker(7, 8, -1.0);
    sim.AddEquipment(8, 9, -1.0, 0.8, 1.0, 0.5, 1.0, 12.0, 1.0);
    built = built && (sim.AddLoad("Mill <&\"", 9, 1, 3, {1.0}, 4.0, -1.0) == CSimulation::LoadResult::Built);
    built = built && (sim.AddLoad("Eastern pumping station", 8, 1, 1, {1.0}, 2.0, 2.0) == CSimulation::LoadResult::Built);
    return built;
}

// Every kind of component, a macro and a comment; 200 years (the accuracy is never reached).
inline std::string NdlNetwork()
{
    return testfiles::ReadText(std::filesystem::path(KORVANE_TEST_DATA) / "montecarlo" / "network.ndl");
}

}  // namespace ndltest
