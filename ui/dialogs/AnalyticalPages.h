// The analytical pages of the datasheets: every value is given and checked against its range;
// the six feeder-type pages also choose main or lateral feeder.
#pragma once

#include "editor/DatasheetValues.h"
#include "ui/dialogs/DatasheetPage.h"

class wxRadioButton;

// Base of the six feeder-type pages: the feeder-type radios and the feeder values.
class CAnalyticalFeederPage : public CDatasheetPage {
protected:
    CAnalyticalFeederPage(wxWindow* parent, const wxString& caption, CAnalyticalFeederValues& values);
    // Fault rate, length and maximum capacity (edit 1089), shown greyed: they pass through
    // unchanged. The repair time follows them unless the page puts it last.
    void AddGreyedFeederValues(wxStaticBoxSizer* group, wxFlexGridSizer* grid, bool withRepairTime);

    CAnalyticalFeederValues& m_values;
};

// Feeder: fault rate, length, maximum capacity and repair time, all editable.
class CAnalyticalLineDlg : public CAnalyticalFeederPage {
public:
    CAnalyticalLineDlg(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Circuit breaker: the feeder values shown greyed (they pass through unchanged).
class CAnalyticalCircuitBreakerDlg : public CAnalyticalFeederPage {
public:
    CAnalyticalCircuitBreakerDlg(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Fuse: as the circuit breaker.
class CAnalyticalFuseDialog : public CAnalyticalFeederPage {
public:
    CAnalyticalFuseDialog(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Isolator: as the circuit breaker, with its switch time.
class CAnalyticalIsolatorDlg : public CAnalyticalFeederPage {
public:
    CAnalyticalIsolatorDlg(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Equipment: as the circuit breaker, with the transformer repair time and outage rate.
class CAnalyticalEquipmentDlg : public CAnalyticalFeederPage {
public:
    CAnalyticalEquipmentDlg(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Transformer: as the equipment.
class CAnalyticalTransformerDlg : public CAnalyticalFeederPage {
public:
    CAnalyticalTransformerDlg(wxWindow* parent, CAnalyticalFeederValues& values);
};

// Recloser: length and reclosing time.
class CAnalyticalRecloserDlg : public CDatasheetPage {
public:
    CAnalyticalRecloserDlg(wxWindow* parent, CAnalyticalRecloserValues& values);
};

// Load point: load, customers, and the load class (a class needs its clustered data file).
class CAnalyticalLoadPointDlg : public CDatasheetPage {
public:
    CAnalyticalLoadPointDlg(wxWindow* parent, CAnalyticalLoadPointValues& values);

private:
    void AfterTransferIn() override;

    CAnalyticalLoadPointValues& m_values;
    wxRadioButton* m_none;
    wxRadioButton* m_residential;
    wxRadioButton* m_industrial;
    wxRadioButton* m_agricultural;
    wxRadioButton* m_other;
};

// Bus bar: a note that a bus bar has no attribute.
class CAnalyticalBusBarDlg : public CDatasheetPage {
public:
    explicit CAnalyticalBusBarDlg(wxWindow* parent);
};

// Gen source: a note that it has no analytical attribute.
class CAnalyticalGenSourceDlg : public CDatasheetPage {
public:
    explicit CAnalyticalGenSourceDlg(wxWindow* parent);
};
