// A fuse: a protective switching device between two nodes.
#pragma once

#include "model/SwitchWidget.h"

class CFuse : public CSwitchWidget {
    KORVANE_DECLARE_SERIAL(CFuse)
public:
    CFuse() = default;
    CFuse(CPoint start, CPoint end, int width, COLORREF colour) : CSwitchWidget(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::Fuse; }
    std::string GetNDLDefinition() const override { return SwitchNdl("fuse: "); }
    std::string GetGMLRecord() const override { return SwitchGml(1); }
    std::unique_ptr<CWidget> Clone() const override;
};
