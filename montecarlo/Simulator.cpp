#include "montecarlo/Simulator.h"

#include <new>

#include "montecarlo/Output.h"
#include "montecarlo/ParserDistrib.h"
#include "montecarlo/ReportText.h"
#include "montecarlo/Simulation.h"

SimulatorOutcome CSimulator::RunModel(const ModelBuilder& build, const std::string& networkName,
                                      const std::filesystem::path& textPath, const std::filesystem::path& htmlPath,
                                      CRunControl* control, ISimulationProgress* progress)
{
    using Kind = SimulatorOutcome::Kind;
    SimulatorOutcome outcome;
    COutput output;
    if (!output.OpenHtml(htmlPath)) {
        outcome.kind = Kind::OutputFailure;
        outcome.message = std::string(kHtmlOutputFailed) + "\n" + output.GetError();
        return outcome;
    }
    if (!output.OpenLog(textPath)) {
        outcome.kind = Kind::OutputFailure;
        outcome.message = "Text file output stream handler failed!\n" + output.GetError();
        return outcome;  // the HTML report is abandoned: the previous one stays
    }
    output.WriteHtml("<b><font size=\"4\">Network name :" + korvane::EscapeHtml(networkName) +
                     "</font></b><br><br>");

    try {
        CSimulation model;
        model.Init(&output, progress);
        std::string error;
        if (!build(model, output, error)) {
            outcome.kind = Kind::ParseError;
            outcome.message = error;
        } else {
            const CSimulation::StopReason reason = model.Run(control, htmlPath.string());
            outcome.kind = reason == CSimulation::StopReason::Stopped ? Kind::Stopped : Kind::Completed;
            outcome.years = model.GetYearsSimulated();
        }
        model.Free();
    } catch (const std::bad_alloc&) {
        // The model is gone with its memory.
        outcome.kind = Kind::Failed;
        outcome.message = "Out of memory";
    }

    if (outcome.kind == Kind::Stopped || outcome.kind == Kind::Failed) {
        // A stopped or failed run has no results: the reports of the last finished run are worth more.
        output.AbandonReports();
        return outcome;
    }
    if (!output.CloseReports()) {
        outcome.kind = Kind::OutputFailure;
        outcome.message = output.GetError();
    }
    return outcome;
}

SimulatorOutcome CSimulator::Run(const std::string& ndlText, const std::string& networkName,
                                 const std::filesystem::path& textPath, const std::filesystem::path& htmlPath,
                                 const std::filesystem::path& tempPath, CRunControl* control,
                                 ISimulationProgress* progress)
{
    std::filesystem::path tempFolder = tempPath.parent_path();
    if (tempFolder.empty())
        tempFolder = ".";
    bool tempFileFailed = false;
    bool tempFileKept = false;
    auto parse = [&](CSimulation& model, COutput& output, std::string& error) {
        CParserDistrib parser(&output);
        bool built = false;
        if (!parser.Parse(ndlText, tempFolder)) {
            tempFileFailed = parser.GetErrorLine() == 0;
            // Nothing was simulated: the reports of the last finished run are worth more.
            if (tempFileFailed)
                output.AbandonReports();
        } else {
            built = parser.Run(&model);
        }
        if (!built) {
            if (tempFileFailed)
                error = parser.GetErrorMessage();
            else if (parser.GetErrorMessage().empty()) {
                // The parser found nothing wrong to write: the trace says it here, so the message
                // that points the user at the trace does not point at an empty file.
                error = "error: the network has no system definition";
                output.Log(3, error + "\n");
            }
            else
                error = "error: (L" + std::to_string(parser.GetErrorLine()) + " C" +
                        std::to_string(parser.GetErrorColumn()) + ") " + parser.GetErrorMessage();
        }
        tempFileKept = !parser.Close();
        return built;
    };
    SimulatorOutcome outcome = RunModel(parse, networkName, textPath, htmlPath, control, progress);
    if (tempFileFailed && outcome.kind == SimulatorOutcome::Kind::ParseError)
        outcome.kind = SimulatorOutcome::Kind::OutputFailure;
    if (tempFileKept)
        outcome.warning = "Warning! Cannot delete temporary file!";
    return outcome;
}
