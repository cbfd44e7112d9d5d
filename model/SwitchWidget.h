// Shared fields of the circuit breaker, the fuse and the isolator: a capacity, notes and the
// analytical feeder values.
#pragma once

#include <string>

#include "model/Widget.h"

class CSwitchWidget : public CSegmentWidget, public CFeederData {
public:
    double m_dCapacity = -1.0;
    std::string m_strNotes;
    std::string m_strAnalyticalNotes;

    void Serialize(CArchive& ar) override;

protected:
    using CSegmentWidget::CSegmentWidget;
    std::string SwitchNdl(const char* keyword) const;
    // The edge record with "switch_id <code>"; `extra` goes between it and "trans_id 0".
    std::string SwitchGml(int switchCode, const std::string& extra = {}) const;
    // Fields stored between the maximum capacity and the analytical notes (the isolator's switch time).
    virtual void SerializeExtra(CArchive&) {}
};
