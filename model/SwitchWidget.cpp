#include "model/SwitchWidget.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

void CSwitchWidget::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    ar.Io(m_dCapacity, m_connect1, m_connect2, m_strNotes, m_source, m_target);
    ar.Io(m_nFeederType, m_nMainFeederId, m_nLateralFeederId);
    ar.Io(m_dFaultRate, m_dRepairTime, m_dFeederLength, m_dMaxCapacity);
    SerializeExtra(ar);
    ar.Io(m_strAnalyticalNotes);
}

std::string CSwitchWidget::SwitchNdl(const char* keyword) const
{
    return NdlDefinition(keyword).Connect(m_connect1, m_connect2).Value("capacity", m_dCapacity).Finish();
}

std::string CSwitchWidget::SwitchGml(int switchCode, const std::string& extra) const
{
    GmlRecord r;
    r.Raw(GmlFeederLines(*this)).Int("switch_id", switchCode).Raw(extra).Fixed("trans_id 0");
    return r.Wrap("edge");
}
