// An isolator: a switch that opens to isolate a fault, with an analytical switching time.
#pragma once

#include "model/SwitchWidget.h"

class CIsolator : public CSwitchWidget {
    KORVANE_DECLARE_SERIAL(CIsolator)
public:
    double m_dSwitchTime = 0.0;

    CIsolator() = default;
    CIsolator(CPoint start, CPoint end, int width, COLORREF colour) : CSwitchWidget(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::Isolator; }
    std::string GetNDLDefinition() const override { return SwitchNdl("isolator: "); }
    std::string GetGMLRecord() const override;
    std::unique_ptr<CWidget> Clone() const override;

protected:
    void SerializeExtra(CArchive& ar) override;
};
