#include "montecarlo/SimulationProgress.h"

#include "montecarlo/ReportText.h"

using korvane::FixedText;
using korvane::UnsignedText;

std::string SimulationProgress::YearText() const
{
    return UnsignedText(year);
}

std::string SimulationProgress::TimeText() const
{
    return UnsignedText(minutes) + ":" + UnsignedText(seconds, 2, true);
}

std::string SimulationProgress::SpeedText() const
{
    return FixedText(speed, 2);
}

std::string SimulationProgress::RemainingText() const
{
    return FixedText(remainingSeconds, 1);
}
