#include "model/Widget.h"

#include <atomic>
#include <cmath>

#include "model/WidgetText.h"
#include "platform/Archive.h"

namespace {

constexpr const char* kTypeNames[kWidgetTypeCount] = {
    "Line", "CircuitBreaker", "Fuse", "Recloser", "Isolator",
    "Bus Bar", "Load Point", "GenSource", "Equipment", "Transformer"};

CRect HandleSquare(CPoint c)
{
    constexpr int reach = CSegmentWidget::kHandleReach;
    return CRect::Around(c, -reach, -reach, reach, reach);
}

}  // namespace

CWidgetSerial::CWidgetSerial()
{
    static std::atomic<std::uint64_t> next{1};
    m_value = next.fetch_add(1, std::memory_order_relaxed);
}

const char* WidgetTypeName(WidgetType type)
{
    return kTypeNames[static_cast<int>(type)];
}

int WidgetTypeFromName(const std::string& name)
{
    for (int i = 0; i < kWidgetTypeCount; ++i)
        if (name == kTypeNames[i])
            return i;
    return -1;
}

bool CSegmentWidget::HitTest(CPoint p) const
{
    const std::int64_t t = static_cast<std::int64_t>(m_nWidth) + 3;
    const CRect box = CRect(m_startPoint, m_endPoint).Normalized();
    // Widths come from files too; clamp the widened boxes into the coordinate range.
    auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    const CRect wide(clamp(box.left - t), box.top, clamp(box.right + t), box.bottom);
    const CRect tall(box.left, clamp(box.top - t), box.right, clamp(box.bottom + t));
    if (!wide.PtInRect(p) && !tall.PtInRect(p))
        return false;

    // Coordinates span 32 bits, so their products need more than 64.
    using Wide = __int128;
    const Wide dx = static_cast<Wide>(m_endPoint.x) - m_startPoint.x;
    const Wide dy = static_cast<Wide>(m_endPoint.y) - m_startPoint.y;
    const Wide px = static_cast<Wide>(p.x) - m_startPoint.x;
    const Wide py = static_cast<Wide>(p.y) - m_startPoint.y;
    const double length = std::sqrt(static_cast<double>(dx * dx + dy * dy));
    if (length == 0.0)
        return false;
    const double along = static_cast<double>(px * dx + py * dy) / length;
    const double across = static_cast<double>(py * dx - px * dy) / length;
    return along >= 0.0 && along <= length && across >= -static_cast<double>(t) && across <= static_cast<double>(t);
}

bool CSegmentWidget::HitTestStart(CPoint p) const
{
    return HandleSquare(m_startPoint).PtInRect(p);
}

bool CSegmentWidget::HitTestEnd(CPoint p) const
{
    return HandleSquare(m_endPoint).PtInRect(p);
}

void CSegmentWidget::SerializeGeometry(CArchive& ar)
{
    ar.Io(m_startPoint, m_endPoint, m_nWidth, m_colour);
}

bool CSymbolWidget::HitTestStart(CPoint p) const
{
    return CRect::Around(m_position, -14, -14, -4, -4).PtInRect(p);
}

void CSymbolWidget::SerializeGeometry(CArchive& ar)
{
    ar.Io(m_position, m_nWidth, m_colour);
}

std::string CFeederData::GmlFeederLines(const CWidget& w) const
{
    GmlRecord r;
    r.Int("source", w.m_source);
    r.Int("target", w.m_target);
    r.Int("feeder_type_id", m_nFeederType);
    if (m_nFeederType == 1)
        r.Int("main_feeder_id", m_nMainFeederId);
    else
        r.Int("lat_feeder_id", m_nLateralFeederId);
    r.Real("fault_rate", m_dFaultRate);
    r.Real("repair_time", m_dRepairTime);
    r.Real("length", m_dFeederLength);
    r.Real("max_cap", m_dMaxCapacity);
    return r.Text();
}
