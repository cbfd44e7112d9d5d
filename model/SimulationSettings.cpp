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
    line("quantsPerDay", FormatSignificant(quantsPerDay, kCountDigits));
    if (yearStep != 0)
        line("yearStep", FormatSignificant(yearStep, kCountDigits));
    if (yearMax != 0)
        line("yearMax", FormatSignificant(yearMax, kCountDigits));
    if (yearMin != 0)
        line("yearMin", FormatSignificant(yearMin, kCountDigits));
    if (accuracy != 0.0)
        line("accuracy", FormatSignificant(accuracy, kAccuracyDigits));
    line("maxFlow", FormatSignificant(maxFlow, kFlagDigits));
    line("fuses", FormatSignificant(fuses, kFlagDigits));
    line("isolators", FormatSignificant(isolators, kFlagDigits));
    line("reclosers", FormatSignificant(reclosers, kFlagDigits));
    text += "\n";
    return text;
}
