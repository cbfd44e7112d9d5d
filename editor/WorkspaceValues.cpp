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
    CWorkspaceValues v;
    v.m_nWidth = doc.m_nWorkspaceWidth;
    v.m_nHeight = doc.m_nWorkspaceHeight;
    v.m_nRedrawMode = doc.m_nRedrawMode;
    v.m_bAdaptiveDrawing = doc.m_bAdaptiveDrawing != 0;
    v.m_bCreateDirectory = doc.m_bCreateDirectory != 0;
    v.m_nSnapGrid = doc.m_nSnapGrid;
    return v;
}

void CWorkspaceValues::StoreTo(CKorvaneDoc& doc) const
{
    doc.m_nWorkspaceWidth = m_nWidth;
    doc.m_nWorkspaceHeight = m_nHeight;
    doc.m_nRedrawMode = m_nRedrawMode;
    doc.m_bAdaptiveDrawing = m_bAdaptiveDrawing ? 1 : 0;
    doc.m_bCreateDirectory = m_bCreateDirectory ? 1 : 0;
    doc.m_nSnapGrid = m_nSnapGrid;
    // The drawing is as large as the workspace: saving and scrolling use its size.
    doc.m_sizeDoc = CSize(m_nWidth, m_nHeight);
    doc.SetModifiedFlag();
}
