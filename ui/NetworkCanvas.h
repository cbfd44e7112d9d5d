// The scrolling window of a network view: paints through the view and hands it every mouse event
// and its keys (the tool keys go to the view through the application's event filter).
#pragma once

#include <wx/scrolwin.h>

class CKorvaneView;

class CNetworkCanvas : public wxScrolledCanvas {
public:
    CNetworkCanvas(CKorvaneView* view, wxWindow* parent);

    // The view is going away: events no longer reach it.
    void Detach() { m_view = nullptr; }

private:
    void OnPaint(wxPaintEvent& event);
    void OnMouse(wxMouseEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);

    CKorvaneView* m_view;
};
