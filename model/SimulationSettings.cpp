#include "model/SimulationSettings.h"

#include "platform/Archive.h"
#include "platform/NumberFormat.h"

void CSimulationSettings::Serialize(CArchive& ar)
{
    ar.Io(accuracy, quantsPerDay, yearMax, yearMin, yearStep);
    ar.Io(fuses, isolators, reclosers, maxFlow);
    ar.Io(agriculturalFile, industrialFile, otherFile, residentialFile);
    ar.IoFlag(loadClustering);
}

std::string CSimulationSettings::GetNDLDefinition() const
{
    using korvane::FormatSignificant;
    std::string text = "system: ";
    auto line = [&text](const char* name, const std::string& value) {
        text += name;
        text += " = ";
        text += value;
        text += ";\\\n";
    };
    line("quantsPerDay", FormatSignificant(quantsPerDay, 10));
    if (yearStep != 0)
        line("yearStep", FormatSignificant(yearStep, 10));
    if (yearMax != 0)
        line("yearMax", FormatSignificant(yearMax, 10));
    if (yearMin != 0)
        line("yearMin", FormatSignificant(yearMin, 10));
    if (accuracy != 0.0)
        line("accuracy", FormatSignificant(accuracy, 8));
    line("maxFlow", FormatSignificant(maxFlow, 6));
    line("fuses", FormatSignificant(fuses, 6));
    line("isolators", FormatSignificant(isolators, 6));
    line("reclosers", FormatSignificant(reclosers, 6));
    text += "\n";
    return text;
}
