#include "tarvo/plan/EvaluatePlan.h"
#include "tarvo/plan/PlanReport.h"

#include "PlanTestData.h"
#include "ReferencePlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

namespace tarvo {
namespace {

using test::FormulaStartingWith;
using test::MakeDraw;
using test::RandomHistory;
using test::TwoDigits;
using test::UniformPool;

using test::Tables;

// The current bets one vector per bet, for readable expectations.
std::vector<std::vector<int>> BetsOf(const PlanResult& result) {
    std::vector<std::vector<int>> bets;
    for (int b = 0; b < result.currentBets.count(); ++b)
        bets.emplace_back(result.currentBets[b].begin(), result.currentBets[b].end());
    return bets;
}

PlanResult Evaluate(PlayType type, int codeCount, int planPeriods, const DrawHistory& history,
                    const FormulaPool& pool) {
    return EvaluatePlan(RuleOf(type), codeCount, planPeriods, history, pool, Tables());
}

TEST(EvaluatePlan, HitAtTheFirstWatchedDrawUsesOnePeriodAndTheNextPlanTakesTheNextRowsFormula) {
    FormulaPool pool = UniformPool(FormulaStartingWith({3, 5, 7}));
    pool.replace(1, FormulaStartingWith({9, 10, 11}));
    const DrawHistory history{MakeDraw(100, {3, 1, 2, 4, 6}), MakeDraw(101, {9, 1, 2, 4, 6}),
                              MakeDraw(102, {1, 3, 5, 7, 9})};

    const PlanResult result = Evaluate(PlayType::Front1, 3, 3, history, pool);

    ASSERT_EQ(result.completed.size(), 2u);
    EXPECT_EQ(result.completed[0], (PlanRecord{0, 100, 102, true, 100, {3, 1, 2, 4, 6}, 1}));
    EXPECT_EQ(result.completed[1], (PlanRecord{1, 101, 103, true, 101, {9, 1, 2, 4, 6}, 1}));
    EXPECT_EQ(result.running, (RunningPlan{2, 102, 104}));
}

TEST(EvaluatePlan, MissAfterNDrawsCountsItsPeriodsFromTheStartPeriodAndTheNextPlanStartsNRowsLater) {
    FormulaPool pool = UniformPool(FormulaStartingWith({1}));
    pool.replace(4, FormulaStartingWith({6}));
    // Period 105 follows 101: the miss's last period is reckoned, not read from a row.
    const DrawHistory history{MakeDraw(100, {2, 1, 3, 4, 5}), MakeDraw(101, {3, 1, 2, 4, 5}),
                              MakeDraw(105, {4, 1, 2, 3, 5}), MakeDraw(106, {1, 2, 3, 4, 5})};

    const PlanResult result = Evaluate(PlayType::Front1, 1, 3, history, pool);

    ASSERT_EQ(result.completed.size(), 2u);
    EXPECT_EQ(result.completed[0], (PlanRecord{0, 100, 102, false, 102, {4, 1, 2, 3, 5}, 3}));
    EXPECT_EQ(result.completed[1], (PlanRecord{3, 106, 108, true, 106, {1, 2, 3, 4, 5}, 1}));
    // The last plan ended at the newest row: the running plan starts after it, with that row's formula.
    EXPECT_EQ(result.running, (RunningPlan{4, 107, 109}));
    EXPECT_EQ(result.betNumbers, std::vector<int>{6});
    EXPECT_EQ(BetsOf(result), std::vector<std::vector<int>>{{6}});
}

TEST(EvaluatePlan, PlanWithFewerRowsLeftThanItsSpanHitsIfAnExistingRowHitsAndRunsOtherwise) {
    const FormulaPool pool = UniformPool(FormulaStartingWith({1}));
    DrawHistory history{MakeDraw(10, {2, 1, 3, 4, 5}), MakeDraw(11, {2, 1, 3, 4, 5}), MakeDraw(12, {2, 1, 3, 4, 5}),
                        MakeDraw(20, {2, 1, 3, 4, 5}), MakeDraw(30, {1, 2, 3, 4, 5})};

    const PlanResult withHit = Evaluate(PlayType::Front1, 1, 3, history, pool);
    ASSERT_EQ(withHit.completed.size(), 2u);
    EXPECT_EQ(withHit.completed[1], (PlanRecord{3, 20, 22, true, 30, {1, 2, 3, 4, 5}, 2}));
    EXPECT_EQ(withHit.running, (RunningPlan{5, 31, 33}));

    history.back() = MakeDraw(30, {2, 1, 3, 4, 5});
    const PlanResult withoutHit = Evaluate(PlayType::Front1, 1, 3, history, pool);
    ASSERT_EQ(withoutHit.completed.size(), 1u);
    // Reckoned back from the newest period (30), not read from the start row (20).
    EXPECT_EQ(withoutHit.running, (RunningPlan{3, 29, 31}));
}

struct MembershipCase {
    PlayType type;
    std::vector<int> bets;
    std::array<int, 5> draw;
    bool hit;
};

TEST(EvaluatePlan, HitsCountBetNumbersAmongTheExaminedPositionsInAnyOrder) {
    const std::vector<MembershipCase> cases{
        {PlayType::Front1, {3, 7, 10}, {10, 1, 2, 4, 5}, true},
        {PlayType::Front1, {3, 7, 10}, {5, 3, 7, 10, 1}, false},
        {PlayType::Front2, {3, 7, 10}, {7, 3, 1, 2, 4}, true},
        {PlayType::Front2, {3, 7, 10}, {7, 5, 3, 10, 1}, false},
        {PlayType::Front3, {3, 7, 10}, {10, 3, 7, 1, 2}, true},
        {PlayType::Front3, {3, 7, 10}, {10, 3, 1, 7, 2}, false},
        {PlayType::Any1, {4}, {1, 2, 3, 5, 4}, true},
        {PlayType::Any1, {4}, {1, 2, 3, 5, 6}, false},
        {PlayType::Any2, {3, 7}, {1, 7, 2, 3, 5}, true},
        {PlayType::Any2, {3, 7}, {1, 7, 2, 4, 5}, false},
        {PlayType::Any3, {1, 2, 3, 4}, {5, 6, 1, 2, 3}, true},
        {PlayType::Any3, {1, 2, 3, 4}, {5, 6, 7, 1, 2}, false},
        {PlayType::Any4, {1, 2, 3, 4, 5}, {9, 4, 3, 2, 1}, true},
        {PlayType::Any4, {1, 2, 3, 4, 5}, {9, 4, 3, 2, 8}, false},
        {PlayType::Any5, {1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2}, true},
        {PlayType::Any5, {1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 7}, false},
        // A malformed stored row: a number drawn twice counts once per position, and a value outside 1..11
        // is no bet number however its low bits read (67, 259 and 19 end in the bits of 3).
        {PlayType::Front2, {3, 7}, {3, 3, 1, 2, 4}, true},
        {PlayType::Any2, {3, 7}, {3, 3, 12, 0, -5}, true},
        {PlayType::Any3, {3, 7}, {7, 7, 7, 1, 2}, true},
        {PlayType::Any3, {3, 7}, {7, 7, 1, 2, 4}, false},
        {PlayType::Any5, {3, 7}, {3, 7, 3, 7, 3}, true},
        {PlayType::Any5, {3, 7}, {3, 7, 3, 7, 19}, false},
        {PlayType::Any1, {3, 7}, {67, 259, 0, 12, -1}, false},
        {PlayType::Any1, {3, 7}, {99, -1, 7, 0, 64}, true},
    };
    for (const MembershipCase& c : cases) {
        SCOPED_TRACE(std::string(RuleOf(c.type).name) + " draw starting " + std::to_string(c.draw[0]) +
                     (c.hit ? " should hit" : " should miss"));
        const DrawHistory history{MakeDraw(1, {11, 11, 11, 11, 11}), MakeDraw(2, c.draw)};
        const PlanResult result =
            Evaluate(c.type, static_cast<int>(c.bets.size()), 1, history, UniformPool(FormulaStartingWith(c.bets)));
        ASSERT_FALSE(result.completed.empty());
        EXPECT_EQ(result.completed.back().startRow, 1);
        EXPECT_EQ(result.completed.back().hit, c.hit);
    }
}

struct RunCase {
    std::string outcomes; // H hit, M miss, one per row
    int hits, misses, rate, longestHitRun, missRunFigure;
};

TEST(EvaluatePlan, TotalsRateAndRunsFollowTheOutcomesInOrder) {
    const std::vector<RunCase> cases{
        {"HHMMMH", 3, 3, 50, 2, 2}, {"HMH", 2, 1, 66, 1, 0}, {"MMM", 0, 3, 0, 0, 2},
        {"HHH", 3, 0, 100, 3, 0},   {"M", 0, 1, 0, 0, 0},    {"MHHMHHHMM", 5, 4, 55, 3, 1},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.outcomes);
        DrawHistory history;
        for (char outcome : c.outcomes)
            history.push_back(
                MakeDraw(static_cast<std::int32_t>(history.size()) + 1, {outcome == 'H' ? 1 : 2, 3, 4, 5, 6}));
        const PlanResult result = Evaluate(PlayType::Front1, 1, 1, history, UniformPool(FormulaStartingWith({1})));
        ASSERT_EQ(result.completed.size(), c.outcomes.size());
        EXPECT_EQ(result.hits, c.hits);
        EXPECT_EQ(result.misses, c.misses);
        EXPECT_EQ(result.rate, c.rate);
        EXPECT_EQ(result.longestHitRun, c.longestHitRun);
        EXPECT_EQ(result.missRunFigure, c.missRunFigure);
    }
}

TEST(EvaluatePlan, NoCompletedPlanGivesRateZeroAndTheFirstPlanRunning) {
    const DrawHistory history{MakeDraw(50, {2, 3, 4, 5, 6}), MakeDraw(51, {2, 3, 4, 5, 6})};
    const PlanResult result = Evaluate(PlayType::Front1, 1, 5, history, UniformPool(FormulaStartingWith({1})));
    EXPECT_TRUE(result.completed.empty());
    EXPECT_EQ(result.rate, 0);
    EXPECT_EQ(result.running, (RunningPlan{0, 50, 54}));
}

TEST(EvaluatePlan, EmptyHistoryHasNoPlansAndBetsTheFormulaOfTheFirstStartRow) {
    FormulaPool pool = UniformPool(FormulaStartingWith({1, 2}));
    pool.replace(1, FormulaStartingWith({11, 10}));
    int yields = 0;
    const PlanResult front1 = EvaluatePlan(RuleOf(PlayType::Front1), 2, 3, {}, pool, Tables(), [&] { ++yields; });
    EXPECT_TRUE(front1.completed.empty());
    EXPECT_FALSE(front1.running.has_value());
    EXPECT_EQ(front1.rate, 0);
    EXPECT_EQ(front1.betNumbers, (std::vector<int>{1, 2}));

    const PlanResult any2 = Evaluate(PlayType::Any2, 2, 3, {}, pool);
    EXPECT_EQ(any2.betNumbers, (std::vector<int>{11, 10}));
    EXPECT_EQ(BetsOf(any2), (std::vector<std::vector<int>>{{10, 11}}));
    EXPECT_EQ(yields, 0);
}

TEST(EvaluatePlan, FirstPlanOfFront1StartsAtTheOldestRowAndOfAllOthersAtTheSecondOldest) {
    const DrawHistory history = RandomHistory(6, 99);
    const FormulaPool pool = BuildFormulaPool(0);
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        SCOPED_TRACE(std::string(RuleOf(type).name));
        const PlanResult result = Evaluate(type, RuleOf(type).kBase, 1, history, pool);
        ASSERT_FALSE(result.completed.empty());
        EXPECT_EQ(result.completed.front().startRow, type == PlayType::Front1 ? 0 : 1);
        EXPECT_EQ(result.completed.size(), type == PlayType::Front1 ? 6u : 5u);
    }
}

TEST(EvaluatePlan, HistoriesLongerThanThePoolTakeTheFormulaOfTheStartRowModuloThePoolSize) {
    FormulaPool pool = UniformPool(FormulaStartingWith({1}));
    pool.replace(3, FormulaStartingWith({2}));
    pool.replace(5, FormulaStartingWith({9}));
    DrawHistory history;
    for (int row = 0; row < 2005; ++row)
        history.push_back(MakeDraw(row, {2, 3, 4, 5, 6}));

    const PlanResult result = Evaluate(PlayType::Front1, 1, 1, history, pool);

    ASSERT_EQ(result.completed.size(), 2005u);
    EXPECT_EQ(result.hits, 2);
    EXPECT_TRUE(result.completed[3].hit);
    EXPECT_TRUE(result.completed[2003].hit);
    EXPECT_EQ(result.running->startRow, 2005);
    EXPECT_EQ(result.betNumbers, std::vector<int>{9}); // formula 2005 % 2000
}

TEST(EvaluatePlan, RefusesCodeCountsPlanPeriodsAndPoolsItCannotWalk) {
    const DrawHistory history = RandomHistory(10, 1);
    const FormulaPool pool = BuildFormulaPool(0);
    const PlayTypeRule& rule = RuleOf(PlayType::Any2);
    EXPECT_THROW(EvaluatePlan(rule, 0, 3, history, pool, Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 12, 3, history, pool, Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 0, history, pool, Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, -4, history, pool, Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 3, history, FormulaPool{}, Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 3, history, UniformPool("01 01 02 "), Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 3, history, UniformPool("01 12 02 "), Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 3, history, UniformPool("01 0: 02 "), Tables()), std::invalid_argument);
    EXPECT_THROW(EvaluatePlan(rule, 3, 3, history, UniformPool("01 02"), Tables()), std::invalid_argument);
    EXPECT_NO_THROW(EvaluatePlan(rule, 11, 1, history, pool, Tables()));
}

TEST(EvaluatePlan, DrawnNumbersOutsideOneToElevenAreNeverBetNumbers) {
    const FormulaPool pool = BuildFormulaPool(0);
    const DrawHistory history{MakeDraw(1, {1, 2, 3, 4, 5}), MakeDraw(2, {0, 12, -1, 99, INT_MAX}),
                              MakeDraw(3, {0, 12, -1, INT_MIN, 11})};
    const PlanResult result = Evaluate(PlayType::Any1, 11, 1, history, pool);
    ASSERT_EQ(result.completed.size(), 2u);
    EXPECT_FALSE(result.completed[0].hit);
    EXPECT_TRUE(result.completed[1].hit);
}

TEST(EvaluatePlan, HugePlanPeriodCountLeavesTheFirstPlanRunningWithoutOverflow) {
    const DrawHistory history{MakeDraw(24010101, {2, 3, 4, 5, 6}), MakeDraw(24010102, {2, 3, 4, 5, 6})};
    const PlanResult result = Evaluate(PlayType::Front1, 1, INT_MAX, history, UniformPool(FormulaStartingWith({1})));
    EXPECT_TRUE(result.completed.empty());
    ASSERT_TRUE(result.running.has_value());
    EXPECT_EQ(result.running->startRow, 0);
    EXPECT_EQ(result.running->firstPeriod, 24010101);
}

TEST(EvaluatePlan, CurrentBetsOfFront1FollowTheFormulaAndOfAny1TheTable) {
    const FormulaPool pool = UniformPool(FormulaStartingWith({9, 1, 6}));
    const PlanResult front1 = Evaluate(PlayType::Front1, 3, 3, {}, pool);
    EXPECT_EQ(BetsOf(front1), (std::vector<std::vector<int>>{{9}, {1}, {6}}));
    const PlanResult any1 = Evaluate(PlayType::Any1, 2, 3, {}, pool);
    EXPECT_EQ(any1.betNumbers, (std::vector<int>{9, 1}));
    EXPECT_EQ(BetsOf(any1), (std::vector<std::vector<int>>{{1}, {9}}));
    const PlanResult front2 = Evaluate(PlayType::Front2, 3, 3, {}, pool);
    EXPECT_EQ(BetsOf(front2), (std::vector<std::vector<int>>{{1, 6}, {1, 9}, {6, 1}, {6, 9}, {9, 1}, {9, 6}}));
}

TEST(EvaluatePlan, YieldsOncePerPlanIncludingTheRunningOne) {
    const DrawHistory history = RandomHistory(300, 5);
    int yields = 0;
    const PlanResult result =
        EvaluatePlan(RuleOf(PlayType::Any3), 5, 4, history, BuildFormulaPool(3), Tables(), [&] { ++yields; });
    EXPECT_EQ(yields, static_cast<int>(result.completed.size()) + 1);
}

// One result is also replayed into again and again, as the window does when a choice changes: what it
// held before, more or fewer plans, other bets, must leave nothing behind. And a result is carried on as
// the history grows, as the window does at every new draw, from before the first plan could start, by
// less than a plan, and from inside a run of hits or misses.
TEST(EvaluatePlan, ReportAgreesWithAPlainWalkForEveryPlayTypeCodeCountAndSeveralPeriodCounts) {
    const DrawHistory history = RandomHistory(2300, 20240101);
    const FormulaPool pool = BuildFormulaPool(777);
    std::vector<DrawHistory> growing;
    for (const std::ptrdiff_t rows : {0, 1, 2, 700, 701, 1500, 2300})
        growing.emplace_back(history.begin(), history.begin() + rows);
    PlanResult reused;
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        for (int k = 1; k <= 11; ++k) {
            for (int n : {1, 2, 3, 7, 40}) {
                SCOPED_TRACE(std::string(RuleOf(type).name) + " K=" + std::to_string(k) + " n=" + std::to_string(n));
                const PlanReport report = BuildPlanReport(Evaluate(type, k, n, history, pool), type);
                const test::ReferenceReport expected = test::ReferencePlanReport(position, k, n, history, pool);
                ASSERT_EQ(report.planLines, expected.planLines);
                ASSERT_EQ(report.codeText, expected.codeText);
                ASSERT_EQ(report.labelText, expected.labelText);
                EvaluatePlanInto(reused, RuleOf(type), k, n, history, pool, Tables());
                const PlanReport again = BuildPlanReport(reused, type);
                ASSERT_EQ(again.planLines, expected.planLines);
                ASSERT_EQ(again.codeText, expected.codeText);
                ASSERT_EQ(again.labelText, expected.labelText);
                PlanResult grown;
                EvaluatePlanInto(grown, RuleOf(type), k, n, growing.front(), pool, Tables());
                for (const DrawHistory& rows : growing)
                    ContinuePlanInto(grown, RuleOf(type), k, n, rows, pool, Tables());
                const PlanReport carried = BuildPlanReport(grown, type);
                ASSERT_EQ(carried.planLines, expected.planLines);
                ASSERT_EQ(carried.codeText, expected.codeText);
                ASSERT_EQ(carried.labelText, expected.labelText);
            }
        }
    }
    EvaluatePlanInto(reused, RuleOf(PlayType::Any2), 3, 5, {}, pool, Tables());
    const PlanReport empty = BuildPlanReport(reused, PlayType::Any2);
    const PlanReport fresh = BuildPlanReport(Evaluate(PlayType::Any2, 3, 5, {}, pool), PlayType::Any2);
    EXPECT_EQ(empty.planLines, fresh.planLines);
    EXPECT_EQ(empty.codeText, fresh.codeText);
    EXPECT_EQ(empty.labelText, fresh.labelText);
}

} // namespace
} // namespace tarvo
