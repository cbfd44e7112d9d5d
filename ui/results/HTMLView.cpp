#include "ui/results/HTMLView.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/sizer.h>
#include <wx/weakref.h>

#include "montecarlo/ReportText.h"
#include "ui/ChildFrame.h"
#include "ui/KorvaneApp.h"
#include "ui/MainFrame.h"
#include "ui/NetworkDocument.h"
#include "ui/results/ReportPrintout.h"

wxIMPLEMENT_DYNAMIC_CLASS(CHTMLView, wxView);

CHTMLView::~CHTMLView()
{
    if (GetDocument() != nullptr)
        GetDoc().RemoveObserver(this);
    if (m_openFlag != nullptr && wxGetApp().GetMainFrame() != nullptr)
        *m_openFlag = false;
}

CKorvaneDoc& CHTMLView::GetDoc() const
{
    return static_cast<CNetworkDocument*>(GetDocument())->GetDoc();
}

std::string CHTMLView::GetInitialPath() const
{
    return GetDoc().GetMonteCarloResultPath();
}

bool* CHTMLView::OpenFlag(CMainFrame& frame) const
{
    return &frame.m_bMonteCarloResultOpen;
}

bool CHTMLView::OnCreate(wxDocument* doc, long flags)
{
    if (!wxView::OnCreate(doc, flags) || wxDynamicCast(doc, CNetworkDocument) == nullptr)
        return false;
    CMainFrame* mainFrame = wxGetApp().GetMainFrame();
    if (mainFrame == nullptr)
        return false;
    m_openFlag = OpenFlag(*mainFrame);
    auto* frame = new CChildFrame(doc, this, mainFrame, MenuKind::ResultPage);
    m_browser = new CReportWindow(frame);
    m_browser->Bind(wxEVT_SIZE, &CHTMLView::OnBrowserSize, this);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_browser, 1, wxEXPAND);
    frame->SetSizer(sizer);
    SetFrame(frame);
    OnChangeFilename();
    GetDoc().AddObserver(this);
    const std::string path = GetInitialPath();
    if (!path.empty())
        Navigate(path, std::string(), true);
    frame->Show(true);
    return true;
}

bool CHTMLView::OnClose(bool deleteWindow)
{
    Activate(false);
    if (deleteWindow && GetFrame() != nullptr) {
        // Deleted at once: nothing of the frame is touched after this.
        GetFrame()->Destroy();
        SetFrame(nullptr);
        m_browser = nullptr;
    }
    return true;
}

void CHTMLView::OnChangeFilename()
{
    if (GetFrame() != nullptr && GetDocument() != nullptr)
        GetFrame()->SetLabel(wxString::FromUTF8(GetDoc().GetTitle() + " \u2013 " + PageName()));
}

wxPrintout* CHTMLView::OnCreatePrintout()
{
    // A blank page, or one that offers its report to the browser, has nothing to print.
    if (m_path.empty() || m_browser == nullptr || m_browser->IsOffering())
        return nullptr;
    return new CReportPrintout(GetDocument() != nullptr ? GetDocument()->GetUserReadableName() : wxString(),
                               m_browser->GetSource(), wxString::FromUTF8(m_path));
}

void CHTMLView::OnDocumentUpdate(const void*, const std::string* hint)
{
    if (hint == nullptr || hint->empty())
        return;
    // The editor's anchors follow the document's report path; any other text is a path.
    const std::string report = GetDoc().GetMonteCarloResultPath();
    if (!report.empty() && hint->size() > report.size() && hint->compare(0, report.size(), report) == 0 &&
        (*hint)[report.size()] == '#')
        Navigate(report, hint->substr(report.size() + 1), false);
    else
        Navigate(*hint, std::string(), true);
}

void CHTMLView::Navigate(const std::string& path, const std::string& anchor, bool reload)
{
    if (m_browser == nullptr)
        return;
    if (reload || path != m_path) {
        m_path = path;
        wxLogNull quiet;  // a report not written yet, or gone, is said on the page rather than in a box
        if (!m_browser->LoadFile(wxFileName(wxString::FromUTF8(path))))
            m_browser->SetPage(wxString::FromUTF8("<p>There is no report at " + korvane::EscapeHtml(path) + ".</p>"));
    }
    m_anchor = anchor;
    m_anchorPending = !anchor.empty();
    ScrollToAnchor();
}

void CHTMLView::ScrollToAnchor()
{
    if (!m_anchorPending || m_browser == nullptr)
        return;
    // Before the page has its size the jump is lost: it is made again on the first resize.
    if (m_browser->GetClientSize().y <= 1)
        return;
    wxLogNull quiet;  // a load point added since the run has no section: the page stays put
    m_browser->LoadPage("#" + wxString::FromUTF8(m_anchor));
    m_anchorPending = false;
}

void CHTMLView::OnBrowserSize(wxSizeEvent& event)
{
    event.Skip();
    if (m_anchorPending) {
        wxWeakRef<CHTMLView> self(this);
        m_browser->CallAfter([self] {
            if (self)
                self->ScrollToAnchor();
        });
    }
}
