// The document's records as plain values: workspace options, analytical settings with the names of
// their load data files, and result paths. A load replaces each record whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Geometry.h"

// The analytical load data files, in the order they are read: the interval data, then the four
// clustered load classes.
enum LoadClass : int {
    kIntervalData,
    kAgriculturalData,
    kIndustrialData,
    kResidentialData,
    kOtherData,
    kLoadClassCount
};

template <typename T>
using LoadClassArray = std::array<T, kLoadClassCount>;

struct CWorkspaceOptions {
    CSize m_sizeDoc;  // the drawing's scroll size
    std::int32_t m_nWorkspaceWidth = 1024;
    std::int32_t m_nWorkspaceHeight = 786;
    std::int32_t m_nSnapGrid = 10;   // not stored: a reopened network snaps to 10
    std::uint8_t m_nRedrawMode = 0;  // 1: redraw only around a changed widget
    std::int32_t m_bAdaptiveDrawing = 0;
    std::int32_t m_bShowEndPoints = 1;
    std::int32_t m_bCreateDirectory = 0;

    bool operator==(const CWorkspaceOptions&) const = default;
};

struct CAnalyticalSettings {
    std::int32_t m_bEnableClustering = 0;
    LoadClassArray<std::string> m_dataFiles;
    std::int32_t m_bMinimumCutSet = 0;
    std::int32_t m_nLoadSheddingMethod = 1;  // 1 "Thesis method", 0 "Practical Method"
    std::int32_t m_nFaultCount = 0;

    bool operator==(const CAnalyticalSettings&) const = default;
};

struct CResultPaths {
    std::string m_monteCarloResultPath;
};
