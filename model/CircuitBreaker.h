// A circuit breaker: a protective switching device between two nodes.
#pragma once

#include "model/SwitchWidget.h"

class CCircuitBreaker : public CSwitchWidget {
    KORVANE_DECLARE_SERIAL(CCircuitBreaker)
public:
    CCircuitBreaker() = default;
    CCircuitBreaker(CPoint start, CPoint end, int width, COLORREF colour) : CSwitchWidget(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::CircuitBreaker; }
    std::string GetNDLDefinition() const override { return SwitchNdl("breaker: "); }
    std::string GetGMLRecord() const override { return SwitchGml(3); }
    std::unique_ptr<CWidget> Clone() const override;
};
