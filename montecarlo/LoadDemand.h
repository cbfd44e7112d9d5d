// How a load's profile, average and peak become its demand over the year, and how much all the
// loads of one network may demand together. The NDL reader builds its loads by this rule, and the
// network check refuses by it what the reader would refuse.
#pragma once

#include <cstdint>
#include <vector>

class CLoadDemand {
public:
    enum class Result {
        Built,
        NothingToScale,    // an empty or all-zero profile, which no average or peak can shape
        BeyondAnyNetwork,  // its demand, or the demand of all loads so far, is above kMaxDemand
    };
    // More than all the loads of any network demand together, and far below where the year loop's
    // sums (a billion years of energy not supplied, squared) would overflow or lose the demand's
    // last unit. Scaling that overflows the arithmetic ends up here too.
    static constexpr double kMaxDemand = 1e15;

    // A load's profile scaled for a year of `quanta` quanta.
    struct Curve {
        Result result = Result::Built;
        double average = -1.0;       // what it was scaled to (-1.0: not given)
        double peak = -1.0;
        std::vector<double> values;  // the profile's values, scaled
        double mean = 0.0;           // over the year's quanta
        double largest = 0.0;        // the load's peak
    };

    // The profile is stretched or thinned over the year, then scaled so that its mean is the
    // average and its largest value the peak (-1.0: not given; neither given: both 1). When the
    // two cannot both be reached the curve comes as close as it can. A curve beyond kMaxDemand on
    // its own is refused here.
    static Curve Scale(const std::vector<double>& profile, std::uint64_t quanta, double average, double peak);

    // Adds a scaled load's peak to the network's demand; a load Scale refused, or one whose peak
    // would take the peaks' sum past kMaxDemand, is refused and adds nothing.
    Result Add(const Curve& curve);
    // The peaks of the loads added so far.
    double Total() const { return m_total; }

private:
    double m_total = 0.0;  // the peaks of the loads added so far
};
