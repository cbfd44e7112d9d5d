// The Monte Carlo pages of the datasheets (all but the load point's): optional values with
// their check boxes, and notes.
#pragma once

#include "editor/DatasheetValues.h"
#include "ui/dialogs/DatasheetPage.h"

// Feeder, equipment and transformer: capacity, failure, isolation, repair and length.
class CLineEquipmentDlg : public CDatasheetPage {
public:
    CLineEquipmentDlg(wxWindow* parent, CLineEquipmentValues& values);
};

// Circuit breaker, fuse, isolator and gen source: the capacity.
class CComponentDlg : public CDatasheetPage {
public:
    CComponentDlg(wxWindow* parent, CComponentValues& values);
};

// Recloser: the capacity and the two reclosing times.
class CRecloserDlg : public CDatasheetPage {
public:
    CRecloserDlg(wxWindow* parent, CRecloserValues& values);
};

// Bus bar: a note that a bus bar has no attribute.
class CBusBarDlg : public CDatasheetPage {
public:
    explicit CBusBarDlg(wxWindow* parent);
};
