// A bus bar: joins the nodes it touches; it has no datasheet values and no NDL or GML text.
#pragma once

#include <string>

#include "model/Widget.h"

class CBusBar : public CSegmentWidget {
    KORVANE_DECLARE_SERIAL(CBusBar)
public:
    // Spare fields, kept through files and clones and read by nothing else.
    std::int32_t m_nSpare = -1;
    double m_dSpare1 = 0.0;
    double m_dSpare2 = 0.0;
    double m_dSpare3 = 0.0;
    double m_dSpare4 = 0.0;
    std::string m_strSpare;

    CBusBar() = default;
    CBusBar(CPoint start, CPoint end, int width, COLORREF colour) : CSegmentWidget(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::BusBar; }
    std::string GetNDLDefinition() const override { return {}; }
    std::string GetGMLRecord() const override { return {}; }
    std::unique_ptr<CWidget> Clone() const override;
    void Serialize(CArchive& ar) override;
};
