// Where the widgets of a document lie, sorted into square cells over the drawing: a repaint draws
// only the widgets that reach into it, and a click tests only the widgets near it.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "model/KorvaneDoc.h"

// Room for a load point's name, in model units: the width one byte of it may take and the height
// of a line. Glyphs the font lacks are drawn as boxes of fixed pixels and tabs reach fixed stops,
// so a name takes more model units the smaller the scale: the room is taken at the smallest.
struct CTextReach {
    int byteWidth = 48;
    int lineHeight = 32;
};

class CWidgetIndex {
public:
    explicit CWidgetIndex(const CKorvaneDoc& doc);

    void SetTextReach(const CTextReach& reach);
    // After a widget moved or a load point was renamed. Widgets added or removed and networks
    // loaded are found by the index itself.
    void Update(const CWidget* widget);

    // The widgets of the widget-order list whose drawing may reach into the rectangle, in that
    // list's order: every widget whose drawing does is among them.
    std::vector<const CWidget*> FindDrawn(const CRect& area);
    // For each type, the indices in its collection, ascending, of the widgets whose body or end
    // handles may hold the point: every widget that a hit test there finds is among them.
    std::array<std::vector<int>, kWidgetTypeCount> FindHits(CPoint point);

    // What the widget's figure, its end-point marks and its selection marks may cover at any zoom:
    // pens as wide as drawing makes them, and a load point's name within the text reach.
    static CRect DrawnBox(const CWidget& widget, const CTextReach& text);
    // What the widget's body and handle tests may hold.
    static CRect HitBox(const CWidget& widget);

private:
    struct Entry {
        const CWidget* widget;
        WidgetType type;
        int index;  // in its collection
        int order;  // place in the widget-order list, -1 when the list does not name it
        CRect drawn, hit;
        CRect cells;  // the cells it lies in, first and last in each direction
        bool large;   // in too many cells: kept in the list of large entries instead
    };

    // Follows the widgets added, removed or loaded since the last look.
    void Sync();
    void Rebuild();
    // Takes in the widgets added at the ends of the lists; false when more than that changed.
    bool Append();
    // The entry of a new widget: its boxes taken and placed in the cells.
    void Enter(const CWidget* widget, WidgetType type, int index);
    // Reads the names added to the widget-order list since the last look.
    void ReadOrder();
    void Place(int id);
    void Unplace(int id);
    // Calls `visit` once with every entry that may meet the rectangle.
    template <typename Visitor>
    void Visit(const CRect& area, Visitor&& visit);

    const CKorvaneDoc* m_pDoc;
    CTextReach m_text;
    // What the document held at the last look.
    std::uint64_t m_revision = 0;
    std::uint64_t m_added = 0;
    int m_widgetCount = -1;  // -1: nothing taken yet
    std::size_t m_orderSize = 0;
    // The widget-order list as read: the names met of each type, the next place, and whether a
    // name named no widget.
    std::array<int, kWidgetTypeCount> m_named{};
    int m_nextOrder = 0;
    bool m_strayNames = false;

    std::vector<Entry> m_entries;
    std::array<std::vector<int>, kWidgetTypeCount> m_byType;  // entry of each collection index
    std::unordered_map<const CWidget*, int> m_ids;
    std::unordered_map<std::uint64_t, std::vector<int>> m_cells;
    std::vector<int> m_large;
    // Marks of the entries a query has met, so that an entry in several cells is taken once.
    std::vector<std::uint32_t> m_seen;
    std::uint32_t m_stamp = 0;
};
