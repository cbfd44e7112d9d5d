// A load point: customers with an average and peak demand and an optional load profile.
#pragma once

#include <string>
#include <vector>

#include "model/Widget.h"

class CLoadPoint : public CSymbolWidget {
    KORVANE_DECLARE_SERIAL(CLoadPoint)
public:
    double m_dAverage = -1.0;
    double m_dPeak = -1.0;
    std::int32_t m_nCustomers = -1;
    std::string m_strName = "LP";
    std::string m_strNotes;
    // Held by value; the file stores each value as an object.
    std::vector<double> m_profile;
    std::int32_t m_nNodeId = -1;  // assigned by the GML generator
    std::int32_t m_nLoadId = -1;  // assigned by the GML generator
    std::int32_t m_nNumCustomers = 0;
    double m_dLoad = 0.0;
    std::string m_strAnalyticalNotes;

    CLoadPoint() = default;
    CLoadPoint(CPoint position, int width, COLORREF colour) : CSymbolWidget(position, width, colour) {}

    WidgetType GetType() const override { return WidgetType::LoadPoint; }
    CRect BodyBox() const override;
    CRect EndHandleBox() const override;
    std::string GetNDLDefinition() const override;
    std::string GetGMLRecord() const override;
    std::unique_ptr<CWidget> Clone() const override;
    void Serialize(CArchive& ar) override;
};
