#include "model/GenSource.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CGenSource, 1)

CRect CGenSource::BodyBox() const
{
    return CRect::Around(m_position, -11, -11, 11, 11);
}

CRect CGenSource::EndHandleBox() const
{
    return CRect::Around(m_position, 8, 8, 18, 18);
}

std::string CGenSource::GetNDLDefinition() const
{
    return NdlDefinition("source: ").Connect(m_connect1).Value("capacity", m_dCapacity).Finish();
}

std::string CGenSource::GetGMLRecord() const
{
    return GmlRecord().Int("id", m_nNodeId).Fixed("component_id 2").Wrap("node");
}

std::unique_ptr<CWidget> CGenSource::Clone() const
{
    auto copy = std::make_unique<CGenSource>(*this);
    copy->ResetNodeNumbers();
    copy->m_nNodeId = -1;
    return copy;
}

void CGenSource::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    ar.Io(m_dCapacity, m_connect1, m_strNotes, m_source, m_target, m_nNodeId);
}
