// Builds drawings in a document for the tests: widgets placed by their points, and the small
// network that the NDL generator and reader tests share.
#pragma once

#include <memory>

#include "model/KorvaneDoc.h"

namespace drawing {

template <typename T>
T* Add(CKorvaneDoc& doc, std::unique_ptr<T> widget)
{
    return static_cast<T*>(doc.AddWidget(std::move(widget)));
}

template <typename T>
T* Segment(CKorvaneDoc& doc, CPoint start, CPoint end)
{
    return Add(doc, std::make_unique<T>(start, end, 1, 0));
}

template <typename T>
T* Symbol(CKorvaneDoc& doc, CPoint at)
{
    return Add(doc, std::make_unique<T>(at, 1, 0));
}

// A source, a breaker, two feeders and two named load points, drawn end to end, at 24 quanta a day.
inline void SmallNetwork(CKorvaneDoc& doc)
{
    doc.m_pSimulationSettings->quantsPerDay = 24;
    auto* source = Symbol<CGenSource>(doc, {100, 100});
    source->m_dCapacity = 1000;
    auto* feeder1 = Segment<CLine>(doc, {100, 100}, {200, 100});
    feeder1->m_dLength = 2;
    feeder1->m_dCapacity = 500;
    feeder1->m_dFailure1 = 0.1;
    feeder1->m_dFailure2 = 1.5;
    feeder1->m_dIsolation1 = 1;
    feeder1->m_dRepair1 = 4;
    feeder1->m_dRepair2 = 2;
    auto* breaker = Segment<CCircuitBreaker>(doc, {200, 100}, {240, 100});
    breaker->m_dCapacity = 800;
    auto* feeder2 = Segment<CLine>(doc, {240, 100}, {340, 100});
    feeder2->m_dLength = 0.5;
    feeder2->m_dFailure2 = 2;  // only the shape: written after the reader's default rate
    auto* mill = Symbol<CLoadPoint>(doc, {340, 100});
    mill->m_strName = "Mill";
    mill->m_nCustomers = 10;
    mill->m_dAverage = 5;
    mill->m_dPeak = 8;
    mill->m_profile = {1, 2, 3};
    auto* farm = Symbol<CLoadPoint>(doc, {200, 100});
    farm->m_strName = "Farm";
    farm->m_nCustomers = 3;
    farm->m_dAverage = 2.5;
}

}  // namespace drawing
