#include "ui/NetworkCanvas.h"

#include <wx/dcbuffer.h>

#include "ui/KorvaneView.h"

CNetworkCanvas::CNetworkCanvas(CKorvaneView* view, wxWindow* parent)
    : wxScrolledCanvas(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxHSCROLL | wxVSCROLL | wxWANTS_CHARS),
      m_view(view)
{
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetBackgroundColour(*wxWHITE);
    SetScrollRate(10, 10);
    Bind(wxEVT_PAINT, &CNetworkCanvas::OnPaint, this);
    for (const auto type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_MOTION, wxEVT_RIGHT_UP})
        Bind(type, &CNetworkCanvas::OnMouse, this);
    Bind(wxEVT_KEY_DOWN, &CNetworkCanvas::OnKeyDown, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CNetworkCanvas::OnCaptureLost, this);
    Bind(wxEVT_CONTEXT_MENU, &CNetworkCanvas::OnContextMenu, this);
}

void CNetworkCanvas::OnPaint(wxPaintEvent&)
{
    wxAutoBufferedPaintDC dc(this);
    if (m_view != nullptr)
        m_view->Paint(dc, GetUpdateRegion().GetBox());
    else
        dc.Clear();
}

void CNetworkCanvas::OnMouse(wxMouseEvent& event)
{
    if (m_view != nullptr)
        m_view->HandleMouse(event);
    event.Skip();
}

void CNetworkCanvas::OnKeyDown(wxKeyEvent& event)
{
    if (m_view == nullptr || !m_view->HandleKeyDown(event))
        event.Skip();
}

void CNetworkCanvas::OnCaptureLost(wxMouseCaptureLostEvent&)
{
    if (m_view != nullptr)
        m_view->HandleCaptureLost();
}

void CNetworkCanvas::OnContextMenu(wxContextMenuEvent&)
{
    // The right button's release decides between the datasheet and the menu.
}
