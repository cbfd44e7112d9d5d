#include "ui/results/AnalyticalHTMLView.h"

#include "ui/MainFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CAnalyticalHTMLView, CHTMLView);

std::string CAnalyticalHTMLView::GetInitialPath() const
{
    return {};
}

bool* CAnalyticalHTMLView::OpenFlag(CMainFrame& frame) const
{
    return &frame.m_bAnalyticalResultOpen;
}
