// Writes a document's network as the GML text the analytical engine reads, after checking that
// every widget is connected.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "model/Collections.h"
#include "model/EndGroups.h"
#include "model/Widget.h"

class CKorvaneDoc;

class CGMLGenerator {
public:
    explicit CGMLGenerator(CKorvaneDoc* pDoc);

    // True when every widget joins others at both ends (a one-point widget: at its point) and no
    // widget's two ends fall on one node; each widget that fails is added to the error list.
    bool Validate();
    // Numbers the graph's nodes and feeders into the widgets and builds the text.
    void Generate();
    std::string GetGML() const { return m_strGML; }
    const CWidgetCollection& GetErrors() const { return m_errors; }

private:
    // The widgets in widget-order list order, as far as the counts taken at construction reach,
    // and their ends grouped into nodes.
    void GroupEnds();
    void NumberSymbolGroups();
    void ClaimGroup(std::size_t end, std::int32_t number);
    void NumberBusBars();
    // The group's number; a group without one gets a new junction.
    std::int32_t GroupNumber(std::size_t end);
    void ResolveEnds(std::size_t p);
    std::int32_t NewJunction();
    static std::string PerfectFeeder(std::int32_t source, std::int32_t target, long long id);

    std::string m_strGML;
    CKorvaneDoc* m_pDoc;
    std::array<int, kWidgetTypeCount> m_counts{};
    int m_nextFeederId = 1;
    CWidgetCollection m_errors;

    std::vector<CWidget*> m_order;
    std::optional<CEndGroups> m_groups;
    std::vector<std::int32_t> m_groupNumber;  // by group
    std::vector<std::pair<std::int32_t, std::int32_t>> m_links;  // group's number, further symbol's
    std::int32_t m_counter = 0;
};
