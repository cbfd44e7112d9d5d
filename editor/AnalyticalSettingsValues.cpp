#include "editor/AnalyticalSettingsValues.h"

#include "editor/FieldRule.h"
#include "model/KorvaneDoc.h"

CAnalyticalSettingsValues CAnalyticalSettingsValues::From(const CKorvaneDoc& doc)
{
    const CAnalyticalSettings& a = doc.m_analytical;
    CAnalyticalSettingsValues v;
    v.m_bEnableClustering = a.m_bEnableClustering != 0;
    v.m_dataFiles = a.m_dataFiles;
    v.m_bMinimumCutSet = a.m_bMinimumCutSet != 0;
    v.m_nLoadSheddingMethod = a.m_nLoadSheddingMethod;
    v.m_nFaultCount = a.m_nFaultCount;
    // Every one of these carries a feeder id the run can fault; counting only the Lines, and
    // offering one less, left some feeders out of every run's indices.
    v.m_nMaxFaults = doc.m_pLines->GetSize() + doc.m_pCircuitBreakers->GetSize() + doc.m_pFuses->GetSize() +
                     doc.m_pIsolators->GetSize() + doc.m_pEquipments->GetSize() + doc.m_pTransformers->GetSize() + 1;
    return v;
}

void CAnalyticalSettingsValues::StoreTo(CKorvaneDoc& doc) const
{
    CAnalyticalSettings& a = doc.m_analytical;
    a.m_bEnableClustering = m_bEnableClustering ? 1 : 0;
    a.m_dataFiles = m_dataFiles;
    a.m_bMinimumCutSet = m_bMinimumCutSet ? 1 : 0;
    a.m_nLoadSheddingMethod = m_nLoadSheddingMethod;
    a.m_nFaultCount = m_nFaultCount;
    doc.SetModifiedFlag();
}

bool CAnalyticalSettingsValues::AcceptFaultText(std::string_view text)
{
    const int count = ParseLeadingInteger(text);
    if (count >= m_nMaxFaults)
        return false;
    m_nFaultCount = count;
    return true;
}
