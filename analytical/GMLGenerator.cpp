#include "analytical/GMLGenerator.h"

#include <algorithm>

#include "model/KorvaneDoc.h"
#include "model/WidgetText.h"
#include "platform/NumberFormat.h"

namespace {

// The feeder values of the six widgets that carry a main or lateral feeder, or null.
CFeederData* FeederData(CWidget* w)
{
    switch (w->GetType()) {
    case WidgetType::Line:
    case WidgetType::Equipment:
    case WidgetType::Transformer:
        return static_cast<CBranchWidget*>(w);
    case WidgetType::CircuitBreaker:
    case WidgetType::Fuse:
    case WidgetType::Isolator:
        return static_cast<CSwitchWidget*>(w);
    default:
        return nullptr;
    }
}

std::int32_t& NodeIdOf(CWidget* w)
{
    if (w->GetType() == WidgetType::LoadPoint)
        return static_cast<CLoadPoint*>(w)->m_nNodeId;
    return static_cast<CGenSource*>(w)->m_nNodeId;
}

std::string JunctionRecord(std::int32_t number, int code)
{
    return GmlRecord().Int("id", number).Int("component_id", code).Wrap("node");
}

}  // namespace

CGMLGenerator::CGMLGenerator(CKorvaneDoc* pDoc) : m_pDoc(pDoc)
{
    for (int t = 0; t < kWidgetTypeCount; ++t)
        m_counts[static_cast<std::size_t>(t)] = pDoc->GetCollection(static_cast<WidgetType>(t)).GetSize();
}

// The NDL check's rule, from the same grouping of ends, so both checks agree.
bool CGMLGenerator::Validate()
{
    GroupEnds();
    bool valid = true;
    for (std::size_t p = 0; p < m_order.size(); ++p) {
        if (!m_groups->IsConnected(p) || m_groups->IsLooped(p)) {
            m_errors.Add(m_order[p]);
            valid = false;
        }
    }
    return valid;
}

std::int32_t CGMLGenerator::NewJunction()
{
    m_strGML += JunctionRecord(m_counter, 3);
    return m_counter++;
}

void CGMLGenerator::Generate()
{
    GroupEnds();
    for (CWidget* w : m_order) {
        if (w->IsTwoEnded())
            w->m_source = w->m_target = -1;
        else
            NodeIdOf(w) = -1;
    }
    m_strGML = "graph [\ndirected 1\n";
    m_counter = 0;
    m_nextFeederId = 1;

    // One supply node for all gen sources.
    const auto& genSources = *m_pDoc->m_pGenSources;
    const int genCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::GenSource)], genSources.GetSize());
    for (int i = 0; i < genCount; ++i) {
        genSources.GetAt(i)->m_nNodeId = m_counter;
        if (i == 0)
            m_strGML += genSources.GetAt(i)->GetGMLRecord();
    }
    if (genCount > 0)
        ++m_counter;

    const auto& loads = *m_pDoc->m_pLoadPoints;
    const int loadCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::LoadPoint)], loads.GetSize());
    for (int k = 0; k < loadCount; ++k) {
        CLoadPoint* load = loads.GetAt(k);
        load->m_nNodeId = m_counter++;
        load->m_nLoadId = k;
        m_strGML += load->GetGMLRecord();
    }

    m_groupNumber.assign(m_groups->EndCount(), -1);
    NumberSymbolGroups();
    NumberBusBars();

    std::array<int, kWidgetTypeCount> running{};
    for (std::size_t p = 0; p < m_order.size(); ++p) {
        CWidget* w = m_order[p];
        const WidgetType type = w->GetType();
        const int index = running[static_cast<std::size_t>(type)]++;
        if (CFeederData* data = FeederData(w)) {
            // The same rule as the record's key: only type 1 writes "main_feeder_id".
            if (data->m_nFeederType == 1)
                data->m_nMainFeederId = m_nextFeederId;
            else
                data->m_nLateralFeederId = m_nextFeederId;
            ++m_nextFeederId;
        } else if (type == WidgetType::Recloser) {
            static_cast<CRecloser*>(w)->m_nReclFeederId = index;
        } else {
            continue;
        }
        if (w->m_source == -1 || w->m_target == -1)
            ResolveEnds(p);
        m_strGML += w->GetGMLRecord();
    }

    const std::int32_t terminal = m_counter;
    m_strGML += JunctionRecord(terminal, 4);
    long long feederId = static_cast<long long>(m_nextFeederId) + 1;
    for (int k = 0; k < loadCount; ++k)
        m_strGML += PerfectFeeder(loads.GetAt(k)->m_nNodeId, terminal, feederId++);
    // Links carry id 0: no run faults them, and the feeders a run counts stay the drawn ones.
    for (const auto& [group, symbol] : m_links)
        m_strGML += PerfectFeeder(group, symbol, 0);
    m_strGML += "]\n";
}

// A main feeder that never fails, without switch or transformer, of capacity 10000000.
std::string CGMLGenerator::PerfectFeeder(std::int32_t source, std::int32_t target, long long id)
{
    GmlRecord r;
    r.Int("source", source).Int("target", target).Fixed("feeder_type_id 1").Int("main_feeder_id", id);
    r.Fixed("fault_rate 0").Fixed("repair_time 0").Fixed("length 0").Fixed("max_cap 10000000.");
    r.Fixed("switch_id 0").Fixed("trans_id 0");
    return r.Wrap("edge");
}

void CGMLGenerator::GroupEnds()
{
    m_order = m_pDoc->GetWidgetsInOrder(&m_counts);
    m_groups.emplace(m_order);
}

// The supply's and the loads' numbers go to the groups of ends they touch: the supply first, then
// the loads in collection order, so a group that touches several symbols takes the supply or the
// first load, and each further symbol is linked to it by a feeder that never fails (on its own
// it had no edge, and was counted as always supplied).
void CGMLGenerator::NumberSymbolGroups()
{
    m_links.clear();
    std::vector<std::pair<int, std::size_t>> loads;  // load id, list position
    for (std::size_t p = 0; p < m_order.size(); ++p) {
        CWidget* w = m_order[p];
        if (w->GetType() == WidgetType::GenSource)
            ClaimGroup(m_groups->FirstEnd(p), NodeIdOf(w));
        else if (w->GetType() == WidgetType::LoadPoint)
            loads.emplace_back(static_cast<CLoadPoint*>(w)->m_nLoadId, p);
    }
    std::sort(loads.begin(), loads.end());
    for (const auto& [loadId, p] : loads)
        ClaimGroup(m_groups->FirstEnd(p), NodeIdOf(m_order[p]));
}

void CGMLGenerator::ClaimGroup(std::size_t end, std::int32_t number)
{
    std::int32_t& group = m_groupNumber[m_groups->Group(end)];
    if (group == -1)
        group = number;
    else if (group != number)
        m_links.emplace_back(group, number);
}

// Bus bars, in collection order: a group of touching bars that no symbol numbered gets a junction
// of its own, written before the edges.
void CGMLGenerator::NumberBusBars()
{
    const auto& bars = *m_pDoc->m_pBusBars;
    const int barCount = std::min(m_counts[static_cast<std::size_t>(WidgetType::BusBar)], bars.GetSize());
    for (int i = 0; i < barCount; ++i) {
        CBusBar* bar = bars.GetAt(i);
        const std::size_t at = m_groups->OwnerOf(bar);
        if (at != CEndGroups::npos)
            bar->m_source = bar->m_target = GroupNumber(m_groups->FirstEnd(at));
    }
}

std::int32_t CGMLGenerator::GroupNumber(std::size_t end)
{
    std::int32_t& group = m_groupNumber[m_groups->Group(end)];
    if (group == -1)
        group = NewJunction();
    return group;
}

// The first end of a group to be resolved, in list order, makes its junction; the start before the end.
void CGMLGenerator::ResolveEnds(std::size_t p)
{
    CWidget* w = m_order[p];
    const std::size_t first = m_groups->FirstEnd(p);
    w->m_source = GroupNumber(first);
    w->m_target = GroupNumber(first + 1);
}
