// The texts the Build commands and runs show the user.
#pragma once

#include <string>

namespace run_text {

// The Monte Carlo settings dialog's title, which also names the settings in the errors bar.
inline constexpr const char* kSimulationSettingsTitle = "Verav Ezerez simulation settings";
inline constexpr const char* kNoErrorFound = "Checking completed : No error found!";
inline constexpr const char* kErrorsFoundIn = "Checking completed : Errors found in ";
inline constexpr const char* kDebugFirst = "Error : Please debug the network!";
inline constexpr const char* kQuantsQuestion =
    "Warning : Please assign a value for the attributes\nQuants per day in Verav Ezerez Simulation Setting "
    "Dialog box.\n\nDo you want to continue?\n";
inline constexpr const char* kInvalidOutputName =
    "Error : Invalid output-file's name\nPlease contact the developer for more information";
inline constexpr const char* kOutputNameTooLong =
    "Error : The network's name is too long to name its output files.\nPlease save the network under a shorter name.";
inline constexpr const char* kTerminateQuestion = "Are you sure terminate this simulation?";
inline constexpr const char* kCompletedQuestion =
    "Simulation completed! You can view the result\nfrom Result Viewer.\n\nDo you want to close this dialog box?";
inline constexpr const char* kStopped = "Verav Ezerez simulation stopped: no new report was written.";

// Shown in place of the network text when the network does not pass the check.
inline constexpr const char* kNDLGeneratorError =
    "NDL Generator error:\n====================\n\nThere are errors in the network\ndrawn by user.\n\n"
    "For more information, please\ndebug the network settings \nusing the debugger.";
inline constexpr const char* kGMLGeneratorError =
    "GML Generator error:\n====================\n\nThere are errors in the network\ndrawn by user.\n\n"
    "For more information, please\ndebug the network settings \nusing the debugger.";

// A run that ended on an NDL error (`error` as the trace has it).
inline std::string ParseFailure(const std::string& error, const std::string& tracePath)
{
    return "Simulation stopped: the network description could not be read.\n\n" + error +
           "\n\nNo results were written; the error is also in " + tracePath + ".";
}

}  // namespace run_text
