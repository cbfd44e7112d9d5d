#include "montecarlo/NDLGenerator.h"

#include <algorithm>

#include "model/KorvaneDoc.h"
#include "model/SimulationSettings.h"
#include "montecarlo/ParserDistrib.h"
#include "platform/NumberFormat.h"

namespace {

// The name with its control characters made visible, as in A\x00B or A\u0085B.
std::string Describe(const std::string& name)
{
    static const char kHex[] = "0123456789abcdef";
    const auto hex = [](unsigned char byte) { return std::string{kHex[byte >> 4], kHex[byte & 15]}; };
    std::string shown;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n";
        else if (CParserDistrib::IsControlCharacter(c))
            shown += "\\x" + hex(static_cast<unsigned char>(c));
        else if (CParserDistrib::ControlCharacterC1At(name, i) != 0)
            shown += "\\u00" + hex(static_cast<unsigned char>(name[++i]));
        else
            shown += c;
    }
    return shown;
}

}  // namespace

CNDLGenerator::CNDLGenerator(CKorvaneDoc* pDoc) : m_pDoc(pDoc)
{
    for (int type = 0; type < kWidgetTypeCount; ++type)
        m_sizes[static_cast<std::size_t>(type)] = m_pDoc->GetCollection(static_cast<WidgetType>(type)).GetSize();
}

bool CNDLGenerator::IsNameWritable(const std::string& name)
{
    return CParserDistrib::IsNameReadable(name) && name.find_first_of("\"#\\$") == std::string::npos;
}

bool CNDLGenerator::Validate()
{
    const std::vector<CWidget*> widgets = m_pDoc->GetWidgetsInOrder(&m_sizes);
    const CEndGroups groups(widgets);

    // Each check lists the failures it found, once; a second call does not repeat them.
    m_errors = CWidgetCollection();
    m_errorReasons.clear();
    bool result = true;
    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        CWidget* w = widgets[owner];
        std::string reason;
        auto add = [&reason](const std::string& why) { reason += (reason.empty() ? "" : ", and ") + why; };
        if (!groups.IsConnected(owner))
            add("not connected");
        // A device looped onto one node would stand in the text yet protect or carry nothing.
        if (groups.IsLooped(owner))
            add("both ends on one node");
        // A name the text cannot carry would break the NDL string or be read as a comment, macro
        // or continuation, and a control character would reach the reports raw; such names come
        // only from files written before the datasheet refused them.
        if (w->GetType() == WidgetType::LoadPoint) {
            const auto* load = static_cast<const CLoadPoint*>(w);
            if (!IsNameWritable(load->m_strName))
                add("the load point \"" + Describe(load->m_strName) +
                    "\" has a name that NDL cannot carry (it holds \", #, \\, $ or a control character)");
        }
        if (!reason.empty()) {
            m_errors.Add(w);
            m_errorReasons.push_back(std::move(reason));
            result = false;
        }
    }
    return result;
}

void CNDLGenerator::ResetNodeIds(const std::vector<CWidget*>& widgets)
{
    for (CWidget* w : widgets)
        w->m_connect1 = w->m_connect2 = -1;
}

// The node of an end's group: the number the group already has, or the next one.
int CNDLGenerator::NodeOf(int& counter, std::size_t end)
{
    int& node = m_nodeOfGroup[m_groups->Group(end)];
    if (node == -1)
        node = counter++;
    return node;
}

void CNDLGenerator::AssignBusBarNode(int& counter, CBusBar* busBar)
{
    // A bus bar the widget-order list does not name has no ends to join: a node of its own.
    const std::size_t owner = m_groups->OwnerOf(busBar);
    const int node = owner == CEndGroups::npos ? counter++ : NodeOf(counter, m_groups->FirstEnd(owner));
    busBar->m_connect1 = busBar->m_connect2 = node;
}

void CNDLGenerator::ResolveEdgeNodes(int& counter, std::size_t owner, CWidget* widget)
{
    widget->m_connect1 = NodeOf(counter, m_groups->FirstEnd(owner));
    widget->m_connect2 = NodeOf(counter, m_groups->FirstEnd(owner) + 1);
}

void CNDLGenerator::ResolvePointNode(int& counter, std::size_t owner, CWidget* widget)
{
    widget->m_connect1 = NodeOf(counter, m_groups->FirstEnd(owner));
}

void CNDLGenerator::Generate()
{
    const std::vector<CWidget*> widgets = m_pDoc->GetWidgetsInOrder(&m_sizes);
    ResetNodeIds(widgets);
    m_groups.emplace(widgets);
    m_nodeOfGroup.assign(m_groups->EndCount(), -1);

    m_strNDL = m_pDoc->m_pSimulationSettings->GetNDLDefinition();
    int counter = 0;
    const CBusBarCollection& busBars = *m_pDoc->m_pBusBars;
    const int busBarCount = std::min(m_sizes[static_cast<std::size_t>(WidgetType::BusBar)], busBars.GetSize());
    for (int i = 0; i < busBarCount; ++i)
        AssignBusBarNode(counter, busBars.GetAt(i));

    for (std::size_t owner = 0; owner < widgets.size(); ++owner) {
        CWidget* w = widgets[owner];
        if (w->GetType() == WidgetType::BusBar)
            continue;
        if (w->IsTwoEnded())
            ResolveEdgeNodes(counter, owner, w);
        else
            ResolvePointNode(counter, owner, w);
        m_strNDL += w->GetNDLDefinition();
    }
}
