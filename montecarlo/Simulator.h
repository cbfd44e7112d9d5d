// One Monte Carlo run on the worker thread: opens the reports, builds the model from NDL text,
// runs the year loop and closes the reports, and says how it ended.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

// What the user is told when the HTML report cannot be made; the reason follows on a line of its own.
inline constexpr const char* kHtmlOutputFailed =
    "HTML output stream handler failed! Please disable the create directory option in Settings->Workspace Settings.";

class COutput;
class CRunControl;
class CSimulation;
class ISimulationProgress;

struct SimulatorOutcome {
    enum class Kind {
        Completed,      // the reports hold the results
        Stopped,        // stopped through the run control; the reports hold no results
        ParseError,     // the network did not parse; the trace holds the error line
        OutputFailure,  // a report could not be opened or written
        Failed,         // the run could not go on, e.g. "Out of memory"; the reports hold no results
    };
    Kind kind = Kind::Completed;
    // ParseError: the error line as the trace has it; OutputFailure and Failed: what failed, for
    // the user (a file that could not be opened is named, with the system's reason).
    std::string message;
    // Something that did not stop the run, e.g. "Warning! Cannot delete temporary file!".
    std::string warning;
    unsigned years = 0;  // years simulated
};

class CSimulator {
public:
    // Runs the network that `ndlText` describes, named `networkName` in the reports: the trace at
    // `textPath`, the HTML report at `htmlPath` (the report's links point into it). The text is
    // read back through a temporary file of a unique name made in the folder of `tempPath` and
    // removed afterwards. `control` and `progress` may be null.
    SimulatorOutcome Run(const std::string& ndlText, const std::string& networkName,
                         const std::filesystem::path& textPath, const std::filesystem::path& htmlPath,
                         const std::filesystem::path& tempPath, CRunControl* control, ISimulationProgress* progress);

    // Fills an initialised model; false when it cannot, with the reason in `error` (already in
    // the trace when the builder wrote it there).
    using ModelBuilder = std::function<bool(CSimulation& model, COutput& output, std::string& error)>;

    // Runs one network as Run does, the model built by `build` instead of from NDL text.
    SimulatorOutcome RunModel(const ModelBuilder& build, const std::string& networkName,
                              const std::filesystem::path& textPath, const std::filesystem::path& htmlPath,
                              CRunControl* control, ISimulationProgress* progress);
};
