// What the workspace options dialog edits: canvas size, redraw method, adaptive drawing, snap
// grid and the result folder option of a document.
#pragma once

#include <array>
#include <cstdint>

#include "editor/FieldRule.h"

class CKorvaneDoc;

// A size button of the dialog.
struct CWorkspaceSize {
    const char* label;
    int width;
    int height;
};

// "&Default", then the sizes from "640*480" up to "1920*1440".
extern const std::array<CWorkspaceSize, 8> kWorkspaceSizes;

struct CWorkspaceValues {
    static constexpr CFieldRule kSizeRule{CFieldRule::Kind::Integer, 0.0, 30000.0};
    static constexpr int kLargestSnapGrid = 20;

    std::uint8_t m_nRedrawMode = 0;  // 0 full-screen, 1 regional
    std::int32_t m_nSnapGrid = 0;    // 0 (no snapping) to 20 pixels
    std::int32_t m_nHeight = 0;
    std::int32_t m_nWidth = 0;
    bool m_bAdaptiveDrawing = false;
    bool m_bCreateDirectory = false;

    static CWorkspaceValues From(const CKorvaneDoc& doc);
    // Writes the six options back, sizes the drawing to the workspace and marks the document
    // modified (OK always does, changed or not).
    void StoreTo(CKorvaneDoc& doc) const;
};
