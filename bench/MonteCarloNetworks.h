// The networks that the Monte Carlo benchmarks simulate, built through the model's builders and
// numbered as the parser numbers them; the tests run them too.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "montecarlo/Simulation.h"

namespace mcbench {

// A daily shape repeated over the year, hour by hour.
inline std::vector<double> HourlyProfile(double phase)
{
    std::vector<double> profile(8760);
    for (std::size_t h = 0; h < profile.size(); ++h)
        profile[h] = 1.0 + 0.5 * std::sin((static_cast<double>(h % 24) + phase) * M_PI / 12.0);
    return profile;
}

// A source behind its breaker, two feeders and two named load points with profile, average and
// peak.
inline void BuildSmallNetwork(CSimulation& sim)
{
    sim.AddSupply(0, 3, -1.0);
    sim.AddBreaker(3, 2, -1.0);
    sim.AddLine(2, 4, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
    sim.AddBreaker(4, 5, -1.0);
    sim.AddLine(5, 6, -1.0, 0.3, 1.0, 1.0, 1.0, 6.0, 1.0);
    (void)sim.AddLoad("LP1", 4, 1, 100, HourlyProfile(0.0), 40.0, 60.0);
    (void)sim.AddLoad("LP2", 6, 1, 250, HourlyProfile(6.0), 80.0, 100.0);
}

// The generated network, about 200 widgets: a main feeder of 30 sections with isolators, a
// recloser and transformers, and at every main node a fused lateral of two sections with an
// isolator and a load point. With `curves` every other load point follows an hourly profile, else
// all are flat. With `ring` a tie feeder (breaker, line, breaker) from the source to the end of
// the main feeder closes a ring through the recloser, which then stays open, bypassed, and draws
// a reclose time at every evaluation while the ring is whole.
inline void BuildGeneratedNetwork(CSimulation& sim, bool curves, bool ring)
{
    unsigned next = 2;
    auto node = [&next] { return next++; };
    const unsigned root = node();
    const unsigned sourceInner = node();
    sim.AddSupply(0, sourceInner, -1.0);
    sim.AddBreaker(sourceInner, root, -1.0);
    unsigned main = root;
    for (int section = 0; section < 30; ++section) {
        const unsigned end = node();
        sim.AddLine(main, end, -1.0, 0.05, 1.0, 0.5, 1.0, 3.0, 1.0);
        main = end;
        if (section % 3 == 2) {
            const unsigned after = node();
            sim.AddIsolator(main, after, -1.0);
            main = after;
        }
        if (section == 10) {
            const unsigned a = node(), b = node(), after = node();
            sim.AddBreaker(main, a, -1.0);
            sim.AddRecloser(a, b, -1.0, 0.05, 1.0);
            sim.AddBreaker(b, after, -1.0);
            main = after;
        }
        const unsigned fused = node(), middle = node(), isolated = node(), end2 = node();
        sim.AddBreaker(main, fused, -1.0);  // a fuse
        sim.AddLine(fused, middle, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
        sim.AddIsolator(middle, isolated, -1.0);
        sim.AddLine(isolated, end2, -1.0, 0.2, 1.0, 1.0, 1.0, 4.0, 1.0);
        const std::string name = "LP" + std::to_string(section + 1);
        if (curves && section % 2 == 0)
            (void)sim.AddLoad(name, end2, 1, 50, HourlyProfile(section), 2.0, 3.0);
        else
            (void)sim.AddLoad(name, end2, 1, 50, {1.0}, 2.0, 2.0);
        if (section % 5 == 0)
            sim.AddEquipment(main, node(), -1.0, 0.02, 1.0, 1.0, 1.0, 24.0, 1.0);  // a transformer
    }
    if (ring) {
        const unsigned tieStart = node(), tieEnd = node();
        sim.AddBreaker(root, tieStart, -1.0);
        sim.AddLine(tieStart, tieEnd, -1.0, 0.1, 1.0, 0.5, 1.0, 3.0, 1.0);
        sim.AddBreaker(tieEnd, main, -1.0);
    }
}

}  // namespace mcbench
