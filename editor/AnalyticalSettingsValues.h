// What the analytical settings dialog edits: the document's analytical options and the names of
// its five load data files, and the rule for a typed number of feeders to fault.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "model/DocumentRecords.h"

class CKorvaneDoc;

struct CAnalyticalSettingsValues {
    std::int32_t m_nLoadSheddingMethod = 0;  // 1 "Thesis method", 0 "Practical Method"
    std::int32_t m_nMaxFaults = 1;           // one above the number of feeders; the list offers 0 to this - 1
    std::int32_t m_nFaultCount = 0;
    bool m_bEnableClustering = false;
    LoadClassArray<std::string> m_dataFiles;
    bool m_bMinimumCutSet = false;

    // The document's settings, with the number of feeders a run can fault (every Line, Circuit
    // Breaker, Fuse, Isolator, Equipment and Transformer) as the largest count offered.
    static CAnalyticalSettingsValues From(const CKorvaneDoc& doc);
    // Writes back what OK confirms (not the number of feeders) and marks the document modified.
    void StoreTo(CKorvaneDoc& doc) const;

    // A number of feeders to fault typed by the user: read as atoi reads it and accepted when
    // below m_nMaxFaults (negative numbers too: the run then faults nothing). Sets the count and
    // returns true when accepted.
    bool AcceptFaultText(std::string_view text);
};
