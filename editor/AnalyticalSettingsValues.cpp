#include "editor/AnalyticalSettingsValues.h"

#include "editor/FieldRule.h"
#include "model/KorvaneDoc.h"

CAnalyticalSettingsValues CAnalyticalSettingsValues::From(const CKorvaneDoc& doc)
{
    CAnalyticalSettingsValues v;
    v.m_bEnableClustering = doc.m_bEnableClustering != 0;
    v.m_strAgriculturalFile = doc.m_agriculturalDataFile;
    v.m_strIndustrialFile = doc.m_industrialDataFile;
    v.m_strOtherFile = doc.m_otherDataFile;
    v.m_strResidentialFile = doc.m_residentialDataFile;
    v.m_strIntervalFile = doc.m_intervalDataFile;
    v.m_bMinimumCutSet = doc.m_bMinimumCutSet != 0;
    v.m_nLoadSheddingMethod = doc.m_nLoadSheddingMethod;
    v.m_nFaultCount = doc.m_nFaultCount;
    // Every one of these carries a feeder id the run can fault; counting only the Lines, and
    // offering one less, left some feeders out of every run's indices.
    v.m_nMaxFaults = doc.m_pLines->GetSize() + doc.m_pCircuitBreakers->GetSize() + doc.m_pFuses->GetSize() +
                     doc.m_pIsolators->GetSize() + doc.m_pEquipments->GetSize() + doc.m_pTransformers->GetSize() + 1;
    return v;
}

void CAnalyticalSettingsValues::StoreTo(CKorvaneDoc& doc) const
{
    doc.m_bEnableClustering = m_bEnableClustering ? 1 : 0;
    doc.m_agriculturalDataFile = m_strAgriculturalFile;
    doc.m_industrialDataFile = m_strIndustrialFile;
    doc.m_otherDataFile = m_strOtherFile;
    doc.m_residentialDataFile = m_strResidentialFile;
    doc.m_intervalDataFile = m_strIntervalFile;
    doc.m_bMinimumCutSet = m_bMinimumCutSet ? 1 : 0;
    doc.m_nLoadSheddingMethod = m_nLoadSheddingMethod;
    doc.m_nFaultCount = m_nFaultCount;
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
