#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/EvaluatePlan.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::FormulaStartingWith;
using test::MakeDraw;
using test::Tables;
using test::UniformPool;

// A record of completed plans only, for the verdicts.
PlanResult RecordOf(int hits, int misses) {
    PlanResult result;
    for (int i = 0; i < hits + misses; ++i)
        result.completed.push_back(PlanRecord{i, i, i, i < hits, i, {1, 2, 3, 4, 5}, 1});
    return result;
}

TEST(PlanAgainstChance, HandWorkedRecordOfSixPlans) {
    // 前一 betting 01 02 with three periods per plan; only the first drawn number counts.
    const std::vector<int> firstNumbers{5, 6, 7, 5, 1, 5, 6, 7, 8, 9, 10, 2, 5, 6, 1, 5};
    DrawHistory history;
    for (int first : firstNumbers)
        history.push_back(MakeDraw(100 + static_cast<int>(history.size()), {first, 3, 4, 11, first == 5 ? 6 : 5}));
    const PlanResult result =
        EvaluatePlan(RuleOf(PlayType::Front1), 2, 3, history, UniformPool(FormulaStartingWith({1, 2})), Tables());
    // Plans: miss, hit at its 2nd period, miss, miss, hit at its 1st, hit at its 3rd; one left running.

    const PlanAgainstChance figures = ComparePlanWithChance(result, PlayType::Front1, 2, 3);

    EXPECT_EQ(figures.plans, 6);
    EXPECT_EQ(figures.hits, 3);
    EXPECT_EQ(figures.misses, 3);
    EXPECT_DOUBLE_EQ(figures.observedRate, 0.5);
    EXPECT_EQ(figures.hittingDraws, 2 * 5040);
    EXPECT_DOUBLE_EQ(figures.drawHitProbability, 2.0 / 11.0);
    EXPECT_NEAR(figures.planHitProbability, 602.0 / 1331.0, 1e-15); // 1 − (9/11)³
    EXPECT_NEAR(figures.wilson95.low, 0.187616306, 1e-9);
    EXPECT_NEAR(figures.wilson95.high, 0.812383694, 1e-9);
    EXPECT_EQ(figures.verdict, ChanceVerdict::NoSignificantDifference);
    EXPECT_EQ(figures.hitsAtPeriod, (std::vector<int>{1, 1, 1}));
    ASSERT_EQ(figures.expectedHitsAtPeriod.size(), 3u);
    EXPECT_NEAR(figures.expectedHitsAtPeriod[0], 6.0 * 2 / 11, 1e-12);
    EXPECT_NEAR(figures.expectedHitsAtPeriod[1], 6.0 * 2 / 11 * 9 / 11, 1e-12);
    EXPECT_NEAR(figures.expectedHitsAtPeriod[2], 6.0 * 2 / 11 * 81 / 121, 1e-12);
    EXPECT_EQ(figures.longestMissRun, 2);
    // Six plans each missing with chance 729/1331: a run of two misses or more comes with chance 0.74289…,
    // and a longest run of at most two with chance 0.613 (the median is 2).
    EXPECT_NEAR(figures.chanceOfLongestMissRun, 0.742893221, 1e-9);
    EXPECT_EQ(figures.typicalLongestMissRun, 2);
    ASSERT_TRUE(figures.returnPerYuan.has_value());
    EXPECT_NEAR(*figures.returnPerYuan, 13.0 / 22.0, 1e-12);
}

TEST(PlanAgainstChance, VerdictSaysWhichSideOfTheRecordsIntervalChanceLies) {
    // 前一 with two numbers and one period per plan: chance hits 2 plans in 11 (0.18).
    struct Case {
        int hits;
        int misses;
        ChanceVerdict verdict;
    };
    for (const Case& c :
         {Case{20, 0, ChanceVerdict::AboveChance}, Case{0, 20, ChanceVerdict::BelowChance},
          Case{4, 16, ChanceVerdict::NoSignificantDifference}, Case{0, 0, ChanceVerdict::NoSignificantDifference}}) {
        const PlanAgainstChance figures = ComparePlanWithChance(RecordOf(c.hits, c.misses), PlayType::Front1, 2, 1);
        EXPECT_EQ(figures.verdict, c.verdict) << c.hits << " of " << c.hits + c.misses;
    }
    // 前一 with nine numbers and thirty periods per plan: chance misses a plan only with (2/11)^30, so q is 1
    // to double precision; thirty plans that all hit are no different from it, not below it.
    const PlanAgainstChance perfect = ComparePlanWithChance(RecordOf(30, 0), PlayType::Front1, 9, 30);
    EXPECT_EQ(perfect.planHitProbability, 1.0);
    EXPECT_EQ(perfect.wilson95.high, 1.0);
    EXPECT_EQ(perfect.verdict, ChanceVerdict::NoSignificantDifference);
    EXPECT_EQ(ComparePlanWithChance(RecordOf(0, 3), PlayType::Front1, 9, 30).wilson95.low, 0.0);
    const PlanAgainstChance none = ComparePlanWithChance(RecordOf(0, 0), PlayType::Any1, 1, 7);
    EXPECT_EQ(none.wilson95.low, 0.0);
    EXPECT_EQ(none.wilson95.high, 1.0);
    EXPECT_EQ(none.observedRate, 0.0);
    EXPECT_EQ(none.hitsAtPeriod, std::vector<int>(7, 0));
    EXPECT_EQ(none.expectedHitsAtPeriod, std::vector<double>(7, 0.0));
    EXPECT_FALSE(none.returnPerYuan.has_value()) << "任一 has no official prize";
}

TEST(PlanAgainstChance, VeryLongPlanPeriodCountsListABoundedNumberOfPeriods) {
    const PlanAgainstChance figures = ComparePlanWithChance(RecordOf(1, 0), PlayType::Front3, 3, 2'000'000'000);
    EXPECT_EQ(figures.hitsAtPeriod.size(), static_cast<std::size_t>(MaxListedPeriods));
    EXPECT_EQ(figures.hitsAtPeriod[0], 1);
    EXPECT_GT(figures.planHitProbability, 0.999);
}

} // namespace
} // namespace tarvo
