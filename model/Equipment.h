// An equipment item: a branch with transformer outage data, written as "equipment" in NDL.
#pragma once

#include "model/BranchWidget.h"

class CEquipment : public CEquipmentBase {
    KORVANE_DECLARE_SERIAL(CEquipment)
public:
    CEquipment() = default;
    CEquipment(CPoint start, CPoint end, int width, COLORREF colour) : CEquipmentBase(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::Equipment; }
    std::unique_ptr<CWidget> Clone() const override;
};
