#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "editor/Datasheet.h"
#include "editor/Mode.h"
#include "model/KorvaneDoc.h"
#include "platform/Archive.h"

using namespace std::string_literals;

namespace {

using Edit = std::function<void(CDatasheet&)>;

// The widget's whole stored record: equal bytes mean no value changed.
std::vector<std::uint8_t> Record(CWidget& widget)
{
    CArchive ar;
    widget.Serialize(ar);
    return ar.GetBuffer();
}

std::unique_ptr<CWidget> MakeWidget(WidgetType type)
{
    return NewWidget(type, {10, 10}, {50, 10});
}

template <typename T>
T& As(CWidget& w)
{
    return dynamic_cast<T&>(w);
}

// Every optional flag of the widget's Monte Carlo page, so tests can set or clear them all.
std::vector<bool*> OptionalFlags(CDatasheet& sheet)
{
    switch (sheet.GetMonteCarloPage()) {
    case MonteCarloPageKind::LineEquipment: {
        CLineEquipmentValues& v = sheet.m_lineEquipment;
        return {&v.m_bCapacity, &v.m_bFailure1, &v.m_bFailure2, &v.m_bIsolation1,
                &v.m_bIsolation2, &v.m_bLength, &v.m_bRepair1, &v.m_bRepair2};
    }
    case MonteCarloPageKind::Component: return {&sheet.m_component.m_bCapacity};
    case MonteCarloPageKind::Recloser:
        return {&sheet.m_recloser.m_bCapacity, &sheet.m_recloser.m_bReclose1, &sheet.m_recloser.m_bReclose2};
    case MonteCarloPageKind::LoadPoint: {
        CLoadPointValues& v = sheet.m_loadPoint;
        return {&v.m_bName, &v.m_bCustomers, &v.m_bAverage, &v.m_bPeak};
    }
    case MonteCarloPageKind::BusBar: return {};
    }
    return {};
}

// Gives every optional Monte Carlo value of the widget a set value, and a load point a profile.
void SetAllMonteCarloValues(CWidget& w)
{
    if (auto* b = dynamic_cast<CBranchWidget*>(&w)) {
        b->m_dCapacity = 11, b->m_dFailure1 = 0.25, b->m_dFailure2 = 2, b->m_dIsolation1 = 3;
        b->m_dIsolation2 = 4, b->m_dLength = 5, b->m_dRepair1 = 6, b->m_dRepair2 = 7;
    } else if (auto* s = dynamic_cast<CSwitchWidget*>(&w)) {
        s->m_dCapacity = 11;
    } else if (auto* r = dynamic_cast<CRecloser*>(&w)) {
        r->m_dCapacity = 11, r->m_dReclose1 = 0.5, r->m_dReclose2 = 1.5;
    } else if (auto* l = dynamic_cast<CLoadPoint*>(&w)) {
        l->m_strName = "North", l->m_nCustomers = 120, l->m_dAverage = 3.5, l->m_dPeak = 6;
        l->m_profile = {0.5, 1.0};
    } else if (auto* g = dynamic_cast<CGenSource*>(&w)) {
        g->m_dCapacity = 11;
    }
}

}  // namespace

// Per type, unset and set: the flags follow the values, OK without edits and Cancel write nothing,
// and cleared boxes write the unset values whatever the edit boxes hold.
TEST(Datasheet, FlagsFollowTheValuesAndClearedBoxesWriteTheUnsetValues)
{
    const std::pair<const char*, MonteCarloPageKind> sheets[] = {
        {"Feeder Datasheet", MonteCarloPageKind::LineEquipment},
        {"Circuit Breaker Datasheet", MonteCarloPageKind::Component},
        {"Fuse Datasheet", MonteCarloPageKind::Component},
        {"Recloser Datasheet", MonteCarloPageKind::Recloser},
        {"Isolator Datasheet", MonteCarloPageKind::Component},
        {"Bus Bar data sheet", MonteCarloPageKind::BusBar},
        {"Load Point Datasheet", MonteCarloPageKind::LoadPoint},
        {"Gen Source Datasheet", MonteCarloPageKind::Component},
        {"Equipment Datasheet", MonteCarloPageKind::LineEquipment},
        {"Transformer Datasheet", MonteCarloPageKind::LineEquipment},
    };
    CKorvaneDoc doc;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const auto type = static_cast<WidgetType>(t);
        SCOPED_TRACE(WidgetTypeName(type));
        for (const bool filled : {false, true}) {
            // A load point's name is the only optional value set by default.
            auto unsetWidget = [type] {
                auto w = MakeWidget(type);
                if (type == WidgetType::LoadPoint)
                    As<CLoadPoint>(*w).m_strName.clear();
                return w;
            };
            auto widget = unsetWidget();
            if (filled)
                SetAllMonteCarloValues(*widget);
            const auto before = Record(*widget);
            CDatasheet sheet(*widget, doc);
            EXPECT_STREQ(sheet.GetTitle(), sheets[t].first);
            EXPECT_EQ(sheet.GetMonteCarloPage(), sheets[t].second);
            for (bool* flag : OptionalFlags(sheet))
                EXPECT_EQ(*flag, filled);
            EXPECT_FALSE(sheet.Store());
            EXPECT_EQ(Record(*widget), before);

            CDatasheet cancelled(*widget, doc);
            for (bool* flag : OptionalFlags(cancelled))
                *flag = !*flag;
            cancelled.m_analyticalFeeder.m_dFaultRate = 99;
            cancelled.m_loadPoint.m_bProfile = true;
            cancelled.m_loadPoint.m_profile = {42};
            EXPECT_EQ(Record(*widget), before);

            if (!filled)
                continue;
            for (bool* flag : OptionalFlags(sheet))
                *flag = false;
            EXPECT_EQ(sheet.Store(), type != WidgetType::BusBar);
            auto unset = unsetWidget();
            if (type == WidgetType::LoadPoint)
                As<CLoadPoint>(*unset).m_profile = {0.5, 1.0};  // the profile has its own box
            EXPECT_EQ(Record(*widget), Record(*unset));
        }
    }
}

TEST(Datasheet, EveryEditedValueIsWrittenAndReported)
{
    using W = WidgetType;
    const struct {
        WidgetType type;
        Edit edit;
        std::function<bool(CWidget&)> written;
    } cases[] = {
        {W::Transformer, [](CDatasheet& s) { s.m_lineEquipment.m_bRepair2 = true, s.m_lineEquipment.m_dRepair2 = 12.5; },
         [](CWidget& w) { return As<CTransformer>(w).m_dRepair2 == 12.5 && As<CTransformer>(w).m_dRepair1 == -1; }},
        {W::Transformer, [](CDatasheet& s) { s.m_lineEquipment.m_strNotes = "north yard"; },
         [](CWidget& w) { return As<CTransformer>(w).m_strNotes == "north yard"; }},
        {W::Transformer, [](CDatasheet& s) { s.m_analyticalFeeder.m_dTransOutageRate = 0.02; },
         [](CWidget& w) { return As<CTransformer>(w).m_dTransOutageRate == 0.02; }},
        {W::Equipment, [](CDatasheet& s) { s.m_analyticalFeeder.m_dTransRepairTime = 48; },
         [](CWidget& w) { return As<CEquipment>(w).m_dTransRepairTime == 48; }},
        {W::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_nFeederType = 1; },
         [](CWidget& w) { return As<CLine>(w).m_nFeederType == 1; }},
        {W::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_dMaxCapacity = 5; },
         [](CWidget& w) { return As<CLine>(w).m_dMaxCapacity == 5; }},
        {W::Fuse, [](CDatasheet& s) { s.m_analyticalFeeder.m_strNotes = "spare on site"; },
         [](CWidget& w) { return As<CFuse>(w).m_strAnalyticalNotes == "spare on site"; }},
        {W::Isolator, [](CDatasheet& s) { s.m_analyticalFeeder.m_dSwitchTime = 0.75; },
         [](CWidget& w) { return As<CIsolator>(w).m_dSwitchTime == 0.75; }},
        {W::Isolator, [](CDatasheet& s) { s.m_component.m_bCapacity = true, s.m_component.m_dCapacity = 400; },
         [](CWidget& w) { return As<CIsolator>(w).m_dCapacity == 400; }},
        {W::GenSource, [](CDatasheet& s) { s.m_component.m_bCapacity = true; },
         [](CWidget& w) { return As<CGenSource>(w).m_dCapacity == 0; }},
        {W::Recloser, [](CDatasheet& s) { s.m_recloser.m_bReclose2 = true; },
         [](CWidget& w) { return As<CRecloser>(w).m_dReclose2 == 0; }},
        {W::Recloser, [](CDatasheet& s) { s.m_analyticalRecloser.m_dReclTime = 3; },
         [](CWidget& w) { return As<CRecloser>(w).m_dReclTime == 3; }},
        {W::Recloser, [](CDatasheet& s) { s.m_analyticalRecloser.m_dFeederLength = 1.25; },
         [](CWidget& w) { return As<CRecloser>(w).m_dFeederLength == 1.25; }},
        {W::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "LP2"; },
         [](CWidget& w) { return As<CLoadPoint>(w).m_strName == "LP2"; }},
        {W::LoadPoint, [](CDatasheet& s) { s.m_analyticalLoadPoint.m_dLoad = 250; },
         [](CWidget& w) { return As<CLoadPoint>(w).m_dLoad == 250; }},
        {W::LoadPoint, [](CDatasheet& s) { s.m_analyticalLoadPoint.m_nNumCustomers = 40; },
         [](CWidget& w) { return As<CLoadPoint>(w).m_nNumCustomers == 40; }},
    };
    CKorvaneDoc doc;
    for (const auto& c : cases) {
        auto widget = MakeWidget(c.type);
        CDatasheet sheet(*widget, doc);
        c.edit(sheet);
        EXPECT_TRUE(sheet.Store()) << &c - cases;
        EXPECT_TRUE(c.written(*widget)) << &c - cases;
    }
}

TEST(Datasheet, TheProfileCopiesOnlyWhenItsBoxIsSet)
{
    CKorvaneDoc doc;
    CLoadPoint empty;
    CDatasheet emptySheet(empty, doc);
    EXPECT_FALSE(emptySheet.m_loadPoint.m_bProfile);
    emptySheet.m_loadPoint.m_profile = {1, 2};  // typed into the list, but the box stays cleared
    EXPECT_FALSE(emptySheet.Store());
    EXPECT_TRUE(empty.m_profile.empty());

    CLoadPoint load;
    load.m_profile = {0.5, 0.75, 1.0};
    CDatasheet cleared(load, doc);
    EXPECT_TRUE(cleared.m_loadPoint.m_bProfile);
    EXPECT_EQ(cleared.m_loadPoint.m_profile, load.m_profile);
    cleared.m_loadPoint.m_bProfile = false;
    cleared.m_loadPoint.m_profile.clear();
    EXPECT_FALSE(cleared.Store());
    EXPECT_EQ(load.m_profile, (std::vector<double>{0.5, 0.75, 1.0}));

    CDatasheet edited(load, doc);
    edited.m_loadPoint.m_profile = {0.75, 1.0, 0.1};
    EXPECT_TRUE(edited.Store());
    EXPECT_EQ(load.m_profile, (std::vector<double>{0.75, 1.0, 0.1}));
}

TEST(Datasheet, LoadClassesNeedTheirClusteredDataFiles)
{
    CKorvaneDoc doc;
    doc.m_analytical.m_dataFiles[kIndustrialData] = "/data/industrial.txt";
    doc.m_analytical.m_dataFiles[kOtherData] = "/data/other.txt";
    CLoadPoint load;
    const CAnalyticalLoadPointValues a = CDatasheet(load, doc).m_analyticalLoadPoint;
    EXPECT_EQ((std::vector<bool>{a.m_bAgriculturalEnabled, a.m_bIndustrialEnabled, a.m_bResidentialEnabled,
                                 a.m_bOtherEnabled}),
              (std::vector<bool>{false, true, false, true}));
}

TEST(Datasheet, RefusesValuesOutOfRangeNotFiniteOrUnwritableNames)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        WidgetType type;
        Edit edit;
        const char* field;  // nullptr: accepted
        const char* message;
    };
    std::vector<Case> cases = {
        {WidgetType::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_dMaxCapacity = 10000000; }, nullptr, nullptr},
        {WidgetType::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_dMaxCapacity = 10000001; }, "Max Capacity",
         "Please enter a number between 0 and 10000000."},
        {WidgetType::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_dFaultRate = -0.1; }, "Fault rate",
         "Please enter a number between 0 and 9999999."},
        // Greyed values of a breaker pass through as they came, whatever they hold.
        {WidgetType::CircuitBreaker, [](CDatasheet& s) { s.m_analyticalFeeder.m_dFaultRate = -5; }, nullptr, nullptr},
        {WidgetType::Isolator, [](CDatasheet& s) { s.m_analyticalFeeder.m_dSwitchTime = 100000000; }, nullptr, nullptr},
        {WidgetType::Isolator, [](CDatasheet& s) { s.m_analyticalFeeder.m_dSwitchTime = 100000001; }, "Switch Time",
         "Please enter a number between 0 and 100000000."},
        {WidgetType::Transformer, [](CDatasheet& s) { s.m_analyticalFeeder.m_dTransOutageRate = 1e7; },
         "Transformer outage rate", "Please enter a number between 0 and 9999999."},
        {WidgetType::Recloser, [](CDatasheet& s) { s.m_analyticalRecloser.m_dReclTime = -1; }, "Reclosing time",
         "Please enter a number between 0 and 9999999."},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_analyticalLoadPoint.m_dLoad = -1; }, "Load",
         "Please enter a number between 0 and 9999999."},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_analyticalLoadPoint.m_nNumCustomers = -1; }, "Num customers",
         "Please enter an integer between 0 and 99999999."},
        {WidgetType::Line, [nan](CDatasheet& s) { s.m_lineEquipment.m_bLength = true, s.m_lineEquipment.m_dLength = nan; },
         "Length", "Please enter a number."},
        // A cleared box writes -1.0 whatever the edit box held.
        {WidgetType::Line, [nan](CDatasheet& s) { s.m_lineEquipment.m_bLength = false, s.m_lineEquipment.m_dLength = nan; },
         nullptr, nullptr},
        {WidgetType::Fuse, [inf](CDatasheet& s) { s.m_component.m_bCapacity = true, s.m_component.m_dCapacity = inf; },
         "Capacity", "Please enter a number."},
        {WidgetType::LoadPoint, [inf](CDatasheet& s) { s.m_loadPoint.m_bProfile = true, s.m_loadPoint.m_profile = {1, inf}; },
         "Load Profile", "Please enter a number."},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "Main St. 12"; }, nullptr, nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "a#", s.m_loadPoint.m_bName = false; },
         nullptr, nullptr},
    };
    // Names the NDL text could not carry. Regression: a control character other than CR and LF
    // (NUL, BEL, ESC, TAB, DEL, the C1 controls NEL and CSI) was taken and reached both reports raw.
    const std::vector<std::string> names{"LP\"1", "LP#1", "C:\\x", "$LP", "a\r\nb", "A\0B"s,
                                         "A\aB", "\x1b[1m", "A\tB", "A\x7f", "A\xc2\x85" "B", "\xc2\x9b" "1m"};
    for (const std::string& name : names)
        cases.push_back({WidgetType::LoadPoint, [name](CDatasheet& s) { s.m_loadPoint.m_strName = name; }, "Name",
                         "A load point name cannot contain a double quote, '#', '\\', '$' or a control character "
                         "such as a line break or a tab."});
    CKorvaneDoc doc;
    for (const Case& c : cases) {
        auto widget = MakeWidget(c.type);
        CDatasheet sheet(*widget, doc);
        c.edit(sheet);
        const auto problem = sheet.Check();
        if (c.field == nullptr) {
            EXPECT_FALSE(problem) << WidgetTypeName(c.type) << ": " << problem->field;
            continue;
        }
        ASSERT_TRUE(problem) << c.field;
        EXPECT_EQ(problem->field, c.field);
        EXPECT_EQ(problem->message, c.message);
    }
}

namespace {

// The first field a run refuses, or "" when it takes every value.
std::string RefusedField(const CDatasheet& sheet)
{
    const auto problems = sheet.RunRefusals();
    return problems.empty() ? "" : problems.front().field;
}

// What the NDL reader takes for a Monte Carlo field; Unread: the text leaves the field out.
enum class Range { FromZero, AboveZero, Customers, Unread };

// A Monte Carlo field of the widgets of `types`: its flag and value on the sheet.
struct RangeRow {
    std::vector<WidgetType> types;
    const char* field;
    std::function<bool&(CDatasheet&)> flag;
    std::function<void(CDatasheet&, double)> set;
    Range range;
};

template <typename Page, typename Value>
RangeRow Row(std::vector<WidgetType> types, const char* field, Page CDatasheet::*page, bool Page::*flag,
             Value Page::*value, Range range)
{
    return {std::move(types), field, [=](CDatasheet& s) -> bool& { return (s.*page).*flag; },
            [=](CDatasheet& s, double x) { (s.*page).*value = static_cast<Value>(x); }, range};
}

}  // namespace

// Regression: "Repair 2" was judged by the range of a pair's first value (0 passed, and the run
// stopped on the NDL reader's refusal), and no test held Repair 1, Repair 2 or Isolation 2 to a
// range. Every numeric Monte Carlo field has its row here, each with the range the NDL reader
// takes: a pair's rate or time from 0, its Weibull shape above 0.
TEST(Datasheet, EveryMonteCarloFieldIsHeldToItsReadersRange)
{
    using T = WidgetType;
    using S = CDatasheet;
    using LE = CLineEquipmentValues;
    using R = CRecloserValues;
    using LP = CLoadPointValues;
    const std::vector<T> lineEquipment = {T::Line, T::Equipment, T::Transformer};
    const std::vector<RangeRow> rows = {
        Row(lineEquipment, "Capacity", &S::m_lineEquipment, &LE::m_bCapacity, &LE::m_dCapacity, Range::AboveZero),
        Row(lineEquipment, "Failure 1", &S::m_lineEquipment, &LE::m_bFailure1, &LE::m_dFailure1, Range::FromZero),
        Row(lineEquipment, "Failure 2", &S::m_lineEquipment, &LE::m_bFailure2, &LE::m_dFailure2, Range::AboveZero),
        Row(lineEquipment, "Isolation 1", &S::m_lineEquipment, &LE::m_bIsolation1, &LE::m_dIsolation1, Range::FromZero),
        Row(lineEquipment, "Isolation 2", &S::m_lineEquipment, &LE::m_bIsolation2, &LE::m_dIsolation2, Range::AboveZero),
        Row({T::Line}, "Length", &S::m_lineEquipment, &LE::m_bLength, &LE::m_dLength, Range::AboveZero),
        // An equipment's or a transformer's length stays out of the text.
        Row({T::Equipment, T::Transformer}, "Length", &S::m_lineEquipment, &LE::m_bLength, &LE::m_dLength, Range::Unread),
        Row(lineEquipment, "Repair 1", &S::m_lineEquipment, &LE::m_bRepair1, &LE::m_dRepair1, Range::FromZero),
        Row(lineEquipment, "Repair 2", &S::m_lineEquipment, &LE::m_bRepair2, &LE::m_dRepair2, Range::AboveZero),
        Row({T::CircuitBreaker, T::Fuse, T::Isolator, T::GenSource}, "Capacity", &S::m_component,
            &CComponentValues::m_bCapacity, &CComponentValues::m_dCapacity, Range::AboveZero),
        Row({T::Recloser}, "Capacity", &S::m_recloser, &R::m_bCapacity, &R::m_dCapacity, Range::AboveZero),
        Row({T::Recloser}, "Reclosing time 1", &S::m_recloser, &R::m_bReclose1, &R::m_dReclose1, Range::FromZero),
        Row({T::Recloser}, "Reclosing time 2", &S::m_recloser, &R::m_bReclose2, &R::m_dReclose2, Range::AboveZero),
        Row({T::LoadPoint}, "Num customers", &S::m_loadPoint, &LP::m_bCustomers, &LP::m_nCustomers, Range::Customers),
        Row({T::LoadPoint}, "Average", &S::m_loadPoint, &LP::m_bAverage, &LP::m_dAverage, Range::AboveZero),
        Row({T::LoadPoint}, "Peak", &S::m_loadPoint, &LP::m_bPeak, &LP::m_dPeak, Range::AboveZero),
    };
    // Whether each range takes -0.5, 0, 1e-9, 1, 999999 and 1000000 (a count takes them cut to whole numbers).
    const double probes[] = {-0.5, 0, 1e-9, 1, 999999, 1000000};
    const std::map<Range, std::vector<bool>> takes = {
        {Range::FromZero, {false, true, true, true, true, true}},
        {Range::AboveZero, {false, false, true, true, true, true}},
        {Range::Customers, {false, false, false, true, true, false}},
        {Range::Unread, {true, true, true, true, true, true}},
    };
    CKorvaneDoc doc;
    for (int t = 0; t < kWidgetTypeCount; ++t) {
        const auto type = static_cast<WidgetType>(t);
        auto widget = MakeWidget(type);
        CDatasheet probe(*widget, doc);
        // Every optional number of the page has its row (the name is no number).
        std::set<bool*> flags;
        for (bool* flag : OptionalFlags(probe))
            if (flag != &probe.m_loadPoint.m_bName)
                flags.insert(flag);
        std::set<bool*> covered;
        for (const RangeRow& row : rows) {
            if (std::find(row.types.begin(), row.types.end(), type) == row.types.end())
                continue;
            covered.insert(&row.flag(probe));
            for (std::size_t k = 0; k < std::size(probes); ++k) {
                CDatasheet sheet(*widget, doc);
                row.flag(sheet) = true;
                row.set(sheet, probes[k]);
                EXPECT_EQ(RefusedField(sheet), takes.at(row.range)[k] ? "" : row.field)
                    << WidgetTypeName(type) << " " << row.field << " = " << probes[k];
            }
        }
        EXPECT_EQ(covered, flags) << WidgetTypeName(type);
    }
}
