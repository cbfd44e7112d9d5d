#include "model/Line.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CLine, 1)

// A new feeder has no maximum capacity, unlike the other feeder-like widgets.
CLine::CLine()
{
    m_dMaxCapacity = 0.0;
}

CLine::CLine(CPoint start, CPoint end, int width, COLORREF colour) : CBranchWidget(start, end, width, colour)
{
    m_dMaxCapacity = 0.0;
}

std::string CLine::GetNDLDefinition() const
{
    return BranchNdl("line: ", true);
}

std::string CLine::GetGMLRecord() const
{
    GmlRecord r;
    r.Raw(GmlFeederLines(*this)).Fixed("switch_id 0").Fixed("trans_id 0");
    return r.Wrap("edge");
}

std::unique_ptr<CWidget> CLine::Clone() const
{
    auto copy = std::make_unique<CLine>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}

// The feeder's record stores no main feeder id and its feeder type last.
void CLine::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    SerializeFailureData(ar);
    ar.Io(m_nLateralFeederId, m_dFaultRate, m_dRepairTime, m_dFeederLength, m_dMaxCapacity, m_nFeederType);
    ar.Io(m_strAnalyticalNotes);
}
