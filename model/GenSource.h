// The generation source: the network's supply, a one-point symbol.
#pragma once

#include <string>

#include "model/Widget.h"

class CGenSource : public CSymbolWidget {
    KORVANE_DECLARE_SERIAL(CGenSource)
public:
    double m_dCapacity = -1.0;
    std::string m_strNotes;
    std::int32_t m_nNodeId = -1;  // assigned by the GML generator

    CGenSource() = default;
    CGenSource(CPoint position, int width, COLORREF colour) : CSymbolWidget(position, width, colour) {}

    WidgetType GetType() const override { return WidgetType::GenSource; }
    CRect BodyBox() const override;
    CRect EndHandleBox() const override;
    std::string GetNDLDefinition() const override;
    std::string GetGMLRecord() const override;
    std::unique_ptr<CWidget> Clone() const override;
    void Serialize(CArchive& ar) override;
};
