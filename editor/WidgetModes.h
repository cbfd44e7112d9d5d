// The ten editing modes, one per widget type; what differs between them lives in CMode's tables.
#pragma once

#include "editor/Mode.h"

#define KORVANE_WIDGET_MODE(Name, Type)                                     \
    class Name final : public CMode {                                       \
    public:                                                                 \
        explicit Name(CKorvaneDoc& doc) : CMode(doc, WidgetType::Type) {}   \
    };

KORVANE_WIDGET_MODE(CLineMode, Line)
KORVANE_WIDGET_MODE(CCircuitBreakerMode, CircuitBreaker)
KORVANE_WIDGET_MODE(CFuseMode, Fuse)
KORVANE_WIDGET_MODE(CRecloserMode, Recloser)
KORVANE_WIDGET_MODE(CIsolatorMode, Isolator)
KORVANE_WIDGET_MODE(CBusBarMode, BusBar)
KORVANE_WIDGET_MODE(CLoadPointMode, LoadPoint)
KORVANE_WIDGET_MODE(CGenSourceMode, GenSource)
KORVANE_WIDGET_MODE(CEquipmentMode, Equipment)
KORVANE_WIDGET_MODE(CTransformerMode, Transformer)

#undef KORVANE_WIDGET_MODE
