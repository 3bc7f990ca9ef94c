#include "tarvo/plan/StakeSchedule.h"
#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/DrawChance.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvo {
namespace {

// 前一 with five numbers at the official prize: 5 bets, 13 yuan for the one winning bet, at least 10 % profit.
StakeTerms FiveNumbersFront1(int periods) {
    return StakeTerms{BetCount(PlayType::Front1, 5), *OfficialPrize(PlayType::Front1),
                      FewestWinningBetsAtHit(PlayType::Front1, 5), periods, 10};
}

TEST(StakeSchedule, HandWorkedScheduleReachesTheRateWithTheSmallestMultipliers) {
    const StakeSchedule schedule = BuildStakeSchedule(FiveNumbersFront1(4));
    ASSERT_TRUE(schedule.possible);
    EXPECT_FALSE(schedule.cutShort);
    // One multiple costs 10 and returns 13; a multiple adds 13 − 1.1 × 10 = 2 yuan beyond the rate, so period i
    // needs ⌈1.1 × C(i−1) / 2⌉: ⌈5.5⌉ = 6, ⌈38.5⌉ = 39, and exactly 253 (profit 299 = 10 % of 2990).
    const std::vector<StakeRow> expected{
        {1, 1, 10, 10, 13, 3, 0.3},
        {2, 6, 60, 70, 78, 8, 8.0 / 70},
        {3, 39, 390, 460, 507, 47, 47.0 / 460},
        {4, 253, 2530, 2990, 3289, 299, 0.1},
    };
    ASSERT_EQ(schedule.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const StakeRow& row = schedule.rows[i];
        EXPECT_EQ(row.period, expected[i].period);
        EXPECT_EQ(row.multiplier, expected[i].multiplier) << "period " << row.period;
        EXPECT_EQ(row.cost, expected[i].cost);
        EXPECT_EQ(row.totalCost, expected[i].totalCost);
        EXPECT_EQ(row.hitReturn, expected[i].hitReturn);
        EXPECT_EQ(row.profit, expected[i].profit);
        EXPECT_DOUBLE_EQ(row.profitRate, expected[i].profitRate);
    }

    // Each draw hits with chance 5/11; on average a period brings 5/11 winning bets, so each multiple played
    // loses 10 − 13 × 5/11 = 45/11 yuan: −(45/11)(1 + 6·6/11 + 39·36/121 + 253·216/1331) = −310005/1331.
    const StakeOutlook outlook = StakeOutlookOf(schedule, FiveNumbersFront1(4), DrawHitProbability(PlayType::Front1, 5),
                                                AverageWinningBetsPerDraw(PlayType::Front1, 5));
    ASSERT_EQ(outlook.decidedAt.size(), 4u);
    EXPECT_NEAR(outlook.decidedAt[0], 5.0 / 11, 1e-15);
    EXPECT_NEAR(outlook.decidedAt[3], 5.0 / 11 * 216 / 1331, 1e-15);
    EXPECT_NEAR(outlook.loseAllChance, 1296.0 / 14641, 1e-15);
    EXPECT_EQ(outlook.loseAllAmount, 2990);
    EXPECT_NEAR(outlook.expectedResult, -310005.0 / 1331, 1e-9);

    // 任二 with three numbers, one period, the table built on all three bets winning: on average the 6 yuan
    // staked bring back what one yuan returns in the long run, 6/11 of it, whatever w the table assumes.
    const StakeTerms any2{BetCount(PlayType::Any2, 3), *OfficialPrize(PlayType::Any2), 3, 1, 10};
    const StakeOutlook once = StakeOutlookOf(BuildStakeSchedule(any2), any2, DrawHitProbability(PlayType::Any2, 3),
                                             AverageWinningBetsPerDraw(PlayType::Any2, 3));
    EXPECT_NEAR(once.expectedResult, -6.0 * (1.0 - 6.0 / 11), 1e-12);
}

TEST(StakeSchedule, NoScheduleWhenAHitCannotReturnTheRateOnItsOwnStake) {
    // 任三 with five numbers: 10 bets cost 20 yuan and a hit brings at least one 19-yuan prize.
    const StakeTerms any3{BetCount(PlayType::Any3, 5), *OfficialPrize(PlayType::Any3),
                          FewestWinningBetsAtHit(PlayType::Any3, 5), 5, 10};
    const StakeSchedule any3Schedule = BuildStakeSchedule(any3);
    EXPECT_FALSE(any3Schedule.possible);
    EXPECT_TRUE(any3Schedule.rows.empty());
    EXPECT_EQ(StakeOutlookOf(any3Schedule, any3, 0.5, 1.0).loseAllAmount, 0);

    // A return of exactly (1 + r) times the stake is not enough: 11 = 1.1 × 10.
    StakeTerms even = FiveNumbersFront1(3);
    even.prize = 11;
    EXPECT_FALSE(BuildStakeSchedule(even).possible);
    even.prize = 12;
    EXPECT_TRUE(BuildStakeSchedule(even).possible);
}

TEST(StakeSchedule, StopsBeforeAnAmountPassesTheLimitAndRefusesUnsoundTerms) {
    const StakeSchedule steep = BuildStakeSchedule(FiveNumbersFront1(MaxStakePeriods));
    ASSERT_TRUE(steep.possible);
    EXPECT_TRUE(steep.cutShort);
    ASSERT_FALSE(steep.rows.empty());
    EXPECT_LT(steep.rows.size(), 30u);
    EXPECT_LE(steep.rows.back().totalCost, StakeAmountLimit);
    EXPECT_LE(steep.rows.back().hitReturn, StakeAmountLimit);
    EXPECT_GE(steep.rows.back().profitRate, 0.1);

    const auto refused = [](auto change) {
        StakeTerms terms = FiveNumbersFront1(4);
        change(terms);
        EXPECT_THROW(BuildStakeSchedule(terms), std::invalid_argument);
    };
    refused([](StakeTerms& t) { t.winningBetsAtHit = 6; }); // more winning bets than bets placed
    refused([](StakeTerms& t) { t.periods = 0; });
    refused([](StakeTerms& t) { t.minProfitPercent = -5; });
    refused([](StakeTerms& t) { t.prize = 4'000'000'000'000'000'000; });
}

} // namespace
} // namespace tarvo
