#include "editor/WidgetModes.h"

std::unique_ptr<CMode> MakeMode(WidgetType type, CKorvaneDoc& doc)
{
    switch (type) {
    case WidgetType::Line:
        return std::make_unique<CLineMode>(doc);
    case WidgetType::CircuitBreaker:
        return std::make_unique<CCircuitBreakerMode>(doc);
    case WidgetType::Fuse:
        return std::make_unique<CFuseMode>(doc);
    case WidgetType::Recloser:
        return std::make_unique<CRecloserMode>(doc);
    case WidgetType::Isolator:
        return std::make_unique<CIsolatorMode>(doc);
    case WidgetType::BusBar:
        return std::make_unique<CBusBarMode>(doc);
    case WidgetType::LoadPoint:
        return std::make_unique<CLoadPointMode>(doc);
    case WidgetType::GenSource:
        return std::make_unique<CGenSourceMode>(doc);
    case WidgetType::Equipment:
        return std::make_unique<CEquipmentMode>(doc);
    case WidgetType::Transformer:
        return std::make_unique<CTransformerMode>(doc);
    }
    return nullptr;
}
