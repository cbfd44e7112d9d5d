#include "editor/BuildCommands.h"

#include <algorithm>
#include <cctype>

#include "analytical/GMLGenerator.h"
#include "editor/Datasheet.h"
#include "editor/OutputNames.h"
#include "editor/RunMessages.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/LoadDemand.h"
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

// Every Monte Carlo setting that a run refuses, in the dialog's order. 0 in the quanta, the year
// counts and the accuracy is "not given": the text leaves those out, and the Monte Carlo run asks
// for the quanta itself.
std::vector<CDatasheetProblem> SettingsRefusals(const CSimulationSettings& s)
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
    std::vector<CDatasheetProblem> problems;
    for (const auto& v : values) {
        const bool notGiven = v.value == 0.0 && v.range.kind != CNdlRange::Kind::Flag;
        if (auto problem = RunValueProblem(v.field, v.value, notGiven ? nullptr : &v.range, v.digits))
            problems.push_back(std::move(*problem));
    }
    return problems;
}

// A value that a run refuses: the widget holding it (null: the network's Monte Carlo settings) and why.
struct CRefusal {
    const CWidget* widget;
    std::string reason;
};

std::string RefusalReason(const CDatasheetProblem& problem)
{
    return "the value of \"" + problem.field + "\" is " + problem.message;
}

// Every value that a run of `engine` (nullopt: of either) refuses, widget by widget in drawing
// order, then the settings'. In the text such a value would surface as an error at a line the user
// never wrote.
std::vector<CRefusal> RefusedValues(CKorvaneDoc& doc, std::optional<EngineKind> engine)
{
    const bool monteCarlo = !engine || *engine == EngineKind::MonteCarlo;
    const CSimulationSettings& settings = *doc.m_pSimulationSettings;
    // The loads' demand, summed in the text's order, when the quanta that shape it are given.
    std::optional<CLoadDemand> demand;
    if (monteCarlo && ndl_range::kQuantsPerDay.Accepts(settings.quantsPerDay))
        demand.emplace();

    std::vector<CRefusal> refusals;
    for (CWidget* w : doc.GetWidgetsInOrder()) {
        const CDatasheet sheet(*w, doc);
        for (const CDatasheetProblem& problem : sheet.RunRefusals(engine))
            refusals.push_back({w, RefusalReason(problem)});
        // A load the reader refuses value by value never reaches the demand rule.
        if (demand && w->GetType() == WidgetType::LoadPoint && sheet.RunRefusals(EngineKind::MonteCarlo).empty())
            if (const auto problem = sheet.DemandRefusal(*demand, settings.quantsPerDay))
                refusals.push_back({w, RefusalReason(*problem)});
    }
    if (monteCarlo)
        for (const CDatasheetProblem& problem : SettingsRefusals(settings))
            refusals.push_back({nullptr, RefusalReason(problem)});
    return refusals;
}

EngineKind EngineOf(const CNDLGenerator&)
{
    return EngineKind::MonteCarlo;
}

EngineKind EngineOf(const CGMLGenerator&)
{
    return EngineKind::Analytical;
}

// The network passes the generator's check and holds only values that its engine's run takes.
template <class Generator>
bool Passes(CKorvaneDoc& doc, Generator& generator)
{
    return generator.Validate() && RefusedValues(doc, EngineOf(generator)).empty();
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
    const bool connected = generator.Validate();
    const std::vector<CRefusal> refusals = RefusedValues(m_doc, std::nullopt);
    if (connected && refusals.empty())
        m_prompts.ShowMessage(run_text::kNoErrorFound, IBuildPrompts::Icon::Information);
    else
        m_prompts.ShowMessage(run_text::kErrorsFoundIn + m_doc.GetTitle() + ".mc", IBuildPrompts::Icon::Information);

    // One line for what the generator found of each widget, and one for each refused value.
    std::vector<CNetworkError> errors;
    const CWidgetCollection& failed = *generator.GetErrors();
    for (int i = 0; i < failed.GetSize(); ++i)
        errors.push_back(
            {failed.GetAt(i)->GetSerial(), DescribeNetworkError(*failed.GetAt(i), generator.GetErrorReason(i))});
    for (const CRefusal& refusal : refusals) {
        if (refusal.widget != nullptr)
            errors.push_back({refusal.widget->GetSerial(), DescribeNetworkError(*refusal.widget, refusal.reason)});
        else
            errors.push_back({CNetworkError::kSettingsSerial,
                              std::string(run_text::kSimulationSettingsTitle) + "  " + refusal.reason});
    }
    std::stable_sort(errors.begin(), errors.end(),
                     [](const CNetworkError& a, const CNetworkError& b) { return ErrorLineBefore(a.text, b.text); });
    return errors;
}

bool CBuildCommands::NetworkPasses(CKorvaneDoc& doc, EngineKind engine)
{
    if (engine == EngineKind::MonteCarlo) {
        CNDLGenerator generator(&doc);
        return Passes(doc, generator);
    }
    CGMLGenerator generator(&doc);
    return Passes(doc, generator);
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
