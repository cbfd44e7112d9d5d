#include "editor/WorkspaceValues.h"

#include "model/KorvaneDoc.h"

const std::array<CWorkspaceSize, 8> kWorkspaceSizes = {{
    {"&Default", 780, 430},
    {"640*480", 640, 480},
    {"800*600", 800, 600},
    {"1024*786", 1024, 786},
    {"1152*864", 1152, 864},
    {"1290*960", 1290, 960},
    {"1600*1200", 1600, 1200},
    {"1920*1440", 1920, 1440},
}};

CWorkspaceValues CWorkspaceValues::From(const CKorvaneDoc& doc)
{
    const CWorkspaceOptions& w = doc.m_workspace;
    CWorkspaceValues v;
    v.m_nWidth = w.m_nWorkspaceWidth;
    v.m_nHeight = w.m_nWorkspaceHeight;
    v.m_nRedrawMode = w.m_nRedrawMode;
    v.m_bAdaptiveDrawing = w.m_bAdaptiveDrawing != 0;
    v.m_bCreateDirectory = w.m_bCreateDirectory != 0;
    v.m_nSnapGrid = w.m_nSnapGrid;
    return v;
}

void CWorkspaceValues::StoreTo(CKorvaneDoc& doc) const
{
    CWorkspaceOptions& w = doc.m_workspace;
    w.m_nWorkspaceWidth = m_nWidth;
    w.m_nWorkspaceHeight = m_nHeight;
    w.m_nRedrawMode = m_nRedrawMode;
    w.m_bAdaptiveDrawing = m_bAdaptiveDrawing ? 1 : 0;
    w.m_bCreateDirectory = m_bCreateDirectory ? 1 : 0;
    w.m_nSnapGrid = m_nSnapGrid;
    // The drawing is as large as the workspace: saving and scrolling use its size.
    w.m_sizeDoc = CSize(m_nWidth, m_nHeight);
    doc.SetModifiedFlag();
}
