#include "model/Recloser.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CRecloser, 1)

std::string CRecloser::GetNDLDefinition() const
{
    NdlDefinition d("recloser: ");
    d.Connect(m_connect1, m_connect2).Value("capacity", m_dCapacity).Pair("reclose", m_dReclose1, m_dReclose2);
    return d.Finish();
}

std::string CRecloser::GetGMLRecord() const
{
    GmlRecord r;
    r.Int("source", m_source).Int("target", m_target).Fixed("feeder_type_id 3");
    r.Int("recl_feeder_id", m_nReclFeederId).Real("length", m_dFeederLength).Fixed("max_cap 10000000.");
    r.Fixed("switch_id 4").Real("recl_time", m_dReclTime).Fixed("trans_id 0");
    return r.Wrap("edge");
}

std::unique_ptr<CWidget> CRecloser::Clone() const
{
    auto copy = std::make_unique<CRecloser>(*this);
    copy->ResetNodeNumbers();
    copy->m_nReclFeederId = CRecloser().m_nReclFeederId;
    return copy;
}

void CRecloser::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    ar.Io(m_connect1, m_connect2, m_dCapacity, m_dReclose1, m_dReclose2, m_strNotes);
    ar.Io(m_source, m_target, m_nReclFeederId, m_dFeederLength, m_dReclTime, m_strAnalyticalNotes);
}
