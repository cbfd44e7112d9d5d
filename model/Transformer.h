// A transformer: a branch with transformer outage data, written as "equipment" in NDL.
#pragma once

#include "model/BranchWidget.h"

class CTransformer : public CEquipmentBase {
    KORVANE_DECLARE_SERIAL(CTransformer)
public:
    CTransformer() = default;
    CTransformer(CPoint start, CPoint end, int width, COLORREF colour) : CEquipmentBase(start, end, width, colour) {}

    WidgetType GetType() const override { return WidgetType::Transformer; }
    std::unique_ptr<CWidget> Clone() const override;
};
