// Printing and print preview of a network: one page, a model unit 0.01 inch scaled by the view's zoom.
#pragma once

#include <wx/print.h>

class CKorvaneView;

class CNetworkPrintout : public wxPrintout {
public:
    explicit CNetworkPrintout(CKorvaneView* view);

    bool OnPrintPage(int page) override;
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) override;

private:
    CKorvaneView* m_view;
};
