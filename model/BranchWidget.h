// Shared fields of the feeder, the equipment and the transformer: Monte Carlo failure data and
// the analytical feeder values.
#pragma once

#include <string>

#include "model/Widget.h"

class CBranchWidget : public CSegmentWidget, public CFeederData {
public:
    double m_dCapacity = -1.0;
    double m_dFailure1 = -1.0;
    double m_dFailure2 = -1.0;
    double m_dIsolation1 = -1.0;
    double m_dIsolation2 = -1.0;
    double m_dLength = -1.0;
    double m_dRepair1 = -1.0;
    double m_dRepair2 = -1.0;
    std::string m_strNotes;
    std::string m_strAnalyticalNotes;

protected:
    using CSegmentWidget::CSegmentWidget;
    // The definition under `keyword`; `withLength` adds "length = " (only "line" takes it).
    std::string BranchNdl(const char* keyword, bool withLength) const;
    // The fields from capacity to the repair pair and the four node numbers, in stored order.
    void SerializeFailureData(CArchive& ar);
};

// The equipment and the transformer: a branch with transformer outage data. They differ only in
// their class name and type.
class CEquipmentBase : public CBranchWidget {
public:
    double m_dTransOutageRate = 0.0;
    double m_dTransRepairTime = 0.0;

    // NDL knows no transformer: both are "equipment", written without the length, which the
    // reader refuses in an equipment definition (the length is still stored).
    std::string GetNDLDefinition() const override;
    std::string GetGMLRecord() const override;
    void Serialize(CArchive& ar) override;

protected:
    using CBranchWidget::CBranchWidget;
};
