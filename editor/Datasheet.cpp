#include "editor/Datasheet.h"

#include <algorithm>
#include <cmath>

#include "analytical/graph/Gml.h"
#include "model/KorvaneDoc.h"
#include "model/WidgetText.h"
#include "montecarlo/LoadDemand.h"
#include "montecarlo/NdlRange.h"
#include "montecarlo/NDLGenerator.h"
#include "montecarlo/ParserSyntax.h"
#include "platform/NumberFormat.h"

namespace {

constexpr double kUnset = -1.0;

// An optional value going in: set values check their box and fill the edit.
void In(double widgetValue, bool& flag, double& value)
{
    flag = widgetValue != kUnset;
    if (flag)
        value = widgetValue;
}

// Assigns and notes whether the widget's value changed.
template <typename T>
void Put(T& field, const T& value, bool& changed)
{
    if (!(field == value)) {
        field = value;
        changed = true;
    }
}

void PutOptional(double& field, bool flag, double value, bool& changed)
{
    Put(field, flag ? value : kUnset, changed);
}

// The message refusing a value whose text, `written`, a reader takes as `read` (nullopt: as no
// number at all), or nullopt when `takes` takes what it reads. The text is named only when it
// turns a value that would be taken into one that is not.
template <class Takes>
std::optional<CDatasheetProblem> WrittenValueProblem(const char* field, double value, const char* textName,
                                                     const std::string& written, std::optional<double> read,
                                                     const std::string& range, Takes takes)
{
    const std::string shown = FormatEditNumber(value);
    const std::string writes = ", which the " + std::string(textName) + " text writes as " + written;
    if (!read)
        return CDatasheetProblem{field, shown + writes + ", a number too large to read back"};
    if (takes(*read))
        return std::nullopt;
    return CDatasheetProblem{field, shown + (takes(value) ? writes : std::string()) + ", not " + range};
}

// Why the analytical run refuses a value of the GML text, which writes it with four decimals.
std::optional<CDatasheetProblem> GmlValueProblem(const char* field, double value)
{
    if (auto problem = RunValueProblem(field, value, nullptr, 0))
        return problem;
    const std::string written = korvane::FormatFixed4(value);
    return WrittenValueProblem(field, value, "GML", written, korvane::ParseDouble(written), "a number from 0 to 1e12",
                               [](double x) { return korvane::graph::IsGmlRealInRange(x); });
}

// Collects the refused values: on entry by the fields' rules; for a run of `engine` (nullopt: of
// either), every value that is not a finite number or that the NDL or GML reader refuses as its
// text writes it.
class CProblemFinder {
public:
    CProblemFinder(bool forRun, std::optional<EngineKind> engine) : m_forRun(forRun), m_engine(engine) {}
    bool ForRun() const { return m_forRun; }
    // An analytical value.
    void Value(const char* field, double value, const CFieldRule& rule)
    {
        if (m_forRun) {
            if (Checks(EngineKind::Analytical))
                Add(GmlValueProblem(field, value));
        } else if (std::string message = rule.Check(value); !message.empty()) {
            Add(CDatasheetProblem{field, std::move(message)});
        }
    }
    // A Monte Carlo value; `ndl` is the reader's range when the NDL text carries the value.
    void Optional(const char* field, bool flag, double value, const CNdlRange* ndl)
    {
        if (!flag)
            return;
        if (!m_forRun)
            Value(field, value, datasheet::kOptionalValue);
        else if (Checks(EngineKind::MonteCarlo))
            Add(RunValueProblem(field, value, ndl, kNdlDigits));
    }
    void Name(const char* field, bool flag, const std::string& name)
    {
        if (!flag || m_forRun)
            return;
        Refuse(field, CheckLoadPointName(name));
    }
    // A refusal of the Monte Carlo field's values as a whole; an empty message refuses nothing.
    void Refuse(const char* field, std::string message)
    {
        if (!message.empty() && (!m_forRun || Checks(EngineKind::MonteCarlo)))
            Add(CDatasheetProblem{field, std::move(message)});
    }
    std::vector<CDatasheetProblem> Result() && { return std::move(m_problems); }

private:
    bool Checks(EngineKind engine) const { return !m_engine || *m_engine == engine; }
    void Add(std::optional<CDatasheetProblem> problem)
    {
        if (problem)
            m_problems.push_back(std::move(*problem));
    }

    bool m_forRun;
    std::optional<EngineKind> m_engine;
    std::vector<CDatasheetProblem> m_problems;
};

// The number the NDL reader reads from the text that writes `value`, which it can read.
double AsNdlReads(double value)
{
    double read = value;
    CParserSyntax::ReadNumber(korvane::FormatSignificant(value, kNdlDigits), read);
    return read;
}

void LoadFeederValues(const CFeederData& feeder, CAnalyticalFeederValues& v)
{
    v.m_nFeederType = feeder.m_nFeederType;
    v.m_dFaultRate = feeder.m_dFaultRate;
    v.m_dFeederLength = feeder.m_dFeederLength;
    v.m_dMaxCapacity = feeder.m_dMaxCapacity;
    v.m_dRepairTime = feeder.m_dRepairTime;
}

void StoreFeederValues(const CAnalyticalFeederValues& v, CFeederData& feeder, bool& changed)
{
    Put(feeder.m_nFeederType, v.m_nFeederType, changed);
    Put(feeder.m_dFaultRate, v.m_dFaultRate, changed);
    Put(feeder.m_dFeederLength, v.m_dFeederLength, changed);
    Put(feeder.m_dMaxCapacity, v.m_dMaxCapacity, changed);
    Put(feeder.m_dRepairTime, v.m_dRepairTime, changed);
}

}  // namespace

std::optional<CDatasheetProblem> RunValueProblem(const char* field, double value, const CNdlRange* range,
                                                 int digits)
{
    if (!std::isfinite(value))
        return CDatasheetProblem{field, "not a finite number (NaN or infinite)"};
    if (range == nullptr)
        return std::nullopt;
    // The reader sees the written text, not the value: a value rounded past the largest double
    // would stop the run at a line the user never wrote.
    const std::string written = korvane::FormatSignificant(value, digits);
    double read = 0.0;
    const bool readable = CParserSyntax::ReadNumber(written, read);
    return WrittenValueProblem(field, value, "NDL", written, readable ? std::optional<double>(read) : std::nullopt,
                               range->Describe(), [range](double x) { return range->Accepts(x); });
}

std::string CheckLoadPointName(const std::string& name)
{
    if (!CNDLGenerator::IsNameWritable(name))
        return "A load point name cannot contain a double quote, '#', '\\', '$' or a control character such as a "
               "line break or a tab.";
    return {};
}

CDatasheet::CDatasheet(CWidget& widget, const CKorvaneDoc& doc) : m_widget(widget)
{
    if (auto* branch = dynamic_cast<CBranchWidget*>(&widget)) {
        CLineEquipmentValues& v = m_lineEquipment;
        In(branch->m_dCapacity, v.m_bCapacity, v.m_dCapacity);
        In(branch->m_dFailure1, v.m_bFailure1, v.m_dFailure1);
        In(branch->m_dFailure2, v.m_bFailure2, v.m_dFailure2);
        In(branch->m_dIsolation1, v.m_bIsolation1, v.m_dIsolation1);
        In(branch->m_dIsolation2, v.m_bIsolation2, v.m_dIsolation2);
        In(branch->m_dLength, v.m_bLength, v.m_dLength);
        In(branch->m_dRepair1, v.m_bRepair1, v.m_dRepair1);
        In(branch->m_dRepair2, v.m_bRepair2, v.m_dRepair2);
        v.m_strNotes = branch->m_strNotes;
        LoadFeederValues(*branch, m_analyticalFeeder);
        m_analyticalFeeder.m_strNotes = branch->m_strAnalyticalNotes;
        if (auto* equipment = dynamic_cast<CEquipmentBase*>(branch)) {
            m_analyticalFeeder.m_dTransOutageRate = equipment->m_dTransOutageRate;
            m_analyticalFeeder.m_dTransRepairTime = equipment->m_dTransRepairTime;
        }
    } else if (auto* device = dynamic_cast<CSwitchWidget*>(&widget)) {
        In(device->m_dCapacity, m_component.m_bCapacity, m_component.m_dCapacity);
        m_component.m_strNotes = device->m_strNotes;
        LoadFeederValues(*device, m_analyticalFeeder);
        m_analyticalFeeder.m_strNotes = device->m_strAnalyticalNotes;
        if (auto* isolator = dynamic_cast<CIsolator*>(device))
            m_analyticalFeeder.m_dSwitchTime = isolator->m_dSwitchTime;
    } else if (auto* recloser = dynamic_cast<CRecloser*>(&widget)) {
        CRecloserValues& v = m_recloser;
        In(recloser->m_dCapacity, v.m_bCapacity, v.m_dCapacity);
        In(recloser->m_dReclose1, v.m_bReclose1, v.m_dReclose1);
        In(recloser->m_dReclose2, v.m_bReclose2, v.m_dReclose2);
        v.m_strNotes = recloser->m_strNotes;
        m_analyticalRecloser.m_dFeederLength = recloser->m_dFeederLength;
        m_analyticalRecloser.m_dReclTime = recloser->m_dReclTime;
        m_analyticalRecloser.m_strNotes = recloser->m_strAnalyticalNotes;
    } else if (auto* load = dynamic_cast<CLoadPoint*>(&widget)) {
        CLoadPointValues& v = m_loadPoint;
        v.m_bName = !load->m_strName.empty();
        if (v.m_bName)
            v.m_strName = load->m_strName;
        v.m_bCustomers = load->m_nCustomers != -1;
        if (v.m_bCustomers)
            v.m_nCustomers = load->m_nCustomers;
        In(load->m_dAverage, v.m_bAverage, v.m_dAverage);
        In(load->m_dPeak, v.m_bPeak, v.m_dPeak);
        v.m_bProfile = !load->m_profile.empty();
        v.m_profile = load->m_profile;
        v.m_strNotes = load->m_strNotes;
        CAnalyticalLoadPointValues& a = m_analyticalLoadPoint;
        a.m_dLoad = load->m_dLoad;
        a.m_nNumCustomers = load->m_nNumCustomers;
        a.m_strNotes = load->m_strAnalyticalNotes;
        const LoadClassArray<std::string>& files = doc.m_analytical.m_dataFiles;
        a.m_bAgriculturalEnabled = !files[kAgriculturalData].empty();
        a.m_bIndustrialEnabled = !files[kIndustrialData].empty();
        a.m_bResidentialEnabled = !files[kResidentialData].empty();
        a.m_bOtherEnabled = !files[kOtherData].empty();
    } else if (auto* source = dynamic_cast<CGenSource*>(&widget)) {
        In(source->m_dCapacity, m_component.m_bCapacity, m_component.m_dCapacity);
        m_component.m_strNotes = source->m_strNotes;
    }
}

const char* CDatasheet::GetTitle() const
{
    switch (GetType()) {
    case WidgetType::Line: return "Feeder Datasheet";
    case WidgetType::CircuitBreaker: return "Circuit Breaker Datasheet";
    case WidgetType::Fuse: return "Fuse Datasheet";
    case WidgetType::Recloser: return "Recloser Datasheet";
    case WidgetType::Isolator: return "Isolator Datasheet";
    case WidgetType::BusBar: return "Bus Bar data sheet";
    case WidgetType::LoadPoint: return "Load Point Datasheet";
    case WidgetType::GenSource: return "Gen Source Datasheet";
    case WidgetType::Equipment: return "Equipment Datasheet";
    case WidgetType::Transformer: return "Transformer Datasheet";
    }
    return "";
}

MonteCarloPageKind CDatasheet::GetMonteCarloPage() const
{
    switch (GetType()) {
    case WidgetType::Line:
    case WidgetType::Equipment:
    case WidgetType::Transformer: return MonteCarloPageKind::LineEquipment;
    case WidgetType::Recloser: return MonteCarloPageKind::Recloser;
    case WidgetType::LoadPoint: return MonteCarloPageKind::LoadPoint;
    case WidgetType::BusBar: return MonteCarloPageKind::BusBar;
    case WidgetType::CircuitBreaker:
    case WidgetType::Fuse:
    case WidgetType::Isolator:
    case WidgetType::GenSource: return MonteCarloPageKind::Component;
    }
    return MonteCarloPageKind::BusBar;
}

std::optional<CDatasheetProblem> CDatasheet::Check() const
{
    std::vector<CDatasheetProblem> problems = FindProblems(false, std::nullopt);
    if (problems.empty())
        return std::nullopt;
    return std::move(problems.front());
}

std::vector<CDatasheetProblem> CDatasheet::RunRefusals(std::optional<EngineKind> engine) const
{
    return FindProblems(true, engine);
}

std::optional<CDatasheetProblem> CDatasheet::DemandRefusal(CLoadDemand& network, int quantsPerDay) const
{
    const CLoadPointValues& v = m_loadPoint;
    const double average = v.m_bAverage ? AsNdlReads(v.m_dAverage) : -1.0;
    const double peak = v.m_bPeak ? AsNdlReads(v.m_dPeak) : -1.0;
    const bool givenProfile = v.m_bProfile && !v.m_profile.empty();
    std::vector<double> profile{1.0};  // the reader's, when the text gives none
    if (givenProfile) {
        profile.clear();
        for (double value : v.m_profile)
            profile.push_back(AsNdlReads(value));
    }
    const double before = network.Total();
    const CLoadDemand::Curve curve = CLoadDemand::Scale(profile, std::uint64_t{365} * quantsPerDay, average, peak);
    const CLoadDemand::Result result = network.Add(curve);
    if (result == CLoadDemand::Result::Built)
        return std::nullopt;
    if (result == CLoadDemand::Result::NothingToScale)
        return CDatasheetProblem{"Load Profile", "0 throughout, with no value above 0 to scale"};

    constexpr double kMax = CLoadDemand::kMaxDemand;
    const auto beyond = [](double x) { return x != -1.0 && !(x <= kMax); };
    // Scaling overflowed though every given value is within the limit: the profile's values are
    // too small for them.
    if (curve.result != CLoadDemand::Result::Built && curve.largest <= kMax && !beyond(average) && !beyond(peak)) {
        const double largest = givenProfile ? *std::max_element(v.m_profile.begin(), v.m_profile.end()) : 1.0;
        return CDatasheetProblem{"Load Profile", "at most " + FormatEditNumber(largest) +
                                                     ", too small to be scaled to the load's average or peak"};
    }
    // The field to change: a value beyond any network by itself, an average that lifts the curve
    // over its peak, else the value that sets the load's scale (neither: a demand of 1).
    const char* field = nullptr;
    if (beyond(peak))
        field = "Peak";
    else if (beyond(average) || (average != -1.0 && peak != -1.0 && average > peak))
        field = "Average";
    else if (peak != -1.0)
        field = "Peak";
    else if (average != -1.0)
        field = "Average";

    const std::string shown =
        field == nullptr ? "not given" : FormatEditNumber(field[0] == 'P' ? v.m_dPeak : v.m_dAverage);
    const std::string why = curve.result != CLoadDemand::Result::Built
                                ? "a scaled peak above 1e15, more than any network can carry"
                                : "a scaled peak of " + FormatEditNumber(curve.largest) + " that, added to the " +
                                      FormatEditNumber(before) + " of the loads before it, passes 1e15";
    return CDatasheetProblem{field == nullptr ? "Peak" : field, shown + ", which gives the load " + why};
}

std::vector<CDatasheetProblem> CDatasheet::FindProblems(bool forRun, std::optional<EngineKind> engine) const
{
    using namespace datasheet;
    namespace ndl = ndl_range;
    CProblemFinder find(forRun, engine);
    switch (GetMonteCarloPage()) {
    case MonteCarloPageKind::LineEquipment: {
        const CLineEquipmentValues& v = m_lineEquipment;
        find.Optional("Capacity", v.m_bCapacity, v.m_dCapacity, &ndl::kCapacity);
        find.Optional("Failure 1", v.m_bFailure1, v.m_dFailure1, &ndl::kPairFirst);
        find.Optional("Failure 2", v.m_bFailure2, v.m_dFailure2, &ndl::kPairSecond);
        find.Optional("Isolation 1", v.m_bIsolation1, v.m_dIsolation1, &ndl::kPairFirst);
        find.Optional("Isolation 2", v.m_bIsolation2, v.m_dIsolation2, &ndl::kPairSecond);
        // An equipment's or a transformer's length stays out of the text.
        find.Optional("Length", v.m_bLength, v.m_dLength, GetType() == WidgetType::Line ? &ndl::kLength : nullptr);
        find.Optional("Repair 1", v.m_bRepair1, v.m_dRepair1, &ndl::kPairFirst);
        find.Optional("Repair 2", v.m_bRepair2, v.m_dRepair2, &ndl::kPairSecond);
        break;
    }
    case MonteCarloPageKind::Component:
        find.Optional("Capacity", m_component.m_bCapacity, m_component.m_dCapacity, &ndl::kCapacity);
        break;
    case MonteCarloPageKind::Recloser:
        find.Optional("Capacity", m_recloser.m_bCapacity, m_recloser.m_dCapacity, &ndl::kCapacity);
        find.Optional("Reclosing time 1", m_recloser.m_bReclose1, m_recloser.m_dReclose1, &ndl::kPairFirst);
        find.Optional("Reclosing time 2", m_recloser.m_bReclose2, m_recloser.m_dReclose2, &ndl::kPairSecond);
        break;
    case MonteCarloPageKind::LoadPoint: {
        const CLoadPointValues& v = m_loadPoint;
        find.Name("Name", v.m_bName, v.m_strName);
        find.Optional("Num customers", v.m_bCustomers, v.m_nCustomers, &ndl::kCustomers);
        find.Optional("Average", v.m_bAverage, v.m_dAverage, &ndl::kAverage);
        find.Optional("Peak", v.m_bPeak, v.m_dPeak, &ndl::kPeak);
        if (v.m_bProfile) {
            for (double value : v.m_profile)
                find.Optional("Load Profile", true, value, &ndl::kProfileValue);
            // The run scales the profile to the average or peak (1 when neither is given); a
            // value below 0 is refused first.
            if (forRun && std::all_of(v.m_profile.begin(), v.m_profile.end(), [](double x) { return x >= 0.0; }) &&
                std::none_of(v.m_profile.begin(), v.m_profile.end(), [](double x) { return x > 0.0; }))
                find.Refuse("Load Profile", "0 throughout, with no value above 0 to scale");
        }
        break;
    }
    case MonteCarloPageKind::BusBar: break;
    }

    const CAnalyticalFeederValues& f = m_analyticalFeeder;
    switch (GetType()) {
    case WidgetType::Line:
    case WidgetType::CircuitBreaker:
    case WidgetType::Fuse:
    case WidgetType::Isolator:
    case WidgetType::Equipment:
    case WidgetType::Transformer:
        // Greyed values pass through as they came, unless the run's reader would refuse them.
        if (AnalyticalFeederValuesEditable() || find.ForRun()) {
            find.Value("Fault rate", f.m_dFaultRate, kRate);
            find.Value("Length", f.m_dFeederLength, kRate);
            find.Value("Max Capacity", f.m_dMaxCapacity, kMaxCapacity);
            find.Value("Repair Time", f.m_dRepairTime, kRate);
        }
        if (GetType() == WidgetType::Isolator)
            find.Value("Switch Time", f.m_dSwitchTime, kSwitchTime);
        if (GetType() == WidgetType::Equipment || GetType() == WidgetType::Transformer) {
            find.Value("Transformer outage rate", f.m_dTransOutageRate, kRate);
            find.Value("Transformer repair time", f.m_dTransRepairTime, kRate);
        }
        break;
    case WidgetType::Recloser:
        find.Value("Length", m_analyticalRecloser.m_dFeederLength, kRate);
        find.Value("Reclosing time", m_analyticalRecloser.m_dReclTime, kRate);
        break;
    case WidgetType::LoadPoint:
        find.Value("Load", m_analyticalLoadPoint.m_dLoad, kRate);
        find.Value("Num customers", m_analyticalLoadPoint.m_nNumCustomers, kNumCustomers);
        break;
    case WidgetType::BusBar:
    case WidgetType::GenSource: break;
    }
    return std::move(find).Result();
}

bool CDatasheet::Store() const
{
    bool changed = false;
    if (auto* branch = dynamic_cast<CBranchWidget*>(&m_widget)) {
        const CLineEquipmentValues& v = m_lineEquipment;
        PutOptional(branch->m_dCapacity, v.m_bCapacity, v.m_dCapacity, changed);
        PutOptional(branch->m_dFailure1, v.m_bFailure1, v.m_dFailure1, changed);
        PutOptional(branch->m_dFailure2, v.m_bFailure2, v.m_dFailure2, changed);
        PutOptional(branch->m_dIsolation1, v.m_bIsolation1, v.m_dIsolation1, changed);
        PutOptional(branch->m_dIsolation2, v.m_bIsolation2, v.m_dIsolation2, changed);
        PutOptional(branch->m_dLength, v.m_bLength, v.m_dLength, changed);
        PutOptional(branch->m_dRepair1, v.m_bRepair1, v.m_dRepair1, changed);
        PutOptional(branch->m_dRepair2, v.m_bRepair2, v.m_dRepair2, changed);
        Put(branch->m_strNotes, v.m_strNotes, changed);
        StoreFeederValues(m_analyticalFeeder, *branch, changed);
        Put(branch->m_strAnalyticalNotes, m_analyticalFeeder.m_strNotes, changed);
        if (auto* equipment = dynamic_cast<CEquipmentBase*>(branch)) {
            Put(equipment->m_dTransOutageRate, m_analyticalFeeder.m_dTransOutageRate, changed);
            Put(equipment->m_dTransRepairTime, m_analyticalFeeder.m_dTransRepairTime, changed);
        }
    } else if (auto* device = dynamic_cast<CSwitchWidget*>(&m_widget)) {
        PutOptional(device->m_dCapacity, m_component.m_bCapacity, m_component.m_dCapacity, changed);
        Put(device->m_strNotes, m_component.m_strNotes, changed);
        StoreFeederValues(m_analyticalFeeder, *device, changed);
        Put(device->m_strAnalyticalNotes, m_analyticalFeeder.m_strNotes, changed);
        if (auto* isolator = dynamic_cast<CIsolator*>(device))
            Put(isolator->m_dSwitchTime, m_analyticalFeeder.m_dSwitchTime, changed);
    } else if (auto* recloser = dynamic_cast<CRecloser*>(&m_widget)) {
        const CRecloserValues& v = m_recloser;
        PutOptional(recloser->m_dCapacity, v.m_bCapacity, v.m_dCapacity, changed);
        PutOptional(recloser->m_dReclose1, v.m_bReclose1, v.m_dReclose1, changed);
        PutOptional(recloser->m_dReclose2, v.m_bReclose2, v.m_dReclose2, changed);
        Put(recloser->m_strNotes, v.m_strNotes, changed);
        Put(recloser->m_dFeederLength, m_analyticalRecloser.m_dFeederLength, changed);
        Put(recloser->m_dReclTime, m_analyticalRecloser.m_dReclTime, changed);
        Put(recloser->m_strAnalyticalNotes, m_analyticalRecloser.m_strNotes, changed);
    } else if (auto* load = dynamic_cast<CLoadPoint*>(&m_widget)) {
        const CLoadPointValues& v = m_loadPoint;
        Put(load->m_strName, v.m_bName ? v.m_strName : std::string(), changed);
        Put(load->m_nCustomers, v.m_bCustomers ? v.m_nCustomers : std::int32_t{-1}, changed);
        PutOptional(load->m_dAverage, v.m_bAverage, v.m_dAverage, changed);
        PutOptional(load->m_dPeak, v.m_bPeak, v.m_dPeak, changed);
        if (v.m_bProfile)
            Put(load->m_profile, v.m_profile, changed);
        Put(load->m_strNotes, v.m_strNotes, changed);
        const CAnalyticalLoadPointValues& a = m_analyticalLoadPoint;
        Put(load->m_dLoad, a.m_dLoad, changed);
        Put(load->m_nNumCustomers, a.m_nNumCustomers, changed);
        Put(load->m_strAnalyticalNotes, a.m_strNotes, changed);
    } else if (auto* source = dynamic_cast<CGenSource*>(&m_widget)) {
        PutOptional(source->m_dCapacity, m_component.m_bCapacity, m_component.m_dCapacity, changed);
        Put(source->m_strNotes, m_component.m_strNotes, changed);
    }
    return changed;
}
