// The Monte Carlo parameters that belong to the network: quanta, years, accuracy, which
// components the engine models; stored last in the ".mc" file and written as the NDL "system" line.
#pragma once

#include <cstdint>
#include <string>

class CArchive;

class CSimulationSettings {
public:
    // 0 in quantsPerDay, the year fields or accuracy means "not given".
    std::int32_t quantsPerDay = 0;
    std::int32_t yearMin = 100;
    std::int32_t yearMax = 1000000;
    std::int32_t yearStep = 100;
    double accuracy = 0.05;
    std::int32_t fuses = 1;
    std::int32_t isolators = 1;
    std::int32_t reclosers = 1;
    std::int32_t maxFlow = 1;
    std::int32_t loadClustering = 0;
    std::string agriculturalFile;
    std::string industrialFile;
    std::string otherFile;
    std::string residentialFile;

    // The record: accuracy, quanta, max, min and step years, the four component flags as held,
    // the four file names, then the clustering flag as 1 or -1.
    void Serialize(CArchive& ar);
    // Significant digits of the "system" line's numbers: the quanta and years, the accuracy, the flags.
    static constexpr int kCountDigits = 10;
    static constexpr int kAccuracyDigits = 8;
    static constexpr int kFlagDigits = 6;

    // "system: " with quantsPerDay always, the year fields and accuracy when given, then the four
    // component flags.
    std::string GetNDLDefinition() const;

    bool operator==(const CSimulationSettings&) const = default;
};
