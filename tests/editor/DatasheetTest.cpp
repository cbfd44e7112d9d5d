#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>

#include "editor/Datasheet.h"
#include "model/KorvaneDoc.h"
#include "platform/Archive.h"

namespace {

// The widget's whole stored record: equal bytes mean no value changed.
std::vector<std::uint8_t> Record(CWidget& widget)
{
    CArchive ar;
    widget.Serialize(ar);
    return ar.GetBuffer();
}

std::unique_ptr<CWidget> MakeWidget(WidgetType type)
{
    const CPoint a(10, 10), b(50, 10);
    switch (type) {
    case WidgetType::Line: return std::make_unique<CLine>(a, b, 1, 0);
    case WidgetType::CircuitBreaker: return std::make_unique<CCircuitBreaker>(a, b, 1, 0);
    case WidgetType::Fuse: return std::make_unique<CFuse>(a, b, 1, 0);
    case WidgetType::Recloser: return std::make_unique<CRecloser>(a, b, 1, 0);
    case WidgetType::Isolator: return std::make_unique<CIsolator>(a, b, 1, 0);
    case WidgetType::BusBar: return std::make_unique<CBusBar>(a, b, 1, 0);
    case WidgetType::LoadPoint: return std::make_unique<CLoadPoint>(a, 1, 0);
    case WidgetType::GenSource: return std::make_unique<CGenSource>(a, 1, 0);
    case WidgetType::Equipment: return std::make_unique<CEquipment>(a, b, 1, 0);
    case WidgetType::Transformer: return std::make_unique<CTransformer>(a, b, 1, 0);
    }
    return nullptr;
}

constexpr WidgetType kAllTypes[] = {
    WidgetType::Line,     WidgetType::CircuitBreaker, WidgetType::Fuse,      WidgetType::Recloser,
    WidgetType::Isolator, WidgetType::BusBar,         WidgetType::LoadPoint, WidgetType::GenSource,
    WidgetType::Equipment, WidgetType::Transformer,
};

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

// Gives every Monte Carlo value of the widget a distinct set value.
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

TEST(Datasheet, UnsetValuesClearTheirBoxesAndSetValuesCheckThem)
{
    CKorvaneDoc doc;
    for (WidgetType type : kAllTypes) {
        auto widget = MakeWidget(type);
        if (auto* load = dynamic_cast<CLoadPoint*>(widget.get()))
            load->m_strName.clear();  // the only optional value that is set by default
        CDatasheet unset(*widget, doc);
        for (bool* flag : OptionalFlags(unset))
            EXPECT_FALSE(*flag) << WidgetTypeName(type);

        SetAllMonteCarloValues(*widget);
        CDatasheet set(*widget, doc);
        for (bool* flag : OptionalFlags(set))
            EXPECT_TRUE(*flag) << WidgetTypeName(type);
    }

    CLine line;
    line.m_dFailure1 = 0.25;
    const CDatasheet sheet(line, doc);
    EXPECT_TRUE(sheet.m_lineEquipment.m_bFailure1);
    EXPECT_EQ(sheet.m_lineEquipment.m_dFailure1, 0.25);
    EXPECT_FALSE(sheet.m_lineEquipment.m_bFailure2);
}

TEST(Datasheet, OkWithoutEditsChangesNothingAndCancelNeverWrites)
{
    CKorvaneDoc doc;
    for (WidgetType type : kAllTypes) {
        for (bool filled : {false, true}) {
            auto widget = MakeWidget(type);
            if (filled)
                SetAllMonteCarloValues(*widget);
            const auto before = Record(*widget);
            CDatasheet sheet(*widget, doc);
            EXPECT_FALSE(sheet.Store()) << WidgetTypeName(type);
            EXPECT_EQ(Record(*widget), before) << WidgetTypeName(type);

            // Cancel: the values are edited but never stored.
            CDatasheet cancelled(*widget, doc);
            for (bool* flag : OptionalFlags(cancelled))
                *flag = !*flag;
            cancelled.m_analyticalFeeder.m_dFaultRate = 99;
            cancelled.m_loadPoint.m_bProfile = true;
            cancelled.m_loadPoint.m_profile = {42};
            EXPECT_EQ(Record(*widget), before) << WidgetTypeName(type);
        }
    }
}

TEST(Datasheet, ClearedBoxesWriteTheUnsetValues)
{
    CKorvaneDoc doc;
    for (WidgetType type : kAllTypes) {
        auto widget = MakeWidget(type);
        SetAllMonteCarloValues(*widget);
        CDatasheet sheet(*widget, doc);
        // The edit boxes keep their numbers: a cleared box wins over them.
        for (bool* flag : OptionalFlags(sheet))
            *flag = false;
        EXPECT_EQ(sheet.Store(), type != WidgetType::BusBar) << WidgetTypeName(type);

        if (auto* b = dynamic_cast<CBranchWidget*>(widget.get())) {
            for (double v : {b->m_dCapacity, b->m_dFailure1, b->m_dFailure2, b->m_dIsolation1, b->m_dIsolation2,
                             b->m_dLength, b->m_dRepair1, b->m_dRepair2})
                EXPECT_EQ(v, -1.0) << WidgetTypeName(type);
        } else if (auto* s = dynamic_cast<CSwitchWidget*>(widget.get())) {
            EXPECT_EQ(s->m_dCapacity, -1.0);
        } else if (auto* r = dynamic_cast<CRecloser*>(widget.get())) {
            EXPECT_EQ(r->m_dCapacity, -1.0);
            EXPECT_EQ(r->m_dReclose1, -1.0);
            EXPECT_EQ(r->m_dReclose2, -1.0);
        } else if (auto* l = dynamic_cast<CLoadPoint*>(widget.get())) {
            EXPECT_EQ(l->m_strName, "");
            EXPECT_EQ(l->m_nCustomers, -1);
            EXPECT_EQ(l->m_dAverage, -1.0);
            EXPECT_EQ(l->m_dPeak, -1.0);
        } else if (auto* g = dynamic_cast<CGenSource*>(widget.get())) {
            EXPECT_EQ(g->m_dCapacity, -1.0);
        }
    }
}

TEST(Datasheet, CheckedBoxesWriteTheEditedValues)
{
    CKorvaneDoc doc;
    CTransformer transformer;
    CDatasheet sheet(transformer, doc);
    sheet.m_lineEquipment.m_bRepair2 = true;
    sheet.m_lineEquipment.m_dRepair2 = 12.5;
    sheet.m_lineEquipment.m_strNotes = "north yard";
    sheet.m_analyticalFeeder.m_nFeederType = 1;
    sheet.m_analyticalFeeder.m_dTransOutageRate = 0.02;
    sheet.m_analyticalFeeder.m_dTransRepairTime = 48;
    sheet.m_analyticalFeeder.m_strNotes = "spare on site";
    EXPECT_TRUE(sheet.Store());
    EXPECT_EQ(transformer.m_dRepair2, 12.5);
    EXPECT_EQ(transformer.m_dRepair1, -1.0);
    EXPECT_EQ(transformer.m_strNotes, "north yard");
    EXPECT_EQ(transformer.m_nFeederType, 1);
    EXPECT_EQ(transformer.m_dTransOutageRate, 0.02);
    EXPECT_EQ(transformer.m_dTransRepairTime, 48);
    EXPECT_EQ(transformer.m_strAnalyticalNotes, "spare on site");

    CIsolator isolator;
    CDatasheet isolatorSheet(isolator, doc);
    EXPECT_EQ(isolatorSheet.m_analyticalFeeder.m_dMaxCapacity, 10000000.0);
    isolatorSheet.m_analyticalFeeder.m_dSwitchTime = 0.75;
    isolatorSheet.m_component.m_bCapacity = true;
    isolatorSheet.m_component.m_dCapacity = 400;
    EXPECT_TRUE(isolatorSheet.Store());
    EXPECT_EQ(isolator.m_dSwitchTime, 0.75);
    EXPECT_EQ(isolator.m_dCapacity, 400);

    CRecloser recloser;
    CDatasheet recloserSheet(recloser, doc);
    recloserSheet.m_analyticalRecloser.m_dReclTime = 3;
    recloserSheet.m_analyticalRecloser.m_dFeederLength = 1.25;
    EXPECT_TRUE(recloserSheet.Store());
    EXPECT_EQ(recloser.m_dReclTime, 3);
    EXPECT_EQ(recloser.m_dFeederLength, 1.25);

    CLoadPoint load;
    CDatasheet loadSheet(load, doc);
    loadSheet.m_analyticalLoadPoint.m_dLoad = 250;
    loadSheet.m_analyticalLoadPoint.m_nNumCustomers = 40;
    loadSheet.m_analyticalLoadPoint.m_strLoadClass = "Industrial";
    EXPECT_TRUE(loadSheet.Store());
    EXPECT_EQ(load.m_dLoad, 250);
    EXPECT_EQ(load.m_nNumCustomers, 40);
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

    CLoadPoint withProfile;
    withProfile.m_profile = {0.5, 0.75, 1.0};
    CDatasheet cleared(withProfile, doc);
    EXPECT_TRUE(cleared.m_loadPoint.m_bProfile);
    EXPECT_EQ(cleared.m_loadPoint.m_profile, withProfile.m_profile);
    cleared.m_loadPoint.m_bProfile = false;
    cleared.m_loadPoint.m_profile.clear();
    EXPECT_FALSE(cleared.Store());
    EXPECT_EQ(withProfile.m_profile, (std::vector<double>{0.5, 0.75, 1.0}));

    CDatasheet edited(withProfile, doc);
    edited.m_loadPoint.m_profile.erase(edited.m_loadPoint.m_profile.begin());
    edited.m_loadPoint.m_profile.push_back(0.1);
    EXPECT_TRUE(edited.Store());
    EXPECT_EQ(withProfile.m_profile, (std::vector<double>{0.75, 1.0, 0.1}));
}

TEST(Datasheet, LoadClassesNeedTheirClusteredDataFiles)
{
    CKorvaneDoc doc;
    CLoadPoint load;
    const CDatasheet none(load, doc);
    EXPECT_FALSE(none.m_analyticalLoadPoint.m_bAgriculturalEnabled);
    EXPECT_FALSE(none.m_analyticalLoadPoint.m_bIndustrialEnabled);
    EXPECT_FALSE(none.m_analyticalLoadPoint.m_bResidentialEnabled);
    EXPECT_FALSE(none.m_analyticalLoadPoint.m_bOtherEnabled);

    doc.m_analytical.m_dataFiles[kIndustrialData] = "/data/industrial.txt";
    doc.m_analytical.m_dataFiles[kOtherData] = "/data/other.txt";
    const CDatasheet some(load, doc);
    EXPECT_FALSE(some.m_analyticalLoadPoint.m_bAgriculturalEnabled);
    EXPECT_TRUE(some.m_analyticalLoadPoint.m_bIndustrialEnabled);
    EXPECT_FALSE(some.m_analyticalLoadPoint.m_bResidentialEnabled);
    EXPECT_TRUE(some.m_analyticalLoadPoint.m_bOtherEnabled);
}

TEST(Datasheet, EveryChangedValueIsReported)
{
    CKorvaneDoc doc;
    using Edit = std::function<void(CDatasheet&)>;
    const std::pair<WidgetType, Edit> edits[] = {
        {WidgetType::Line, [](CDatasheet& s) { s.m_lineEquipment.m_strNotes = "x"; }},
        {WidgetType::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_nFeederType = 1; }},
        {WidgetType::Line, [](CDatasheet& s) { s.m_analyticalFeeder.m_dMaxCapacity = 5; }},
        {WidgetType::Fuse, [](CDatasheet& s) { s.m_analyticalFeeder.m_strNotes = "x"; }},
        {WidgetType::Recloser, [](CDatasheet& s) { s.m_recloser.m_bReclose2 = true; }},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "LP2"; }},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_bProfile = true, s.m_loadPoint.m_profile = {1}; }},
        {WidgetType::GenSource, [](CDatasheet& s) { s.m_component.m_bCapacity = true; }},
        {WidgetType::Equipment, [](CDatasheet& s) { s.m_analyticalFeeder.m_dTransRepairTime = 1; }},
    };
    for (const auto& [type, edit] : edits) {
        auto widget = MakeWidget(type);
        CDatasheet sheet(*widget, doc);
        edit(sheet);
        EXPECT_TRUE(sheet.Store()) << WidgetTypeName(type);
    }
}

TEST(Datasheet, RefusesValuesOutOfRangeNotFiniteOrUnwritableNames)
{
    CKorvaneDoc doc;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        WidgetType type;
        std::function<void(CDatasheet&)> edit;
        const char* field;  // nullptr: accepted
        const char* message;
    };
    const Case cases[] = {
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
        // Names the NDL text could not carry.
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "Main St. 12"; }, nullptr, nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "LP\"1"; }, "Name",
         "A load point name cannot contain a double quote, '#', '\\', '$' or a line break."},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "LP#1"; }, "Name", nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "C:\\x"; }, "Name", nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "$LP"; }, "Name", nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "a\r\nb"; }, "Name", nullptr},
        {WidgetType::LoadPoint, [](CDatasheet& s) { s.m_loadPoint.m_strName = "a#", s.m_loadPoint.m_bName = false; },
         nullptr, nullptr},
    };
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
        if (c.message != nullptr) {
            EXPECT_EQ(problem->message, c.message);
        }
    }
}

TEST(Datasheet, SheetsHaveTheirTitlesAndPages)
{
    CKorvaneDoc doc;
    const std::tuple<WidgetType, const char*, MonteCarloPageKind> sheets[] = {
        {WidgetType::Line, "Feeder Datasheet", MonteCarloPageKind::LineEquipment},
        {WidgetType::CircuitBreaker, "Circuit Breaker Datasheet", MonteCarloPageKind::Component},
        {WidgetType::Fuse, "Fuse Datasheet", MonteCarloPageKind::Component},
        {WidgetType::Recloser, "Recloser Datasheet", MonteCarloPageKind::Recloser},
        {WidgetType::Isolator, "Isolator Datasheet", MonteCarloPageKind::Component},
        {WidgetType::BusBar, "Bus Bar data sheet", MonteCarloPageKind::BusBar},
        {WidgetType::LoadPoint, "Load Point Datasheet", MonteCarloPageKind::LoadPoint},
        {WidgetType::GenSource, "Gen Source Datasheet", MonteCarloPageKind::Component},
        {WidgetType::Equipment, "Equipment Datasheet", MonteCarloPageKind::LineEquipment},
        {WidgetType::Transformer, "Transformer Datasheet", MonteCarloPageKind::LineEquipment},
    };
    for (const auto& [type, title, page] : sheets) {
        auto widget = MakeWidget(type);
        const CDatasheet sheet(*widget, doc);
        EXPECT_STREQ(sheet.GetTitle(), title);
        EXPECT_EQ(sheet.GetMonteCarloPage(), page) << title;
    }
}

}  // namespace
