#include "model/Equipment.h"

KORVANE_IMPLEMENT_SERIAL(CEquipment, 1)

std::unique_ptr<CWidget> CEquipment::Clone() const
{
    auto copy = std::make_unique<CEquipment>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}
