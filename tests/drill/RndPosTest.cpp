// The random positions: exact bands, the distributions the draws must have, and the
// exponent bands for large counts.
#include <gtest/gtest.h>

#include <vector>

#include "drill/RndPos.h"
#include "drill/ScriptedRandom.h"

namespace {

using drill::RndPos;

using testing_support::ScriptedRandom;

std::vector<double> frequencies(bool uniform, int n, int draws) {
    drill::RandomSingle random(12345);
    std::vector<double> counts(n + 1, 0);
    for (int i = 0; i < draws; ++i) {
        const int p = RndPos(uniform, n, random);
        EXPECT_GE(p, 0);
        EXPECT_LT(p, n);
        counts[p < 0 || p > n ? n : p] += 1;
    }
    for (double& c : counts) c /= draws;
    return counts;
}

TEST(RndPos, WeightedBandsAndTheWorkedExample) {
    EXPECT_EQ(drill::positionForBand(1), 0);
    EXPECT_EQ(drill::positionForBand(2), 1);
    EXPECT_EQ(drill::positionForBand(3), 1);
    EXPECT_EQ(drill::positionForBand(4), 2);
    EXPECT_EQ(drill::positionForBand(6), 2);
    EXPECT_EQ(drill::positionForBand(7), 3);
    EXPECT_EQ(drill::positionForBand(10), 3);
    EXPECT_EQ(drill::positionForBand(5000050000ULL), 99999);  // T of n = 100,000
    EXPECT_EQ(drill::positionForBand(4999950001ULL), 99999);  // first value of the last band
    EXPECT_EQ(drill::positionForBand(4999950000ULL), 99998);
    ScriptedRandom random({0.55});
    EXPECT_EQ(RndPos(false, 4, random), 2);  // R = 5.5 rounds to 6
}

TEST(RndPos, WeightedDrawRedrawsBelowOneOverT) {
    ScriptedRandom random({0.05, 0.01, 0.95});  // r < 1/10 twice, then R = 9.5 -> 10
    EXPECT_EQ(RndPos(false, 4, random), 3);
    EXPECT_EQ(random.left(), 0u);
}

TEST(RndPos, UniformDrawNeverReturnsN) {
    ScriptedRandom random({0.99, 0.5, 0.375, 0.125});
    EXPECT_EQ(RndPos(true, 4, random), 0);  // 3.96 rounds to 4 = n -> 0
    EXPECT_EQ(RndPos(true, 4, random), 2);
    EXPECT_EQ(RndPos(true, 4, random), 2);  // 1.5 -> 2, halves to even
    EXPECT_EQ(RndPos(true, 4, random), 0);  // 0.5 -> 0, halves to even
}

TEST(RndPos, OneRecordIsAlwaysPositionZero) {
    drill::RandomSingle random(7);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(RndPos(true, 1, random), 0);
        EXPECT_EQ(RndPos(false, 1, random), 0);
    }
}

TEST(RndPos, WeightedDistributionGrowsByOnePerPosition) {
    const auto f = frequencies(false, 4, 200000);
    EXPECT_NEAR(f[0], 0.5 / 9, 0.004);
    EXPECT_NEAR(f[1], 2.0 / 9, 0.006);
    EXPECT_NEAR(f[2], 3.0 / 9, 0.006);
    EXPECT_NEAR(f[3], 3.5 / 9, 0.006);
    const auto two = frequencies(false, 2, 100000);
    EXPECT_NEAR(two[1] / two[0], 3.0, 0.15);
}

TEST(RndPos, UniformDistributionIsFlat) {
    const auto f = frequencies(true, 5, 200000);
    for (int p = 0; p < 5; ++p) EXPECT_NEAR(f[p], 0.2, 0.006) << p;
    EXPECT_EQ(f[5], 0.0);
}

TEST(RndPos, ExponentBandsFavourEarlyPositionsForLargeCounts) {
    EXPECT_EQ(drill::exponentFor(999999), 1);
    EXPECT_EQ(drill::exponentFor(1000000), 2);
    EXPECT_EQ(drill::exponentFor(99999999999999ULL), 2);
    EXPECT_EQ(drill::exponentFor(100000000000000ULL), 3);
    // n = 2,000,000, uniform: r = u^2, so u = 0.5 lands at a quarter.
    ScriptedRandom random({0.5, 0.5});
    EXPECT_EQ(RndPos(true, 2000000, random), 500000);
    // n = 1,414 gives T = 1,000,405: weighted with u^2; u = 0.5 gives R = 250101.25 -> 250101.
    EXPECT_EQ(RndPos(false, 1414, random), drill::positionForBand(250101));
    // The largest counts still compute exactly (T about 2.3e18, k = 3).
    ScriptedRandom big({0.999999});
    const int p = RndPos(false, 2147483647, big);
    EXPECT_GE(p, 0);
    EXPECT_LT(p, 2147483647);
}

}  // namespace
