#include "tarvo/plan/LivePlanOutcome.h"
#include "tarvo/plan/EvaluatePlan.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <stdexcept>

namespace tarvo {

void PrintTo(const LiveJudgement& judgement, std::ostream* out) {
    *out << "{outcome " << static_cast<int>(judgement.outcome) << ", hit at " << judgement.hitAtPeriod << ", deciding "
         << judgement.decidingPeriod << ", draws seen " << judgement.drawsSeen << '}';
}

namespace {

using test::FormulaStartingWith;
using test::MakeDraw;
using test::RandomHistory;
using test::Tables;
using test::UniformPool;

DrawHistory Without(DrawHistory history, std::int32_t period) {
    std::erase_if(history, [&](const Draw& draw) { return draw[0] == period; });
    return history;
}

TEST(JudgeLivePlan, HandWorkedPlans) {
    const DrawHistory history{
        MakeDraw(26120901, {3, 8, 9, 10, 11}), MakeDraw(26120902, {5, 3, 7, 1, 2}),
        MakeDraw(26120903, {7, 1, 2, 4, 5}),   MakeDraw(26120904, {1, 6, 2, 7, 8}),
        MakeDraw(26120905, {6, 7, 3, 5, 1}),   MakeDraw(26121001, {9, 10, 11, 8, 6}),
    };
    const DrawHistory beforeLateDraw = Without(history, 26120903);
    struct Case {
        PlayType type;
        std::vector<int> bets;
        int periods;
        std::int32_t first;
        const DrawHistory& draws;
        LiveJudgement expected;
    };
    const Case cases[] = {
        // 前一 03 07: 05 leads 02, 07 leads 03.
        {PlayType::Front1, {3, 7}, 3, 26120902, history, {LiveOutcome::Hit, 2, 26120903, 2}},
        // 01 and 06 lead.
        {PlayType::Front1, {3, 7}, 2, 26120904, history, {LiveOutcome::Missed, 0, 26120905, 2}},
        // Two of three draws stored, neither hits; then none stored yet.
        {PlayType::Front1, {3, 7}, 3, 26120905, history, {LiveOutcome::Running, 0, 0, 2}},
        {PlayType::Front1, {3, 7}, 3, 26121002, history, {LiveOutcome::Running, 0, 0, 0}},
        // A first period no draw has (after the day's last draw) starts at the next day's first.
        {PlayType::Front1, {9}, 2, 26120986, history, {LiveOutcome::Hit, 1, 26121001, 1}},
        // 01 leads 04, the plan's 2nd draw while 03 is missing; once 03 is stored late, its 3rd.
        {PlayType::Front1, {1}, 3, 26120902, beforeLateDraw, {LiveOutcome::Hit, 2, 26120904, 2}},
        {PlayType::Front1, {1}, 3, 26120902, history, {LiveOutcome::Hit, 3, 26120904, 3}},
        // 任三 01..05: 01 02 of 04 are two; 03 05 01 of 05 three, at positions 3 to 5.
        {PlayType::Any3, {1, 2, 3, 4, 5}, 2, 26120904, history, {LiveOutcome::Hit, 2, 26120905, 2}},
        // 前三 with the same numbers sees only the first three positions: 01 06 02 and 06 07 03.
        {PlayType::Front3, {1, 2, 3, 4, 5}, 2, 26120904, history, {LiveOutcome::Missed, 0, 26120905, 2}},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(JudgeLivePlan(c.type, c.bets, c.periods, c.first, c.draws), c.expected) << "case " << i;
    }

    EXPECT_THROW(JudgeLivePlan(PlayType::Front1, {3}, 0, 26120902, history), std::invalid_argument);
    EXPECT_THROW(JudgeLivePlan(PlayType::Front1, {}, 3, 26120902, history), std::invalid_argument);
}

// What the window shows as running, judged on the draws that came after, ends as the plan walk over those draws
// ends the plan that started there.
TEST(JudgeLivePlan, DecidesTheRunningPlanAsTheWalkDoesOnceItsDrawsAreStored) {
    const DrawHistory all = RandomHistory(400, 77);
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayTypeRule& rule = RuleOf(PlayTypeAt(position));
        const int codeCount = rule.kBase;
        const FormulaPool pool = BuildFormulaPool(20261209);
        for (const std::size_t shownAt : {std::size_t{150}, std::size_t{151}, std::size_t{152}}) {
            const DrawHistory seen(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(shownAt));
            const PlanResult shown = EvaluatePlan(rule, codeCount, 4, seen, pool, Tables());
            const PlanResult later = EvaluatePlan(rule, codeCount, 4, all, pool, Tables());
            const auto started = std::find_if(later.completed.begin(), later.completed.end(), [&](const PlanRecord& r) {
                return r.startRow == shown.running->startRow;
            });
            ASSERT_NE(started, later.completed.end());

            const LiveJudgement judged = JudgeLivePlan(rule.type, shown.betNumbers, 4, shown.running->firstPeriod, all);
            EXPECT_EQ(judged.outcome, started->hit ? LiveOutcome::Hit : LiveOutcome::Missed) << rule.name;
            EXPECT_EQ(judged.hitAtPeriod, started->hit ? started->periodsUsed : 0) << rule.name;
            EXPECT_EQ(judged.decidingPeriod, started->decidingPeriod) << rule.name;
            EXPECT_EQ(judged.drawsSeen, started->periodsUsed) << rule.name;
        }
    }
}

} // namespace
} // namespace tarvo
