// What a running Monte Carlo simulation tells its watcher after every simulated year.
#pragma once

#include <cstdint>
#include <string>

struct SimulationProgress {
    unsigned year = 0;             // years simulated so far
    unsigned yearMax = 0;          // the most years the run will simulate
    std::uint64_t elapsedMs = 0;   // since the year loop started, at least 1
    unsigned minutes = 0;          // the elapsed time as minutes and seconds
    unsigned seconds = 0;
    double speed = 0.0;            // years per second
    double remainingSeconds = 0.0; // the years left at the present speed
    unsigned percent = 0;          // year x 100 / yearMax (0 when yearMax is 0)

    // The texts of the progress window's fields, independent of the process locale.
    std::string YearText() const;       // "1234"
    std::string TimeText() const;       // minutes and seconds, "3:07", "125:00"
    std::string SpeedText() const;      // "%.2f" years per second
    std::string RemainingText() const;  // "%.1f" seconds
};

// Called on the worker thread; an implementation that touches a user interface posts the
// snapshot to its own thread. It must not call back into the simulation.
class ISimulationProgress {
public:
    virtual ~ISimulationProgress() = default;
    virtual void OnProgress(const SimulationProgress& progress) = 0;
};
