// One double as a stored object: the element of load profiles in the ".mc" file.
#pragma once

#include <vector>

#include "platform/Serializable.h"

class CUDouble : public CSerializable {
    KORVANE_DECLARE_SERIAL(CUDouble)
public:
    double m_value = 0.0;

    CUDouble() = default;
    explicit CUDouble(double value) : m_value(value) {}
    double GetValue() const { return m_value; }
    void Serialize(CArchive& ar) override;
};

// Stores or loads values as the framework's object array of CUDouble: the count, then each
// value as an object (a back reference reads the earlier object's value again).
void SerializeValueArray(CArchive& ar, std::vector<double>& values);
