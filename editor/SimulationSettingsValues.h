// What the Monte Carlo settings dialog edits: the settings as the dialog shows them, where a year
// count or accuracy of 0 ("not given") is an unchecked box.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "editor/FieldRule.h"
#include "model/SimulationSettings.h"
#include "montecarlo/NdlRange.h"

struct CSimulationSettingsValues {
    // The NDL reader's ranges, and 0: quanta of 0 are not given yet (the Monte Carlo run asks about
    // them), and a checked accuracy of 0 is "not given", as a cleared box is.
    static constexpr CFieldRule kQuantsRule{CFieldRule::Kind::PositiveInteger, 0, ndl_range::kQuantsPerDay.max};
    static constexpr CFieldRule kYearsRule{CFieldRule::Kind::PositiveInteger, ndl_range::kYears.min,
                                           ndl_range::kYears.max};
    static constexpr CFieldRule kYearStepRule{CFieldRule::Kind::PositiveInteger, ndl_range::kYearStep.min,
                                              ndl_range::kYearStep.max};
    static constexpr CFieldRule kAccuracyRule{CFieldRule::Kind::Number, 0.0,
                                              std::numeric_limits<double>::infinity()};

    std::int32_t m_nQuantsPerDay = 0;
    std::int32_t m_nYearMin = 0;
    std::int32_t m_nYearMax = 0;
    std::int32_t m_nYearStep = 0;
    double m_dAccuracy = 0.0;
    bool m_bYearMin = false;
    bool m_bYearMax = false;
    bool m_bYearStep = false;
    bool m_bAccuracy = false;
    bool m_bFuses = false;
    bool m_bIsolators = false;
    bool m_bReclosers = false;
    bool m_bMaxFlow = false;
    bool m_bEnableClustering = false;
    std::string m_strIndustrialFile;
    std::string m_strAgriculturalFile;
    std::string m_strResidentialFile;
    std::string m_strOtherFile;

    static CSimulationSettingsValues From(const CSimulationSettings& settings);
    // Writes back what OK confirms: an unchecked year count or accuracy becomes 0 ("not given"),
    // the component flags 1 or 0.
    void StoreTo(CSimulationSettings& settings) const;
};
