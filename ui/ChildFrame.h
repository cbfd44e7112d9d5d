// The frame of every document window: a tab of the main frame with its own menu bar.
#pragma once

#include <wx/aui/aui.h>
#include <wx/docview.h>

#include "ui/Commands.h"

using CChildFrameBase = wxDocChildFrameAny<wxAuiMDIChildFrame, wxAuiMDIParentFrame>;

class CChildFrame : public CChildFrameBase {
public:
    // `menus` says which menu bar the window shows while it is active.
    CChildFrame(wxDocument* doc, wxView* view, wxAuiMDIParentFrame* parent, MenuKind menus);
    ~CChildFrame() override;

#ifdef __WXGTK__
    // To GTK this frame is a panel in a notebook tab, not a window: the top-level frame's
    // realize step would cast it to a GtkWindow and flood the log with GLib warnings.
    void GTKHandleRealized() override { wxWindow::GTKHandleRealized(); }
#endif

private:
    wxMenu* m_recentFiles = nullptr;
};
