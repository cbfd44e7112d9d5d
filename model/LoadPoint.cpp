#include "model/LoadPoint.h"

#include "model/UDouble.h"
#include "model/WidgetText.h"
#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CLoadPoint, 1)

CRect CLoadPoint::BodyBox() const
{
    return CRect::Around(m_position, -10, -6, 16, 21);
}

CRect CLoadPoint::EndHandleBox() const
{
    return CRect::Around(m_position, 8, 8, 23, 23);
}

std::string CLoadPoint::GetNDLDefinition() const
{
    NdlDefinition d("load: ");
    d.Connect(m_connect1);
    if (m_nCustomers != -1)
        d.Value("customers", static_cast<double>(m_nCustomers));
    d.Value("average", m_dAverage).Value("peak", m_dPeak).Text("name", m_strName).List("profile", m_profile);
    return d.Finish();
}

std::string CLoadPoint::GetGMLRecord() const
{
    GmlRecord r;
    r.Int("id", m_nNodeId).Fixed("component_id 1").Int("load_id", m_nLoadId);
    r.Int("num_customers", m_nNumCustomers).Real("load", m_dLoad);
    return r.Wrap("node");
}

std::unique_ptr<CWidget> CLoadPoint::Clone() const
{
    auto copy = std::make_unique<CLoadPoint>(*this);
    copy->ResetNodeNumbers();
    copy->m_nNodeId = -1;
    copy->m_nLoadId = -1;
    return copy;
}

void CLoadPoint::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    ar.Io(m_connect1, m_dAverage, m_nCustomers, m_dPeak, m_strName, m_strNotes);
    ar.Io(m_source, m_target, m_nNodeId, m_nLoadId, m_nNumCustomers, m_dLoad, m_strAnalyticalNotes);
    SerializeValueArray(ar, m_profile);
}
