// Writes a document's network as the GML text the analytical engine reads, after checking that
// every widget is connected.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/Collections.h"
#include "model/Widget.h"

class CKorvaneDoc;

class CGMLGenerator {
public:
    explicit CGMLGenerator(CKorvaneDoc* pDoc);

    // True when every widget touches others at both ends (a one-point widget: anywhere), seen
    // from either side; each widget that does not is added to the error list.
    bool Validate();
    // Numbers the graph's nodes and feeders into the widgets and builds the text.
    void Generate();
    std::string GetGML() const { return m_strGML; }
    const CWidgetCollection& GetErrors() const { return m_errors; }

    // Every widget can be tested against every other (true) instead of only against the widgets
    // with a point near its own; both give the same text. For tests.
    void SetExhaustiveSearch(bool exhaustive) { m_exhaustive = exhaustive; }

private:
    // The widgets in widget-order list order, as far as the counts taken at construction reach.
    void BuildOrder();
    // Calls `test(q)` for each other list position q whose widget has a point near one of the
    // widget's at position p, in list order, until `test` returns true.
    template <typename Test>
    bool ForEachNeighbour(int p, Test&& test);

    // Ends that touch, directly or through other ends, form one group with one node number.
    void GroupEnds();
    int Root(int end);
    void JoinEnds(int a, int b);
    void NumberSymbolGroups();
    void ClaimGroup(int end, std::int32_t number);
    void NumberBusBars();
    // The group's number; a group without one gets a new junction.
    std::int32_t GroupNumber(int end);
    void ResolveEnds(int p);
    std::int32_t NewJunction();
    static std::string PerfectFeeder(std::int32_t source, std::int32_t target, long long id);

    std::string m_strGML;
    CKorvaneDoc* m_pDoc;
    std::array<int, kWidgetTypeCount> m_counts{};
    int m_nextFeederId = 1;
    CWidgetCollection m_errors;

    std::vector<CWidget*> m_order;
    std::unordered_map<std::uint64_t, std::vector<int>> m_grid;
    std::vector<int> m_candidates;
    std::vector<int> m_firstEnd;     // by list position: index of its first end
    std::vector<int> m_endParent;    // union-find over the ends
    std::vector<bool> m_touched;     // by end: it touches an end of another widget
    std::vector<std::int32_t> m_groupNumber;  // by root end
    std::vector<std::pair<std::int32_t, std::int32_t>> m_links;  // group's number, further symbol's
    std::unordered_map<const CWidget*, int> m_positionOf;
    std::int32_t m_counter = 0;
    bool m_exhaustive = false;
};
