// The analytical result page: the twin of the Monte Carlo page. The analytical run writes no page,
// so it opens blank; it follows the document's hints as the Monte Carlo page does.
#pragma once

#include "ui/results/HTMLView.h"

class CAnalyticalHTMLView : public CHTMLView {
    wxDECLARE_DYNAMIC_CLASS(CAnalyticalHTMLView);

protected:
    std::string GetInitialPath() const override;
    bool* OpenFlag(CMainFrame& frame) const override;
    const char* PageName() const override { return "Analytical results"; }
};
