// Each widget class's stored record, byte by byte, built here field by field in the file's order.
// A round trip cannot catch two fields swapped in both directions at once; these bytes can.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <functional>
#include <memory>

#include "model/Collections.h"
#include "model/KorvaneDoc.h"
#include "platform/Archive.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The expected record, written by hand in the file's field order.
class Expected {
public:
    Expected& I(std::int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
        return *this;
    }
    Expected& D(double v)
    {
        const auto bits = std::bit_cast<std::uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
        return *this;
    }
    Expected& P(std::int32_t x, std::int32_t y) { return I(x).I(y); }
    // A short text in one-byte-length form.
    Expected& S(const char* text)
    {
        m_bytes.push_back(static_cast<std::uint8_t>(std::strlen(text)));
        m_bytes.insert(m_bytes.end(), text, text + std::strlen(text));
        return *this;
    }
    Expected& Raw(Bytes b)
    {
        m_bytes.insert(m_bytes.end(), b.begin(), b.end());
        return *this;
    }
    const Bytes& Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

Bytes Record(CWidget& w)
{
    CArchive ar;
    w.Serialize(ar);
    return ar.GetBuffer();
}

// Geometry and node numbers are the same distinct values for every two-ended widget.
template <typename T>
std::unique_ptr<T> Segment()
{
    auto w = std::make_unique<T>(CPoint(11, 12), CPoint(13, 14), 15, 0x00A0B0C0);
    w->m_connect1 = 21, w->m_connect2 = 22, w->m_source = 23, w->m_target = 24;
    return w;
}

template <typename T>
void FillBranch(T& b)
{
    b.m_dCapacity = 1.5, b.m_dFailure1 = 2.5, b.m_dFailure2 = 3.5, b.m_dIsolation1 = 4.5;
    b.m_dIsolation2 = 5.5, b.m_dLength = 6.5, b.m_dRepair1 = 7.5, b.m_dRepair2 = 8.5;
    b.m_strNotes = "n", b.m_strAnalyticalNotes = "an";
    b.m_nFeederType = 31, b.m_nMainFeederId = 32, b.m_nLateralFeederId = 33;
    b.m_dFaultRate = 9.5, b.m_dRepairTime = 10.5, b.m_dFeederLength = 11.5, b.m_dMaxCapacity = 12.5;
}

template <typename T>
void FillSwitch(T& s)
{
    s.m_dCapacity = 1.5, s.m_strNotes = "n", s.m_strAnalyticalNotes = "an";
    s.m_nFeederType = 31, s.m_nMainFeederId = 32, s.m_nLateralFeederId = 33;
    s.m_dFaultRate = 9.5, s.m_dRepairTime = 10.5, s.m_dFeederLength = 11.5, s.m_dMaxCapacity = 12.5;
}

Expected SegmentGeometry()
{
    return Expected().P(11, 12).P(13, 14).I(15).I(0x00A0B0C0);
}

Expected BranchUpToNodes()
{
    return SegmentGeometry().D(1.5).D(2.5).D(3.5).D(4.5).D(5.5).D(6.5).S("n").D(7.5).D(8.5).I(21).I(22).I(23).I(24);
}

Expected SwitchUpToMaxCapacity()
{
    return SegmentGeometry().D(1.5).I(21).I(22).S("n").I(23).I(24).I(31).I(32).I(33).D(9.5).D(10.5).D(11.5).D(12.5);
}

struct Case {
    const char* name;
    std::function<std::unique_ptr<CWidget>()> make;
    Bytes expected;
};

std::vector<Case> Cases()
{
    std::vector<Case> cases;
    cases.push_back({"CLine",
                     [] {
                         auto w = Segment<CLine>();
                         FillBranch(*w);
                         return w;
                     },
                     // No main feeder id; the feeder type after the maximum capacity.
                     BranchUpToNodes().I(33).D(9.5).D(10.5).D(11.5).D(12.5).I(31).S("an").Get()});
    for (const char* name : {"CEquipment", "CTransformer"}) {
        cases.push_back({name,
                         [name]() -> std::unique_ptr<CWidget> {
                             std::unique_ptr<CEquipmentBase> w;
                             if (std::string(name) == "CEquipment")
                                 w = Segment<CEquipment>();
                             else
                                 w = Segment<CTransformer>();
                             FillBranch(*w);
                             w->m_dTransOutageRate = 13.5, w->m_dTransRepairTime = 14.5;
                             return w;
                         },
                         BranchUpToNodes()
                             .I(31).I(32).I(33)
                             .D(9.5).D(10.5).D(11.5).D(12.5).D(13.5).D(14.5)
                             .S("an")
                             .Get()});
    }
    cases.push_back({"CCircuitBreaker",
                     [] {
                         auto w = Segment<CCircuitBreaker>();
                         FillSwitch(*w);
                         return w;
                     },
                     SwitchUpToMaxCapacity().S("an").Get()});
    cases.push_back({"CFuse",
                     [] {
                         auto w = Segment<CFuse>();
                         FillSwitch(*w);
                         return w;
                     },
                     SwitchUpToMaxCapacity().S("an").Get()});
    cases.push_back({"CIsolator",
                     [] {
                         auto w = Segment<CIsolator>();
                         FillSwitch(*w);
                         w->m_dSwitchTime = 13.5;
                         return w;
                     },
                     SwitchUpToMaxCapacity().D(13.5).S("an").Get()});
    cases.push_back({"CRecloser",
                     [] {
                         auto w = Segment<CRecloser>();
                         w->m_dCapacity = 1.5, w->m_dReclose1 = 2.5, w->m_dReclose2 = 3.5, w->m_strNotes = "n";
                         w->m_nReclFeederId = 34, w->m_dFeederLength = 11.5, w->m_dReclTime = 4.5;
                         w->m_strAnalyticalNotes = "an";
                         return w;
                     },
                     SegmentGeometry()
                         .I(21).I(22).D(1.5).D(2.5).D(3.5).S("n")
                         .I(23).I(24).I(34).D(11.5).D(4.5).S("an")
                         .Get()});
    cases.push_back({"CBusBar",
                     [] {
                         auto w = Segment<CBusBar>();
                         w->m_nSpare = 35, w->m_dSpare1 = 1.5, w->m_dSpare2 = 2.5, w->m_dSpare3 = 3.5;
                         w->m_dSpare4 = 4.5, w->m_strSpare = "sp";
                         return w;
                     },
                     SegmentGeometry().I(21).I(22).I(23).I(24).I(35).D(1.5).D(2.5).D(3.5).D(4.5).S("sp").Get()});
    cases.push_back({"CGenSource",
                     [] {
                         auto w = std::make_unique<CGenSource>(CPoint(41, 42), 43, 0x00123456);
                         w->m_dCapacity = 1.5, w->m_connect1 = 21, w->m_strNotes = "n";
                         w->m_source = 23, w->m_target = 24, w->m_nNodeId = 36;
                         return w;
                     },
                     Expected().P(41, 42).I(43).I(0x00123456).D(1.5).I(21).S("n").I(23).I(24).I(36).Get()});
    cases.push_back({"CLoadPoint",
                     [] {
                         auto w = std::make_unique<CLoadPoint>(CPoint(41, 42), 43, 0x00123456);
                         w->m_connect1 = 21, w->m_dAverage = 1.5, w->m_nCustomers = 37, w->m_dPeak = 2.5;
                         w->m_strName = "Farm", w->m_strNotes = "n", w->m_source = 23, w->m_target = 24;
                         w->m_nNodeId = 36, w->m_nLoadId = 38, w->m_nNumCustomers = 39, w->m_dLoad = 3.5;
                         w->m_strAnalyticalNotes = "an", w->m_profile = {0.25, 0.75};
                         return w;
                     },
                     Expected()
                         .P(41, 42).I(43).I(0x00123456)
                         .I(21).D(1.5).I(37).D(2.5).S("Farm").S("n")
                         .I(23).I(24).I(36).I(38).I(39).D(3.5).S("an")
                         // The profile: count 2, a CUDouble introducing its class, one naming it.
                         .Raw({2, 0, 0xFF, 0xFF, 1, 0, 8, 0, 'C', 'U', 'D', 'o', 'u', 'b', 'l', 'e'}).D(0.25)
                         .Raw({0x01, 0x80}).D(0.75)
                         .Get()});
    return cases;
}

}  // namespace

TEST(RecordLayout, EveryClassStoresItsFieldsInTheFileOrder)
{
    for (const Case& c : Cases()) {
        auto widget = c.make();
        EXPECT_EQ(widget->GetRuntimeClass().name, c.name);
        EXPECT_EQ(Record(*widget), c.expected) << c.name;

        // Loading the same bytes gives a widget that stores them again.
        CArchive in(c.expected, ModelClassRegistry());
        auto loaded = widget->GetRuntimeClass().create();
        loaded->Serialize(in);
        EXPECT_EQ(in.Remaining(), 0u) << c.name;
        EXPECT_EQ(Record(static_cast<CWidget&>(*loaded)), c.expected) << c.name;
    }
}

// The one-point widgets do not store their second NDL node, and the feeder no main feeder id:
// both come back unset whatever they held.
TEST(RecordLayout, FieldsTheFileLeavesOutReloadUnset)
{
    CLoadPoint load(CPoint(1, 2), 1, 0);
    load.m_connect2 = 9;
    CGenSource source(CPoint(1, 2), 1, 0);
    source.m_connect2 = 9;
    CLine line(CPoint(1, 2), CPoint(3, 4), 1, 0);
    line.m_nFeederType = 1;
    line.m_nMainFeederId = 9;
    line.m_nLateralFeederId = 8;
    for (CWidget* w : {static_cast<CWidget*>(&load), static_cast<CWidget*>(&source), static_cast<CWidget*>(&line)}) {
        const Bytes bytes = Record(*w);
        CArchive in(bytes, ModelClassRegistry());
        auto loaded = w->GetRuntimeClass().create();
        loaded->Serialize(in);
        auto* reloaded = static_cast<CWidget*>(loaded.get());
        EXPECT_EQ(reloaded->m_connect2, w->IsTwoEnded() ? w->m_connect2 : -1) << w->GetRuntimeClass().name;
        if (auto* l = dynamic_cast<CLine*>(reloaded)) {
            EXPECT_EQ(l->m_nMainFeederId, -1);
            EXPECT_EQ(l->m_nLateralFeederId, 8);
            EXPECT_EQ(l->m_nFeederType, 1);
        }
    }
}

// The defaults a new widget stores: unset Monte Carlo values, 10000000 of maximum capacity except
// on a feeder (0), recloser feeder id 3, load point name "LP", node numbers and ids -1.
TEST(RecordLayout, NewWidgetsStoreTheirDefaults)
{
    const CPoint a(0, 0), b(10, 0);
    {
        CLine line(a, b, 1, 0x808080);
        Bytes expected = Expected().P(0, 0).P(10, 0).I(1).I(0x808080)
                             .D(-1).D(-1).D(-1).D(-1).D(-1).D(-1).S("").D(-1).D(-1)
                             .I(-1).I(-1).I(-1).I(-1).I(-1)
                             .D(0).D(0).D(0).D(0).I(2).S("").Get();
        EXPECT_EQ(Record(line), expected);
    }
    CFuse fuse(a, b, 1, 0);
    CCircuitBreaker breaker(a, b, 1, 0);
    for (CSwitchWidget* w : {static_cast<CSwitchWidget*>(&fuse), static_cast<CSwitchWidget*>(&breaker)}) {
        Bytes expected = Expected().P(0, 0).P(10, 0).I(1).I(0)
                             .D(-1).I(-1).I(-1).S("").I(-1).I(-1).I(2).I(-1).I(-1)
                             .D(0).D(0).D(0).D(10000000.0).S("").Get();
        EXPECT_EQ(Record(*w), expected) << w->GetRuntimeClass().name;
    }
    CRecloser recloser(a, b, 1, 0);
    EXPECT_EQ(Record(recloser), Expected().P(0, 0).P(10, 0).I(1).I(0)
                                    .I(-1).I(-1).D(-1).D(-1).D(-1).S("")
                                    .I(-1).I(-1).I(3).D(0).D(0).S("").Get());
    CBusBar bar(a, b, 2, 0);
    EXPECT_EQ(Record(bar), Expected().P(0, 0).P(10, 0).I(2).I(0)
                               .I(-1).I(-1).I(-1).I(-1).I(-1).D(0).D(0).D(0).D(0).S("").Get());
    CLoadPoint load(a, 1, 0);
    EXPECT_EQ(Record(load), Expected().P(0, 0).I(1).I(0)
                                .I(-1).D(-1).I(-1).D(-1).S("LP").S("")
                                .I(-1).I(-1).I(-1).I(-1).I(0).D(0).S("").Raw({0, 0}).Get());
    CGenSource source(a, 1, 0);
    EXPECT_EQ(Record(source), Expected().P(0, 0).I(1).I(0).D(-1).I(-1).S("").I(-1).I(-1).I(-1).Get());
    CEquipment equipment(a, b, 1, 0);
    CTransformer transformer(a, b, 1, 0);
    for (CEquipmentBase* w : {static_cast<CEquipmentBase*>(&equipment), static_cast<CEquipmentBase*>(&transformer)}) {
        Bytes expected = Expected().P(0, 0).P(10, 0).I(1).I(0)
                             .D(-1).D(-1).D(-1).D(-1).D(-1).D(-1).S("").D(-1).D(-1)
                             .I(-1).I(-1).I(-1).I(-1).I(2).I(-1).I(-1)
                             .D(0).D(0).D(0).D(10000000.0).D(0).D(0).S("").Get();
        EXPECT_EQ(Record(*w), expected) << w->GetRuntimeClass().name;
    }
    // The default constructors that loading uses give the same values.
    EXPECT_EQ(CLine().m_dMaxCapacity, 0.0);
    EXPECT_EQ(CIsolator().m_dMaxCapacity, 10000000.0);
    EXPECT_EQ(CIsolator().m_dSwitchTime, 0.0);
}
