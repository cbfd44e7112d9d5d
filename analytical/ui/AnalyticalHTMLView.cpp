#include "analytical/ui/AnalyticalHTMLView.h"

#include "editor/ui/MainFrame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CAnalyticalHTMLView, CHTMLView);

std::string CAnalyticalHTMLView::GetInitialPath() const
{
    return GetDoc().GetAnalyticalResultPath();
}

bool* CAnalyticalHTMLView::OpenFlag(CMainFrame& frame) const
{
    return &frame.m_bAnalyticalResultOpen;
}
