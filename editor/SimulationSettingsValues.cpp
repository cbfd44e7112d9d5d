#include "editor/SimulationSettingsValues.h"

#include "model/SimulationSettings.h"

namespace {

void In(std::int32_t given, bool& flag, std::int32_t& value)
{
    flag = given != 0;
    if (flag)
        value = given;
}

}  // namespace

CSimulationSettingsValues CSimulationSettingsValues::From(const CSimulationSettings& s)
{
    CSimulationSettingsValues v;
    v.m_bFuses = s.fuses != 0;
    v.m_bIsolators = s.isolators != 0;
    v.m_bMaxFlow = s.maxFlow != 0;
    v.m_bReclosers = s.reclosers != 0;
    v.m_bAccuracy = s.accuracy != 0.0;
    if (v.m_bAccuracy)
        v.m_dAccuracy = s.accuracy;
    In(s.yearMax, v.m_bYearMax, v.m_nYearMax);
    In(s.yearMin, v.m_bYearMin, v.m_nYearMin);
    In(s.yearStep, v.m_bYearStep, v.m_nYearStep);
    v.m_nQuantsPerDay = s.quantsPerDay;
    v.m_bEnableClustering = s.loadClustering != 0;
    v.m_strIndustrialFile = s.industrialFile;
    v.m_strAgriculturalFile = s.agriculturalFile;
    v.m_strResidentialFile = s.residentialFile;
    v.m_strOtherFile = s.otherFile;
    return v;
}

void CSimulationSettingsValues::StoreTo(CSimulationSettings& s) const
{
    s.fuses = m_bFuses ? 1 : 0;
    s.isolators = m_bIsolators ? 1 : 0;
    s.maxFlow = m_bMaxFlow ? 1 : 0;
    s.reclosers = m_bReclosers ? 1 : 0;
    s.accuracy = m_bAccuracy ? m_dAccuracy : 0.0;
    s.yearMax = m_bYearMax ? m_nYearMax : 0;
    s.yearMin = m_bYearMin ? m_nYearMin : 0;
    s.yearStep = m_bYearStep ? m_nYearStep : 0;
    s.quantsPerDay = m_nQuantsPerDay;
    s.loadClustering = m_bEnableClustering ? 1 : 0;
    s.industrialFile = m_strIndustrialFile;
    s.agriculturalFile = m_strAgriculturalFile;
    s.residentialFile = m_strResidentialFile;
    s.otherFile = m_strOtherFile;
}
