#include "model/BranchWidget.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

std::string CBranchWidget::BranchNdl(const char* keyword, bool withLength) const
{
    NdlDefinition d(keyword);
    d.Connect(m_connect1, m_connect2);
    if (withLength)
        d.Value("length", m_dLength);
    d.Value("capacity", m_dCapacity);
    d.Pair("failure", m_dFailure1, m_dFailure2);
    d.Pair("isolation", m_dIsolation1, m_dIsolation2);
    d.Pair("repair", m_dRepair1, m_dRepair2);
    return d.Finish();
}

void CBranchWidget::SerializeFailureData(CArchive& ar)
{
    ar.Io(m_dCapacity, m_dFailure1, m_dFailure2, m_dIsolation1, m_dIsolation2, m_dLength, m_strNotes);
    ar.Io(m_dRepair1, m_dRepair2, m_connect1, m_connect2, m_source, m_target);
}

std::string CEquipmentBase::GetNDLDefinition() const
{
    return BranchNdl("equipment: ", false);
}

std::string CEquipmentBase::GetGMLRecord() const
{
    GmlRecord r;
    r.Raw(GmlFeederLines(*this));
    r.Fixed("switch_id 0").Fixed("trans_id 1");
    r.Real("trans_outage_rate", m_dTransOutageRate).Real("trans_repair_time", m_dTransRepairTime);
    return r.Wrap("edge");
}

void CEquipmentBase::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    SerializeFailureData(ar);
    ar.Io(m_nFeederType, m_nMainFeederId, m_nLateralFeederId);
    ar.Io(m_dFaultRate, m_dRepairTime, m_dFeederLength, m_dMaxCapacity, m_dTransOutageRate, m_dTransRepairTime);
    ar.Io(m_strAnalyticalNotes);
}
