#include "editor/BuildCommands.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "analytical/GMLGenerator.h"
#include "editor/Datasheet.h"
#include "editor/OutputNames.h"
#include "editor/RunMessages.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/NdlRange.h"
#include "platform/NumberFormat.h"

namespace {

const char* ErrorPrefix(WidgetType type)
{
    switch (type) {
    case WidgetType::Line:
        return "Line at  (";
    case WidgetType::CircuitBreaker:
        return "Circuit Breaker at  (";
    case WidgetType::Fuse:
        return "Fuse at  (";
    case WidgetType::Recloser:
        return "Recloser at  (";
    case WidgetType::Isolator:
        return "Isolator at  (";
    case WidgetType::BusBar:
        return "Bus Bar at  (";
    case WidgetType::LoadPoint:
        return "Load Point at  (";
    case WidgetType::GenSource:
        return "Gen Source at  (";
    case WidgetType::Equipment:
        return "Equipment at  (";
    case WidgetType::Transformer:
        return "Transformer at  (";
    }
    return "";
}

std::string PointText(CPoint p)
{
    return korvane::FormatInt(p.x) + ", " + korvane::FormatInt(p.y);
}

// The first of the network's Monte Carlo settings that a run refuses, in the dialog's order. 0 in the
// quanta, the year counts and the accuracy is "not given": the text leaves those out, and the Monte
// Carlo run asks for the quanta itself.
std::optional<CDatasheetProblem> SettingsRefusal(const CSimulationSettings& s)
{
    using namespace ndl_range;
    using S = CSimulationSettings;
    const struct {
        const char* field;
        double value;
        const CNdlRange& range;
        int digits;
    } values[] = {
        {"QuantsPerDay", static_cast<double>(s.quantsPerDay), kQuantsPerDay, S::kCountDigits},
        {"Min years", static_cast<double>(s.yearMin), kYears, S::kCountDigits},
        {"Max years", static_cast<double>(s.yearMax), kYears, S::kCountDigits},
        {"Step years", static_cast<double>(s.yearStep), kYearStep, S::kCountDigits},
        {"Accuracy", s.accuracy, kAccuracy, S::kAccuracyDigits},
        {"Fuses", static_cast<double>(s.fuses), kFlag, S::kFlagDigits},
        {"Isolators", static_cast<double>(s.isolators), kFlag, S::kFlagDigits},
        {"Reclosers", static_cast<double>(s.reclosers), kFlag, S::kFlagDigits},
        {"Maximum Flow", static_cast<double>(s.maxFlow), kFlag, S::kFlagDigits},
    };
    for (const auto& v : values) {
        const bool notGiven = v.value == 0.0 && v.range.kind != CNdlRange::Kind::Flag;
        if (auto problem = RunValueProblem(v.field, v.value, notGiven ? nullptr : &v.range, v.digits))
            return problem;
    }
    return std::nullopt;
}

std::string RefusalReason(const CDatasheetProblem& problem)
{
    return "the value of \"" + problem.field + "\" is " + problem.message;
}

// Why each widget holding a value that a run refuses fails the check, by serial, and the settings'
// reason under kSettingsSerial. In the text such a value would surface as an error at a line the
// user never wrote.
std::map<std::uint64_t, std::string> RefusedValues(CKorvaneDoc& doc)
{
    std::map<std::uint64_t, std::string> reasons;
    for (CWidget* w : doc.GetWidgetsInOrder())
        if (const auto problem = CDatasheet(*w, doc).RunRefusal())
            reasons[w->GetSerial()] = RefusalReason(*problem);
    if (const auto problem = SettingsRefusal(*doc.m_pSimulationSettings))
        reasons[CNetworkError::kSettingsSerial] = RefusalReason(*problem);
    return reasons;
}

// The network passes the generator's check and holds only values that a run takes.
template <class Generator>
bool Passes(CKorvaneDoc& doc, Generator& generator)
{
    return generator.Validate() && RefusedValues(doc).empty();
}

// The generator's text of the document, or `error` when the network fails the generator's check.
template <class Generator>
std::string TextOrError(CKorvaneDoc& doc, const char* error, std::string (Generator::*text)() const)
{
    Generator generator(&doc);
    if (!Passes(doc, generator))
        return error;
    generator.Generate();
    return (generator.*text)();
}

// A run's first check: the network passes the generator's, which then writes its text.
template <class Generator>
bool Generated(CKorvaneDoc& doc, Generator& generator, IBuildPrompts& prompts)
{
    if (!Passes(doc, generator)) {
        prompts.ShowMessage(run_text::kDebugFirst, IBuildPrompts::Icon::Exclamation);
        return false;
    }
    generator.Generate();
    return true;
}

// The order in which the errors bar lists its lines: alphabetical, case ignored.
bool ErrorLineBefore(const std::string& a, const std::string& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
        return std::tolower(x) < std::tolower(y);
    });
}

}  // namespace

std::string DescribeNetworkError(const CWidget& widget, const std::string& reason)
{
    std::string line = ErrorPrefix(widget.GetType()) + PointText(widget.GetStartPoint()) + ")  ";
    if (widget.IsTwoEnded())
        line += "(" + PointText(widget.GetEndPoint()) + ")  ";
    return line + reason;
}

std::vector<CNetworkError> CBuildCommands::DebugNetwork()
{
    CNDLGenerator generator(&m_doc);
    std::map<std::uint64_t, std::string> reasons = RefusedValues(m_doc);
    const bool passed = generator.Validate() && reasons.empty();
    if (passed)
        m_prompts.ShowMessage(run_text::kNoErrorFound, IBuildPrompts::Icon::Information);
    else
        m_prompts.ShowMessage(run_text::kErrorsFoundIn + m_doc.GetTitle() + ".mc", IBuildPrompts::Icon::Information);

    const CWidgetCollection& failed = *generator.GetErrors();
    for (int i = 0; i < failed.GetSize(); ++i) {
        std::string& reason = reasons[failed.GetAt(i)->GetSerial()];
        reason = generator.GetErrorReason(i) + (reason.empty() ? "" : ", and " + reason);
    }
    std::vector<CNetworkError> errors;
    for (const CWidget* widget : m_doc.GetWidgetsInOrder())
        if (const auto found = reasons.find(widget->GetSerial()); found != reasons.end())
            errors.push_back({widget->GetSerial(), DescribeNetworkError(*widget, found->second)});
    if (const auto found = reasons.find(CNetworkError::kSettingsSerial); found != reasons.end())
        errors.push_back({found->first, std::string(run_text::kSimulationSettingsTitle) + "  " + found->second});
    std::stable_sort(errors.begin(), errors.end(),
                     [](const CNetworkError& a, const CNetworkError& b) { return ErrorLineBefore(a.text, b.text); });
    return errors;
}

std::string CBuildCommands::NDLText(CKorvaneDoc& doc)
{
    return TextOrError(doc, run_text::kNDLGeneratorError, &CNDLGenerator::GetNDL);
}

std::string CBuildCommands::GMLText(CKorvaneDoc& doc)
{
    return TextOrError(doc, run_text::kGMLGeneratorError, &CGMLGenerator::GetGML);
}

std::optional<COutputNames> CBuildCommands::OutputNames(const COutputPlace& place)
{
    auto names = MakeOutputNames(m_doc.GetTitle(), place.documentFile, place.userDataFolder,
                                 m_doc.m_workspace.m_bCreateDirectory == 1);
    if (!names)
        m_prompts.ShowMessage(run_text::kInvalidOutputName, IBuildPrompts::Icon::Exclamation);
    return names;
}

std::unique_ptr<CMonteCarloJob> CBuildCommands::PrepareMonteCarloRun(bool busy, const COutputPlace& place,
                                                                     const void* sender)
{
    CNDLGenerator generator(&m_doc);
    if (!Generated(m_doc, generator, m_prompts))
        return nullptr;
    if (m_doc.m_pSimulationSettings->quantsPerDay < 1 &&
        !m_prompts.AskYesNo(run_text::kQuantsQuestion, IBuildPrompts::Icon::Exclamation))
        return nullptr;
    if (busy)
        return nullptr;
    const auto names = OutputNames(place);
    if (!names)
        return nullptr;
    if (const std::string failure = CreateOutputFolder(*names); !failure.empty()) {
        m_prompts.ShowMessage(failure, IBuildPrompts::Icon::Exclamation);
        return nullptr;
    }

    m_doc.SetMonteCarloResultPath(sender, names->htmlFile.string());
    m_doc.SetModifiedFlag();
    return std::make_unique<CMonteCarloJob>(MakeMonteCarloParams(m_doc.GetTitle(), generator.GetNDL(), *names));
}

std::unique_ptr<CAnalyticalJob> CBuildCommands::PrepareAnalyticalRun(bool busy, const COutputPlace& place)
{
    CGMLGenerator generator(&m_doc);
    if (!Generated(m_doc, generator, m_prompts))
        return nullptr;
    if (busy)
        return nullptr;
    // A title that cannot name a file is refused here too, though the run writes no file.
    if (!OutputNames(place))
        return nullptr;

    AnalyticalThreadParams params;
    params.m_strGML = generator.GetGML();
    params.m_bMinimumCutSet = m_doc.m_analytical.m_bMinimumCutSet;
    params.m_nLoadSheddingMethod = m_doc.m_analytical.m_nLoadSheddingMethod;
    params.m_bHasTransformerOrEquipment =
        m_doc.m_pTransformers->GetSize() > 0 || m_doc.m_pEquipments->GetSize() > 0 ? 1 : 0;
    params.m_nFaultCount = m_doc.m_analytical.m_nFaultCount;
    m_doc.SetModifiedFlag();
    return std::make_unique<CAnalyticalJob>(std::move(params));
}
