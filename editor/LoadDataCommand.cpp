#include "editor/LoadDataCommand.h"

#include "model/KorvaneDoc.h"

std::vector<std::string> RereadLoadData(CKorvaneDoc& doc)
{
    doc.m_intervalData.clear();
    doc.m_agriculturalData.clear();
    doc.m_industrialData.clear();
    doc.m_residentialData.clear();
    doc.m_otherData.clear();
    // The files are read by the analytical load data reader once it is part of the core.
    return {};
}
