#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "montecarlo/Estimate.h"
#include "montecarlo/Output.h"
#include "tests/montecarlo/NdlTestSupport.h"

namespace {

// Writes a histogram through a fresh output and returns {trace, html}.
std::pair<std::string, std::string> Draw(CEstimate& estimate)
{
    ndltest::TempFolder folder;
    ndltest::TracedOutput output(folder, true);
    estimate.WriteHtml(*output.Get(), 2);
    return {output.Trace(), output.Html()};
}

using Sample = std::pair<double, double>;  // value, weight

// The histogram as the model defines it, from every sample kept with its weight in arrival order:
// the width from the first `limit` of them, then each added to its slot in turn.
CPdfSlot ReferenceSlots(const std::vector<Sample>& samples, int slotCount, std::size_t limit)
{
    const std::size_t chosen = std::min(samples.size(), limit);
    double largest = 0.0;
    for (std::size_t i = 0; i < chosen; ++i)
        largest = std::max(largest, samples[i].first);
    double width = 1.0;
    if (largest > 0.0) {
        const double minimum = largest / (slotCount - 1);
        double g = samples[0].first;
        for (std::size_t i = 1; i < chosen; ++i) {
            double a = std::max(samples[i].first, g);
            g = std::min(samples[i].first, g);
            while (g > minimum) {
                const double r = std::fmod(a, g);
                a = g;
                g = r;
            }
            if (g > 1e-8)
                break;
            g = a;
        }
        width = g > minimum ? g : CPdf::NiceStep(3, minimum);
    }
    CPdfSlot slots;
    slots.Create(slotCount, 0.0, width);
    for (const auto& [value, weight] : samples)
        slots.Add(value, weight);
    return slots;
}

}  // namespace

// The weight of a sample stands for how many times it was seen.
TEST(Estimate, WeightedMeanAndRelativeErrorMatchTheClosedForm)
{
    CEstimate weighted;
    weighted.Init(1000, 10000, 0.0);
    EXPECT_EQ(weighted.GetMean(), 0.0);
    EXPECT_EQ(weighted.GetRelativeError(), 0.0);
    CEstimate repeated;
    repeated.Init(1000, 10000, 0.0);
    const std::pair<double, int> samples[] = {{3.5, 4}, {0.25, 1}, {9.0, 3}, {0.0, 2}};
    for (const auto& [x, times] : samples) {
        weighted.Add(x, times);
        for (int i = 0; i < times; ++i)
            repeated.Add(x, 1.0);
    }
    // Mean 41.25 / 10; population variance (4 x 12.25 + 0.0625 + 3 x 81) / 10 - 4.125^2; the
    // standard error is its square root over 10.
    const double variance = (4 * 12.25 + 0.0625 + 3 * 81.0) / 10 - 4.125 * 4.125;
    for (const CEstimate* estimate : {&weighted, &repeated}) {
        EXPECT_DOUBLE_EQ(estimate->GetMean(), 4.125);
        EXPECT_NEAR(estimate->GetRelativeError(), std::sqrt(variance / 10) / 4.125, 1e-14);
    }
}

// Regression: equal samples whose variance rounds below zero gave sqrt of a negative (NaN).
TEST(Estimate, EqualSamplesHaveRelativeErrorZeroNotNaN)
{
    for (double x : {0.0, 4.0, 0.1, 0.7, 1.0 / 3.0, 123.456}) {
        for (int count : {1, 3, 7, 1000, 4321}) {
            CEstimate estimate;
            estimate.Init(1000, 10000, 0.0);
            for (int i = 0; i < count; ++i)
                estimate.Add(x, 1.0);
            const double error = estimate.GetRelativeError();
            EXPECT_TRUE(error >= 0.0 && error < 1e-6) << x << " x " << count << ": " << error;
            if (x == 0.0 || x == 4.0) {
                EXPECT_EQ(error, 0.0);
            }
        }
    }
}

TEST(Pdf, NiceStepIsTheSmallestTwoFiveStepNotBelowTheMinimum)
{
    for (const testfiles::TableCase& c : testfiles::ReadTable("montecarlo/nice-steps.txt"))
        EXPECT_DOUBLE_EQ(CPdf::NiceStep(3, std::stod(c.fields.at(0))), std::stod(c.fields.at(1))) << "nice-steps.txt:" << c.line;
}

// The slot width is the samples' common step, or a nice step when they have none, unless it is
// fixed; the last sample counts in the slot whose lower edge it is on or above. Regression: a value
// on a slot's lower edge that arrived a few units in the last place short of it (5.8 / 0.05 is
// 115.99999999999999; a yearly sum of quanta that should be 60) was counted one slot low, under the
// lower edge printed for the slot before.
TEST(Pdf, ChoosesTheSlotWidthAndCountsAValueOnAnEdgeInTheSlotAbove)
{
    struct Case {
        std::vector<double> samples;
        int slots;
        double fixed, width;  // fixed 0.0: chosen from the samples
        int slot;             // the last sample's
    };
    double sum = 0.0;
    for (int i = 0; i < 2400; ++i)
        sum += 0.025;  // 60, short by rounding
    const Case cases[] = {
        {{0, 1, 2, 3}, 1000, 0.0, 1.0, 3},         // counts: their common step
        {{0.5, 1.0}, 1000, 0.0, 0.5, 2},           // a common step that is not whole
        {{0, 0, 0}, 1000, 0.0, 1.0, 0},            // nothing above 0
        {{0, 1, 0, 1}, 3, 0.0, 1.0, 1},            // the interrupted-year indicator
        {{0.1, 0.37, 2.2}, 1000, 0.0, 0.01, 220},  // a common step up to rounding
        {{0.1, 2.2, 0.37}, 1000, 0.0, 0.01, 37},
        {{M_SQRT2, M_PI}, 1000, 0.0, CPdf::NiceStep(3, M_PI / 999), 785},  // none
        {{7, 14, 21}, 1000, 0.0, 7.0, 3},
        {{9.0 / 7.0, 18.0 / 7.0, 9.0}, 1000, 0.0, 9.0 / 7.0, 7},
        {{2, 4, 0.3, 4}, 1000, 0.0, 0.1, 40},  // counted per distinct value, then the rest in arrival order
        {{3.0}, 10, 0.25, 0.25, 9},            // fixed; beyond the last slot, in it
        {{5.8}, 1000, 0.05, 0.05, 116},
        {{5.82}, 1000, 0.05, 0.05, 116},
        {{5.8499}, 1000, 0.05, 0.05, 116},
        {{sum}, 1000, 0.8, 0.8, 75},
        {{2.4}, 1000, 0.8, 0.8, 3},
    };
    for (const Case& c : cases) {
        CPdf pdf;
        pdf.Init(c.slots, 10000, c.fixed);
        for (double v : c.samples)
            pdf.Add(v, 1.0);
        EXPECT_NEAR(pdf.ChooseWidth(), c.width, 1e-15) << c.samples.size() << " samples, last " << c.samples.back();
        CPdfSlot slots;
        slots.Create(c.slots, 0.0, pdf.ChooseWidth());
        slots.Add(c.samples.back(), 1.0);
        EXPECT_EQ(slots.GetWeight(c.slot), 1.0) << "value " << c.samples.back() << " width " << slots.GetWidth();
    }
}

TEST(Pdf, KeepsTheLimitExactlyAndTurnsIntoSlotsAfterIt)
{
    CPdf pdf;
    pdf.Init(10, 4, 0.0);
    for (double v : {0.0, 1.0, 2.0, 3.0})
        pdf.Add(v, 1.0);
    EXPECT_TRUE(pdf.IsExact());
    pdf.Add(40.0, 2.0);  // beyond the last slot: it counts in the last slot
    ASSERT_FALSE(pdf.IsExact());
    const CPdfSlot& slots = pdf.GetSlots();
    EXPECT_EQ(slots.GetWidth(), 1.0);
    EXPECT_EQ(slots.GetWeight(0), 1.0);
    EXPECT_EQ(slots.GetWeight(3), 1.0);
    EXPECT_EQ(slots.GetWeight(9), 2.0);
    pdf.Add(-5.0, 1.0);  // below the origin: slot 0
    EXPECT_EQ(slots.GetWeight(0), 2.0);
}

TEST(Pdf, DrawsBarsScaledToTheLargestSlot)
{
    CEstimate counts;
    counts.Init(1000, 10000, 0.0);
    for (double v : {0.0, 0.0, 0.0, 0.0, 1.0, 3.0})
        counts.Add(v, 1.0);
    auto [trace, html] = Draw(counts);
    EXPECT_EQ(trace, "   0.00000 / 0.66667 : " + std::string(50, '*') + "  \n" +
                     "   1.00000 / 0.16667 : " + std::string(13, '*') + std::string(39, ' ') + "\n" +
                     "   2.00000 / 0.00000 : " + std::string(52, ' ') + "\n" +
                     "   3.00000 / 0.16667 : " + std::string(13, '*') + std::string(39, ' ') + "\n");
    EXPECT_NE(html.find("<font size=\"2\">0.00000 / 0.66667</font> <img border=\"0\" src=\"data:image/png;base64,"),
              std::string::npos) << "the picture travels inside the report";
    EXPECT_NE(html.find("2.00000 / 0.00000</font> <font size=\"2\">&nbsp;&nbsp;&nbsp;0</font>"), std::string::npos)
        << "a bar of no width has no picture";
    EXPECT_TRUE(counts.GetPdf().IsExact()) << "drawing must leave an exact histogram exact";

    CEstimate empty;
    empty.Init(1000, 10000, 0.0);
    std::tie(trace, html) = Draw(empty);
    EXPECT_EQ(trace, "");
    EXPECT_EQ(html, "");
}

// The samples are kept compactly (counted per value, zeros counted apart, weights only once one is
// not 1), yet the histogram must be the one every sample kept in arrival order gives, to the bit.
// Regression: at 240 quanta a day an hour is no binary fraction, so every year's value was kept with
// its weight, zeros included (531 MB for 64 copies of the copies network over 10,000 years). Zeros
// counted apart after a weight other than 1 would change slot 0's sum in its last bits.
TEST(Pdf, CompactSamplesGiveTheHistogramOfEverySampleInArrivalOrder)
{
    struct Stream {
        const char* name;
        int slots;
        std::size_t limit, count;
        std::vector<double> values;   // drawn for the samples that are not 0
        std::vector<double> weights;  // drawn from the sample `weightedFrom` on, else 1
        std::size_t weightedFrom;
    };
    const double hour240 = 24.0 / 240;
    const Stream streams[] = {
        {"hours at 240 quanta a day", 1000, 10000, 3000, {hour240, 7 * hour240, 33 * hour240, 120 * hour240}, {1}, 0},
        {"beyond the limit", 1000, 400, 3000, {hour240, 7 * hour240, 33 * hour240, 120 * hour240}, {1}, 0},
        {"whole hours, then tenths", 1000, 10000, 3000, {1, 2, 5, 0.1, 0.3}, {1}, 0},
        {"weights not 1 in slot 0", 3, 10000, 3000, {0.1, 0.7, 1.3, 2.9}, {1, 0.3, 2.5}, 700},
        {"weights not 1 beyond the limit", 3, 900, 3000, {0.1, 0.7, 1.3, 2.9}, {1, 0.3, 2.5}, 700},
        {"values below 0", 1000, 10000, 3000, {hour240, -0.5, 2.0, 33 * hour240}, {1}, 0},
    };
    for (const Stream& stream : streams) {
        std::mt19937 random(7);
        const auto pick = [&random](const std::vector<double>& from) {
            return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
        };
        CPdf pdf;
        pdf.Init(stream.slots, static_cast<int>(stream.limit), 0.0);
        std::vector<Sample> samples;
        while (samples.size() < stream.count) {
            // Most years are quiet; their zeros come one at a time or in runs.
            const auto draw = std::uniform_int_distribution<int>(0, 9)(random);
            if (draw < 4) {
                const std::size_t run = std::uniform_int_distribution<std::size_t>(1, 12)(random);
                pdf.AddZeros(run);
                samples.insert(samples.end(), run, {0.0, 1.0});
            } else if (draw < 6) {
                pdf.Add(0.0, 1.0);
                samples.emplace_back(0.0, 1.0);
            } else {
                const double value = pick(stream.values);
                const double weight = samples.size() >= stream.weightedFrom ? pick(stream.weights) : 1.0;
                pdf.Add(value, weight);
                samples.emplace_back(value, weight);
            }
        }
        if (pdf.IsExact())
            pdf.ConvertToSlots();
        const CPdfSlot reference = ReferenceSlots(samples, stream.slots, stream.limit);
        const CPdfSlot& slots = pdf.GetSlots();
        ASSERT_EQ(slots.GetWidth(), reference.GetWidth()) << stream.name;
        for (int i = 0; i < stream.slots; ++i)
            ASSERT_EQ(slots.GetWeight(i), reference.GetWeight(i)) << stream.name << ", slot " << i;
    }
}
