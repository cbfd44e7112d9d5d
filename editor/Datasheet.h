// A widget's datasheet without its windows: which pages it has, the values they show, the checks
// a value must pass and the writing back on OK.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/DatasheetValues.h"
#include "editor/EngineKind.h"
#include "editor/FieldRule.h"
#include "model/Widget.h"

class CKorvaneDoc;
class CLoadDemand;
struct CNdlRange;

// The Monte Carlo page a widget type shows first.
enum class MonteCarloPageKind { LineEquipment, Component, Recloser, LoadPoint, BusBar };

// Ranges of the analytical values, and the rules of the Monte Carlo values (any finite number).
namespace datasheet {
inline constexpr CFieldRule kRate{CFieldRule::Kind::Number, 0.0, 9999999.0};
inline constexpr CFieldRule kMaxCapacity{CFieldRule::Kind::Number, 0.0, 10000000.0};
inline constexpr CFieldRule kSwitchTime{CFieldRule::Kind::Number, 0.0, 100000000.0};
inline constexpr CFieldRule kNumCustomers{CFieldRule::Kind::Integer, 0.0, 99999999.0};
inline constexpr CFieldRule kOptionalValue{CFieldRule::Kind::Number};
inline constexpr CFieldRule kCustomers{CFieldRule::Kind::Integer};
}  // namespace datasheet

// A value the widget must not take: the label of its field and the message for the user.
struct CDatasheetProblem {
    std::string field;
    std::string message;
};

// Why a run refuses a value: it is not a finite number, or the NDL text writes it with `digits`
// significant digits as a number that the reader cannot read or `range` (the reader's range of the
// value, null when the text does not carry it) refuses; nullopt when the run takes the value.
std::optional<CDatasheetProblem> RunValueProblem(const char* field, double value, const CNdlRange* range,
                                                 int digits);

// The message refusing a load point name that the NDL text cannot carry (a quote, '#', '\', '$'
// or a control character), else empty.
std::string CheckLoadPointName(const std::string& name);

class CDatasheet {
public:
    // Copies the widget's values into the page values: an unset optional value clears its flag.
    // The load point's load classes are enabled by the document's clustered data file names.
    CDatasheet(CWidget& widget, const CKorvaneDoc& doc);

    WidgetType GetType() const { return m_widget.GetType(); }
    // "Feeder Datasheet", "Bus Bar data sheet", ...
    const char* GetTitle() const;
    MonteCarloPageKind GetMonteCarloPage() const;
    // Whether the analytical page lets the user change the fault rate, repair time, length and
    // maximum capacity (only the feeder's does; the other pages show them greyed).
    bool AnalyticalFeederValuesEditable() const { return GetType() == WidgetType::Line; }

    // The first value that the widget must not take, in page order.
    std::optional<CDatasheetProblem> Check() const;
    // Every value, shown or greyed, that a run of `engine` refuses (nullopt: a run of either), in
    // page order: one that is not a finite number (only a file can bring one), a Monte Carlo value
    // that the NDL text carries and its reader refuses, or an analytical value that the GML reader
    // refuses (a file can bring one below 0 or above 1e12); each as its text writes it.
    std::vector<CDatasheetProblem> RunRefusals(std::optional<EngineKind> engine = std::nullopt) const;
    // Why the NDL reader refuses the demand of a load point whose values it takes one by one: the
    // load scaled as the text writes it, at `quantsPerDay`, to `network`, which holds the loads
    // before it in the text and to which it is added when taken.
    std::optional<CDatasheetProblem> DemandRefusal(CLoadDemand& network, int quantsPerDay) const;
    // Writes the values back (a cleared flag writes -1.0, -1 or the empty name; the profile only
    // when its flag is set). Returns whether any value of the widget changed.
    bool Store() const;

    // The page values; only those of the widget's own pages are used.
    CLineEquipmentValues m_lineEquipment;
    CComponentValues m_component;
    CRecloserValues m_recloser;
    CLoadPointValues m_loadPoint;
    CAnalyticalFeederValues m_analyticalFeeder;
    CAnalyticalRecloserValues m_analyticalRecloser;
    CAnalyticalLoadPointValues m_analyticalLoadPoint;

private:
    std::vector<CDatasheetProblem> FindProblems(bool forRun, std::optional<EngineKind> engine) const;

    CWidget& m_widget;
};
