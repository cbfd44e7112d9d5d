// A recloser: opens on a fault and recloses after its reclosing time.
#pragma once

#include <string>

#include "model/Widget.h"

class CRecloser : public CSegmentWidget {
    KORVANE_DECLARE_SERIAL(CRecloser)
public:
    double m_dCapacity = -1.0;
    std::string m_strNotes;
    double m_dReclose1 = -1.0;
    double m_dReclose2 = -1.0;
    std::int32_t m_nReclFeederId = 3;  // assigned by the GML generator
    double m_dFeederLength = 0.0;
    double m_dReclTime = 0.0;
    std::string m_strAnalyticalNotes;

    CRecloser() = default;
    CRecloser(CPoint start, CPoint end, int width, COLORREF colour) : CSegmentWidget(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::Recloser; }
    std::string GetNDLDefinition() const override;
    std::string GetGMLRecord() const override;
    std::unique_ptr<CWidget> Clone() const override;
    void Serialize(CArchive& ar) override;
};
