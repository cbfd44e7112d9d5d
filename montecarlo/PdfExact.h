// The samples of a histogram kept exactly, in arrival order, until it has seen enough of them.
#pragma once

#include <utility>
#include <vector>

class CPdfExact {
public:
    void Add(double value, double weight) { m_samples.emplace_back(value, weight); }
    void Free() { std::vector<std::pair<double, double>>().swap(m_samples); }

    const std::vector<std::pair<double, double>>& GetSamples() const { return m_samples; }
    std::size_t GetSize() const { return m_samples.size(); }

private:
    std::vector<std::pair<double, double>> m_samples;  // {value, weight}
};
