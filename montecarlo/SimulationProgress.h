// What a running Monte Carlo simulation tells its watcher after every simulated year.
#pragma once

#include <cstdint>

struct SimulationProgress {
    unsigned year = 0;             // years simulated so far
    unsigned yearMax = 0;          // the most years the run will simulate
    std::uint64_t elapsedMs = 0;   // since the year loop started, at least 1
    unsigned minutes = 0;          // the elapsed time as minutes and seconds
    unsigned seconds = 0;
    double speed = 0.0;            // years per second
    double remainingSeconds = 0.0; // the years left at the present speed
    unsigned percent = 0;          // year x 100 / yearMax (0 when yearMax is 0)
};

// Called on the worker thread; an implementation that touches a user interface posts the
// snapshot to its own thread. It must not call back into the simulation.
class ISimulationProgress {
public:
    virtual ~ISimulationProgress() = default;
    virtual void OnProgress(const SimulationProgress& progress) = 0;
};
