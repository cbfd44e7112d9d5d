// Builds drawings in a document for the analytical tests: widgets placed by their points.
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

}  // namespace drawing
