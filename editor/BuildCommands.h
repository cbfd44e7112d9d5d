// The Build commands without a toolkit: the order of their checks, their messages, the lines of
// the errors bar and the run each one prepares. The shell shows the boxes and starts the runs.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/AnalyticalRun.h"
#include "editor/EngineKind.h"
#include "editor/MonteCarloRun.h"
#include "editor/OutputNames.h"
#include "model/Widget.h"

class CKorvaneDoc;

// The shell's message boxes.
class IBuildPrompts {
public:
    enum class Icon { Information, Exclamation, Question };
    virtual ~IBuildPrompts() = default;
    virtual void ShowMessage(const std::string& text, Icon icon) = 0;
    virtual bool AskYesNo(const std::string& text, Icon icon) = 0;
};

// One line of the errors bar and the serial of the widget it describes (find it in the document
// before use: it may have been deleted since).
struct CNetworkError {
    // The serial of a line about the network's Monte Carlo settings, which no widget has.
    static constexpr std::uint64_t kSettingsSerial = 0;
    std::uint64_t widget = 0;
    std::string text;
};

// "Line at  (10, 20)  (50, 20)  not connected": the kind, the point or both ends, and why.
std::string DescribeNetworkError(const CWidget& widget, const std::string& reason);

// Where the document's runs write when it has no file of its own.
struct COutputPlace {
    std::filesystem::path documentFile;  // empty while the network has never been saved
    std::filesystem::path userDataFolder;
};

class CBuildCommands {
public:
    CBuildCommands(CKorvaneDoc& doc, IBuildPrompts& prompts) : m_doc(doc), m_prompts(prompts) {}

    // The network check: tells the user its result and returns a line for each failing widget's
    // connection or name and for each value that either run refuses, in the errors bar's order
    // (alphabetical, case ignored; drawing order among equal lines).
    std::vector<CNetworkError> DebugNetwork();
    // Whether a run of `engine` takes the network: every widget connected, and no value refused
    // that the engine's text carries (the other engine's values play no part).
    static bool NetworkPasses(CKorvaneDoc& doc, EngineKind engine);
    // The network's NDL text, or the generator's error text when a Monte Carlo run would refuse it.
    static std::string NDLText(CKorvaneDoc& doc);
    // The same for the GML text and the analytical run.
    static std::string GMLText(CKorvaneDoc& doc);

    // The Monte Carlo command's checks, in order; null when the command ends there. `busy`: a run
    // of this document is going. On success the report path is the document's result path (told
    // to its views, with `sender`), the output folder exists and the document is marked modified.
    std::unique_ptr<CMonteCarloJob> PrepareMonteCarloRun(bool busy, const COutputPlace& place, const void* sender);
    // The analytical command's checks; null when the command ends there. On success the document
    // is marked modified.
    std::unique_ptr<CAnalyticalJob> PrepareAnalyticalRun(bool busy, const COutputPlace& place);

private:
    // The document's output names for the place; tells the user when there are none.
    std::optional<COutputNames> OutputNames(const COutputPlace& place);

    CKorvaneDoc& m_doc;
    IBuildPrompts& m_prompts;
};
