#include "editor/Clipboard.h"

void CClipboard::CopyFrom(const std::vector<const CWidget*>& widgets)
{
    // Cloned first, so a failure leaves the old content.
    std::vector<std::unique_ptr<CWidget>> copies;
    copies.reserve(widgets.size());
    for (const CWidget* w : widgets)
        if (w != nullptr)
            copies.push_back(w->Clone());
    m_widgets = std::move(copies);
}

int CClipboard::PasteInto(CKorvaneDoc& doc) const
{
    int added = 0;
    for (const auto& w : m_widgets)
        if (doc.AddWidget(w->Clone()) != nullptr)
            ++added;
    return added;
}
