// Turns a drawn network into NDL text: checks that every widget is joined, numbers the nodes from
// the touching widget ends, and strings the definitions together in drawing order.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <optional>
#include <vector>

#include "model/Collections.h"
#include "model/EndGroups.h"
#include "model/Widget.h"

class CKorvaneDoc;

class CNDLGenerator {
public:
    // Takes the collection sizes now: widgets added later are not seen by this generator.
    explicit CNDLGenerator(CKorvaneDoc* pDoc);

    // The connection check. True when every widget passed; a widget that failed is appended to
    // the error list, in drawing order, once. A widget whose two ends fall on one node, and a load
    // point whose name the NDL text cannot carry, fail as well.
    bool Validate();
    // The widgets the last Validate refused; they belong to the document.
    const CWidgetCollection* GetErrors() const { return &m_errors; }
    // Why the widget at that place of the error list failed: "not connected", "both ends on one
    // node" and/or a name problem naming the load point.
    const std::string& GetErrorReason(int index) const { return m_errorReasons.at(static_cast<std::size_t>(index)); }

    // Numbers every widget's nodes (m_connect1, m_connect2) and rebuilds the text from scratch.
    // Works on any network; callers keep unconnected ones away with Validate.
    void Generate();
    // A copy of the generated text; empty before Generate.
    std::string GetNDL() const { return m_strNDL; }

    // Whether the name holds none of ", #, \, $ and the control characters (CR and LF among them),
    // which cannot stand in an NDL string or in a report.
    static bool IsNameWritable(const std::string& name);

private:
    void ResetNodeIds(const std::vector<CWidget*>& widgets);
    void AssignBusBarNode(int& counter, CBusBar* busBar);
    void ResolveEdgeNodes(int& counter, std::size_t owner, CWidget* widget);
    void ResolvePointNode(int& counter, std::size_t owner, CWidget* widget);
    int NodeOf(int& counter, std::size_t end);

    std::string m_strNDL;
    CKorvaneDoc* m_pDoc;
    std::array<int, kWidgetTypeCount> m_sizes{};
    CWidgetCollection m_errors;
    std::vector<std::string> m_errorReasons;

    // Scratch of one Generate.
    std::optional<CEndGroups> m_groups;
    std::vector<int> m_nodeOfGroup;
};
