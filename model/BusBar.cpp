#include "model/BusBar.h"

#include "platform/Archive.h"

KORVANE_IMPLEMENT_SERIAL(CBusBar, 1)

std::unique_ptr<CWidget> CBusBar::Clone() const
{
    auto copy = std::make_unique<CBusBar>(*this);
    copy->ResetNodeNumbers();
    copy->m_nSpare = -1;
    return copy;
}

void CBusBar::Serialize(CArchive& ar)
{
    SerializeGeometry(ar);
    ar.Io(m_connect1, m_connect2, m_source, m_target, m_nSpare);
    ar.Io(m_dSpare1, m_dSpare2, m_dSpare3, m_dSpare4, m_strSpare);
}
