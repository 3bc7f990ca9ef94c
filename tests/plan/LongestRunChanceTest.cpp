#include "tarvo/plan/LongestRunChance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tarvo {
namespace {

// The chance of each longest miss run 0..plans, by going through all 2^plans records of hits and misses.
std::vector<double> LongestRunDistribution(int plans, double missProbability) {
    std::vector<double> chance(static_cast<std::size_t>(plans) + 1, 0.0);
    for (unsigned record = 0; record < (1u << plans); ++record) {
        int run = 0;
        int longest = 0;
        double probability = 1.0;
        for (int plan = 0; plan < plans; ++plan) {
            const bool miss = ((record >> plan) & 1u) != 0;
            run = miss ? run + 1 : 0;
            longest = std::max(longest, run);
            probability *= miss ? missProbability : 1.0 - missProbability;
        }
        chance[static_cast<std::size_t>(longest)] += probability;
    }
    return chance;
}

TEST(LongestRunChance, AgreesWithEveryRecordOfUpToTwelvePlans) {
    for (int plans : {1, 2, 5, 12}) {
        for (double miss : {0.0, 0.05, 0.3, 0.5, 0.77, 1.0}) {
            const std::vector<double> distribution = LongestRunDistribution(plans, miss);
            double atLeast = 1.0;
            double atMost = 0.0;
            int median = -1;
            for (int k = 0; k <= plans; ++k) {
                EXPECT_NEAR(ChanceOfMissRunAtLeast(plans, k, miss), atLeast, 1e-12)
                    << plans << " plans, miss " << miss << ", run " << k;
                atLeast -= distribution[static_cast<std::size_t>(k)];
                atMost += distribution[static_cast<std::size_t>(k)];
                if (median < 0 && atMost >= 0.5 - 1e-12)
                    median = k;
            }
            EXPECT_EQ(MedianLongestMissRun(plans, miss), median) << plans << " plans, miss " << miss;
        }
    }
    EXPECT_EQ(ChanceOfMissRunAtLeast(3, 4, 0.9), 0.0);
    EXPECT_EQ(MedianLongestMissRun(0, 0.5), 0);
}

} // namespace
} // namespace tarvo
