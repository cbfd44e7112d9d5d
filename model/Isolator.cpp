#include "model/Isolator.h"

#include "model/WidgetText.h"
#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CIsolator, 1)

std::string CIsolator::GetGMLRecord() const
{
    return SwitchGml(2, GmlRecord().Real("switch_time", m_dSwitchTime).Text());
}

std::unique_ptr<CWidget> CIsolator::Clone() const
{
    auto copy = std::make_unique<CIsolator>(*this);
    copy->ResetNodeNumbers();
    copy->ResetFeederIds();
    return copy;
}

void CIsolator::SerializeExtra(CArchive& ar)
{
    ar.Io(m_dSwitchTime);
}
