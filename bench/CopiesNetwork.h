// A utility-sized network for both engines: k independent copies of one four-feeder system on a
// single source bus, drawn as a document, so that the NDL and the GML generator each write it.
//
// One copy is 117 widgets and 22 load points: a bus bar section, and four feeders, each leaving
// the bus through a breaker, with a main of five or six line sections split by two isolators and,
// at the end of every main section, a fused lateral line down to a load point (every other
// lateral through a distribution transformer). Feeders 1 and 2, and 3 and 4, are joined at their
// far ends by a normally open tie (a recloser and a tie line): while both feeders are whole the
// tie's ends are joined through the bus, so the Monte Carlo engine keeps it open, and it closes
// once a fault has cut either side off. All copies hang on the bus that the one gen source feeds.
//
//   CKorvaneDoc doc;
//   copies::Draw(doc, 16);                 // 16 copies, 1,873 widgets
//   std::string ndl = copies::Ndl(doc);    // or copies::Gml(doc)
//
// Options serve the Monte Carlo equivalence tests: ties between neighbouring copies (rings that
// join the copies into one), main sections that a tie's transfer overloads, and hourly load curves.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include "analytical/GMLGenerator.h"
#include "bench/MonteCarloNetworks.h"
#include "model/KorvaneDoc.h"
#include "montecarlo/NDLGenerator.h"

namespace copies {

constexpr int kWidgetsPerCopy = 117;
constexpr int kLoadsPerCopy = 22;

struct Options {
    int quantsPerDay = 24;
    // A tie from the end of each copy's fourth feeder to the end of the next copy's first.
    bool tiesBetweenCopies = false;
    // Monte Carlo capacity of the main sections (-1: unlimited). About 6,000 carries a feeder
    // pair; a few thousand less and a tie's transfer leaves some loads short.
    double mainCapacity = 8000.0;
    // Every third load point follows an hourly profile.
    bool curves = false;
};

namespace detail {

template <typename T>
T* Segment(CKorvaneDoc& doc, CPoint a, CPoint b)
{
    return static_cast<T*>(doc.AddWidget(std::make_unique<T>(a, b, 1, 0)));
}

template <typename T>
T* Symbol(CKorvaneDoc& doc, CPoint at)
{
    return static_cast<T*>(doc.AddWidget(std::make_unique<T>(at, 1, 0)));
}

// A line of `length` km: 0.065 failures a km a year, 1 hour to isolate, 5 to repair.
inline CLine* DrawLine(CKorvaneDoc& doc, CPoint a, CPoint b, double length, bool main, double capacity)
{
    CLine* line = Segment<CLine>(doc, a, b);
    line->m_dLength = length;
    line->m_dCapacity = capacity;
    line->m_dFailure1 = 0.065;
    line->m_dIsolation1 = 1.0;
    line->m_dRepair1 = 5.0;
    line->m_nFeederType = main ? 1 : 2;
    line->m_dFaultRate = 0.065;
    line->m_dFeederLength = length;
    line->m_dRepairTime = 5.0;
    line->m_dMaxCapacity = main ? 8000.0 : 2000.0;
    return line;
}

template <typename T>
T* DrawSwitch(CKorvaneDoc& doc, CPoint a, CPoint b, bool main)
{
    T* device = Segment<T>(doc, a, b);
    device->m_nFeederType = main ? 1 : 2;
    device->m_dMaxCapacity = main ? 8000.0 : 2000.0;
    return device;
}

// Feeder `f` of a copy: a breaker from the bus point, the main along y, the laterals hanging
// below it. Returns the main's far end.
inline CPoint DrawFeeder(CKorvaneDoc& doc, CPoint bus, int y, int sections, int& load, const Options& options)
{
    DrawSwitch<CCircuitBreaker>(doc, bus, {100, y}, true);
    int x = 100;
    for (int s = 0; s < sections; ++s) {
        DrawLine(doc, {x, y}, {x + 150, y}, 0.8, true, options.mainCapacity);
        x += 150;
        DrawSwitch<CFuse>(doc, {x, y}, {x, y + 30}, false);
        DrawLine(doc, {x, y + 30}, {x, y + 80}, 0.6, false, -1.0);
        CPoint at(x, y + 80);
        if (s % 2 == 0) {
            auto* transformer = Segment<CTransformer>(doc, at, {x, y + 110});
            transformer->m_dFailure1 = 0.015;
            transformer->m_dIsolation1 = 1.0;
            transformer->m_dRepair1 = 200.0;
            transformer->m_nFeederType = 2;
            transformer->m_dTransOutageRate = 0.015;
            transformer->m_dTransRepairTime = 200.0;
            at = CPoint(x, y + 110);
        }
        const int i = load++ % kLoadsPerCopy;
        auto* point = Symbol<CLoadPoint>(doc, at);
        point->m_strName = "LP" + std::to_string(load);
        point->m_nCustomers = 20 + 15 * (i % 5);
        point->m_dAverage = 150.0 + 50.0 * (i % 7);
        point->m_nNumCustomers = point->m_nCustomers;
        point->m_dLoad = point->m_dAverage;
        if (options.curves && i % 3 == 0) {
            point->m_profile = mcbench::HourlyProfile(i);
            point->m_dPeak = point->m_dAverage * 1.4;
        }
        if ((s == 1 || s == 3) && s + 1 < sections) {
            auto* isolator = DrawSwitch<CIsolator>(doc, {x, y}, {x + 60, y}, true);
            isolator->m_dSwitchTime = 1.0;
            x += 60;
        }
    }
    return {x, y};
}

// A normally open tie from `a` (a recloser out to the right) and a tie line on to `b`.
inline void DrawTie(CKorvaneDoc& doc, CPoint a, int reach, CPoint b, const Options& options)
{
    const CPoint turn(a.x + reach, a.y);
    auto* tie = Segment<CRecloser>(doc, a, turn);
    tie->m_dReclose1 = 1.0;
    tie->m_dReclTime = 1.0;
    DrawLine(doc, turn, b, 1.0, true, options.mainCapacity);
}

}  // namespace detail

// Draws the copies into an empty document and sets its Monte Carlo settings (accuracy 1e-12, so
// a run goes on to its last year).
inline void Draw(CKorvaneDoc& doc, int copyCount, const Options& options = {})
{
    using namespace detail;
    doc.m_pSimulationSettings->quantsPerDay = options.quantsPerDay;
    doc.m_pSimulationSettings->yearMin = 100;
    doc.m_pSimulationSettings->yearMax = 10000;
    doc.m_pSimulationSettings->yearStep = 100;
    doc.m_pSimulationSettings->accuracy = 1e-12;
    // The bus runs up from the source; each copy adds the section that reaches its feeders.
    Symbol<CGenSource>(doc, {0, -1000});
    int load = 0;
    CPoint previousEnd;
    for (int c = 0; c < copyCount; ++c) {
        const int top = c * 1000;
        const CPoint bus(0, top);
        Segment<CBusBar>(doc, {0, top - 1000}, bus);
        CPoint ends[4];
        for (int f = 0; f < 4; ++f)
            ends[f] = DrawFeeder(doc, bus, top + 100 + 220 * f, f % 2 == 0 ? 5 : 6, load, options);
        DrawTie(doc, ends[0], 100, ends[1], options);
        DrawTie(doc, ends[2], 100, ends[3], options);
        if (options.tiesBetweenCopies && c > 0)
            DrawTie(doc, previousEnd, 250, ends[0], options);
        previousEnd = ends[3];
    }
}

// Moves the drawing onto the canvas (the source stands above the first copy's bus) and sizes the
// workspace to it, as a user who opened it would set it.
inline void FitWorkspace(CKorvaneDoc& doc)
{
    const CPoint shift(20, 1020);
    CRect extent;
    for (CWidget* w : doc.GetWidgetsInOrder()) {
        w->SetStartPoint(w->GetStartPoint() + shift);
        if (w->IsTwoEnded())
            w->SetEndPoint(w->GetEndPoint() + shift);
        extent = extent.Union(CRect(w->GetStartPoint(), w->GetEndPoint()));
    }
    doc.m_workspace.m_nWorkspaceWidth = extent.right + 100;
    doc.m_workspace.m_nWorkspaceHeight = extent.bottom + 100;
    doc.m_workspace.m_sizeDoc = CSize(doc.m_workspace.m_nWorkspaceWidth, doc.m_workspace.m_nWorkspaceHeight);
}

inline std::string Ndl(CKorvaneDoc& doc)
{
    CNDLGenerator generator(&doc);
    if (!generator.Validate())
        throw std::logic_error("copies: the drawing does not connect");
    generator.Generate();
    return generator.GetNDL();
}

inline std::string Gml(CKorvaneDoc& doc)
{
    CGMLGenerator generator(&doc);
    if (!generator.Validate())
        throw std::logic_error("copies: the drawing does not connect");
    generator.Generate();
    return generator.GetGML();
}

}  // namespace copies
