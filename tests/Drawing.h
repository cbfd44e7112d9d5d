// Builds drawings in a document for the tests: widgets placed by their points, a drawing written as
// text, and the small network that the NDL generator and reader tests share.
#pragma once

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/Mode.h"
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

// Draws "L 0 0 100 0, P 100 0" as the tools would and returns the widgets: each the letter of its
// kind (L line, C breaker, F fuse, R recloser, I isolator, B bus bar, P load point, G source,
// E equipment, T transformer) and its points, a symbol's one point.
inline std::vector<CWidget*> Draw(CKorvaneDoc& doc, const std::string& drawing)
{
    std::vector<CWidget*> widgets;
    std::istringstream in(drawing);
    for (std::string item; std::getline(in, item, ',');) {
        std::istringstream fields(item);
        char kind = 0;
        CPoint start, end;
        fields >> kind >> start.x >> start.y;
        if (!(fields >> end.x >> end.y))
            end = start;
        const auto type = static_cast<WidgetType>(std::string("LCFRIBPGET").find(kind));
        widgets.push_back(doc.AddWidget(NewWidget(type, start, end)));
    }
    return widgets;
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
