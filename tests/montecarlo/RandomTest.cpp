#include <gtest/gtest.h>

#include <cmath>

#include "montecarlo/DistributionWeibull.h"
#include "montecarlo/Estimate.h"
#include "montecarlo/Random.h"

TEST(Random, FollowsTheMinimalStandardSequence)
{
    CRandom random;
    random.Init();
    EXPECT_EQ(random.Next(), 16807 / 2147483647.0);
    for (int i = 1; i < 10000; ++i)
        random.Next();
    EXPECT_EQ(random.GetState(), 1043618065u);  // the published check value of the generator
}

TEST(DistributionWeibull, InvertsTheDistributionFunction)
{
    CRandom random;
    random.Init();
    CDistributionWeibull weibull;
    for (double shape : {0.5, 1.0, 3.0, 1e10}) {
        weibull.Set(&random, 7.5, shape);
        EXPECT_NEAR(weibull.InverseCDF(std::exp(-1.0)), 7.5, 1e-12) << "shape " << shape;
    }
    weibull.Set(&random, 2.0, 1.0);
    EXPECT_NEAR(weibull.InverseCDF(0.5), 2.0 * std::log(2.0), 1e-12);
    // Sample feeds the generator's next number through the inverse.
    EXPECT_EQ(weibull.Sample(), weibull.InverseCDF(16807 / 2147483647.0));

    weibull.Set(&random, 0.0, 1e-300);
    EXPECT_EQ(weibull.Sample(), 0.0);
    weibull.Set(&random, INFINITY, 1e-300);
    EXPECT_TRUE(std::isinf(weibull.Sample()));
}

TEST(Random, DiscardMovesOnAsManyDrawsWould)
{
    for (const std::uint64_t count : {0ull, 1ull, 2ull, 3ull, 1000ull, 65537ull}) {
        CRandom drawn;
        drawn.Init();
        for (std::uint64_t i = 0; i < count; ++i)
            drawn.Next();
        CRandom skipped;
        skipped.Init();
        skipped.Discard(count);
        EXPECT_EQ(skipped.GetState(), drawn.GetState()) << count;
        EXPECT_EQ(skipped.Next(), drawn.Next()) << count;
    }
    // After its period of 2^31 - 2 the generator is back at its start.
    CRandom random;
    random.Init();
    random.Discard(2147483646u);
    EXPECT_EQ(random.GetState(), 1u);
    random.Discard(2147483646ull * 1000 + 1);
    EXPECT_EQ(random.GetState(), 16807u);
}

// With the run's fixed seed, the sample mean of every shape lies within four standard errors of
// scale x Gamma(1 + 1/shape), and the estimate's relative error is the closed-form one,
// sd / (mean sqrt(n)), within a few percent.
TEST(DistributionWeibull, SamplesFollowTheClosedFormMomentsThroughAnEstimate)
{
    constexpr int n = 200000;
    const double scale = 12.0;
    for (double shape : {0.5, 1.0, 2.0, 3.5}) {
        CRandom random;
        random.Init();
        CDistributionWeibull weibull;
        weibull.Set(&random, scale, shape);
        CEstimate estimate;
        estimate.Init(1000, 10000, 0.0);
        for (int i = 0; i < n; ++i)
            estimate.Add(weibull.Sample(), 1.0);
        const double mean = scale * std::tgamma(1.0 + 1.0 / shape);
        const double sd = scale * std::sqrt(std::tgamma(1.0 + 2.0 / shape) - std::pow(std::tgamma(1.0 + 1.0 / shape), 2));
        const double standardError = sd / std::sqrt(n);
        EXPECT_NEAR(estimate.GetMean(), mean, 4 * standardError) << "shape " << shape;
        EXPECT_NEAR(estimate.GetRelativeError(), standardError / mean, 0.05 * standardError / mean) << "shape " << shape;
    }
}
