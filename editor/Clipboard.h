// The editor's private clipboard: copies of widgets, shared by every network view of the program.
#pragma once

#include <memory>
#include <vector>

#include "model/KorvaneDoc.h"

class CClipboard {
public:
    // Replaces the content with clones of the widgets, in the given order.
    void CopyFrom(const std::vector<const CWidget*>& widgets);
    // Adds a clone of every held widget to the document (collections and widget-order list), in
    // order; the clipboard keeps its widgets. Returns how many were added.
    int PasteInto(CKorvaneDoc& doc) const;
    bool IsEmpty() const { return m_widgets.empty(); }
    int GetSize() const { return static_cast<int>(m_widgets.size()); }

private:
    std::vector<std::unique_ptr<CWidget>> m_widgets;
};
