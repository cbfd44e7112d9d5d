#include "ui/ChildFrame.h"

#include <wx/menu.h>

CChildFrame::CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, MenuKind menus)
{
    // Created here rather than by the base's constructor, so that creation already sees this
    // class's realize step.
    Create(doc, view, parent, wxID_ANY, doc->GetUserReadableName());
    SetMenuBar(BuildMenuBar(menus, &m_recentFiles));
    if (wxDocManager* manager = doc->GetDocumentManager()) {
        manager->FileHistoryUseMenu(m_recentFiles);
        manager->FileHistoryAddFilesToMenu(m_recentFiles);
    }
}

CChildFrame::~CChildFrame()
{
    if (wxDocManager* manager = wxDocManager::GetDocumentManager())
        manager->FileHistoryRemoveMenu(m_recentFiles);
}
