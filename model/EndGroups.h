// Touching widget ends joined into nodes: the one rule by which the NDL and GML texts number a
// drawing and the connection check accepts it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/Geometry.h"

class CWidget;

// Ends are numbered in walk order: a two-ended widget's start, then its end; a symbol's one point.
//
// Two ends meet when a segment end's handle holds the other end's point or a symbol's anchor. A
// symbol's body reaches further than a handle, so that a symbol belongs to one point only: a symbol
// that meets no segment end takes the nearest end its body holds, and a segment end that meets
// nothing takes the nearest symbol whose body holds it when it is the nearer of its widget's two
// ends (a device shorter than the body keeps its far end on its own node). A symbol whose body holds
// another's anchor joins it only when one of the two is on no segment end: symbols each on its own
// end keep their own nodes however near they are drawn. Ends joined through a chain of meetings, and
// both ends of a bus bar, form one node.
class CEndGroups {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit CEndGroups(const std::vector<CWidget*>& widgets);

    std::size_t EndCount() const { return m_group.size(); }
    // The index of the widget's first end (at its walk position).
    std::size_t FirstEnd(std::size_t owner) const { return m_firstEnd[owner]; }
    // The node of an end, named by the smallest end index in it.
    std::size_t Group(std::size_t end) const { return m_group[end]; }
    // Every end of the widget joins an end of another widget.
    bool IsConnected(std::size_t owner) const;
    // The two ends of a two-ended widget other than a bus bar fall on one node, so the widget
    // would connect nothing to nothing.
    bool IsLooped(std::size_t owner) const;
    // The walk position of a widget, or npos when the walk does not hold it.
    std::size_t OwnerOf(const CWidget* widget) const;

private:
    struct End {
        const CWidget* widget;
        std::size_t owner;
        CPoint point;
        bool isStart;  // a segment's start, else its end; a symbol's point counts as a start
        bool segment;
    };

    void JoinMeetingEnds();
    void TestPair(std::size_t a, std::size_t b, std::int64_t reach);
    void JoinThroughBodies();
    bool Holds(std::size_t end, std::size_t other) const;
    bool IsNearerEnd(std::size_t end, std::size_t symbol) const;
    bool IsCloser(std::size_t end, std::size_t symbol, std::size_t other, std::size_t otherSymbol) const;
    std::size_t Root(std::size_t end);
    void Join(std::size_t a, std::size_t b);

    std::vector<End> m_ends;
    std::vector<std::size_t> m_firstEnd;
    std::unordered_map<const CWidget*, std::size_t> m_ownerOf;
    std::vector<std::size_t> m_group;  // parent links while grouping, then each end's root
    std::vector<bool> m_touched;       // joins an end of another widget
    std::vector<bool> m_onSegment;     // a symbol joined to a segment end
    std::vector<std::pair<std::size_t, std::size_t>> m_boxed;  // segment end inside a symbol's body
    std::vector<std::pair<std::size_t, std::size_t>> m_overlapping;  // symbols, one's body on the other's anchor
};
