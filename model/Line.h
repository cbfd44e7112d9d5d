// The feeder: a two-ended branch with failure data; the only widget whose NDL carries a length.
#pragma once

#include "model/BranchWidget.h"

class CLine : public CBranchWidget {
    KORVANE_DECLARE_SERIAL(CLine)
public:
    CLine();
    CLine(CPoint start, CPoint end, int width, COLORREF colour);

    WidgetType GetType() const override { return WidgetType::Line; }
    std::string GetNDLDefinition() const override;
    std::string GetGMLRecord() const override;
    std::unique_ptr<CWidget> Clone() const override;
    void Serialize(CArchive& ar) override;
};
