#pragma once

#include "tarvo/plan/CandidateTables.h"
#include "tarvo/plan/Draw.h"
#include "tarvo/plan/FormulaPool.h"
#include "tarvo/plan/PlanResult.h"
#include "tarvo/plan/PlayTypeRule.h"

#include <functional>

namespace tarvo {

// Replays the chain of plans of one play type over the whole history, oldest row first.
// The plan starting at row s bets the first codeCount numbers of pool[s % pool.size()] and watches at
// most planPeriods rows from s on; it ends as a hit at the first row whose examined numbers hold at least
// the rule's threshold of bet numbers (order plays no part), or as a miss after planPeriods rows; the next
// plan starts at the row after. A plan that has not ended by the newest row is the running plan.
// Requires 1 <= codeCount <= 11, planPeriods >= 1 and a non-empty pool whose formulas hold two-digit
// numbers 01..11 without repeats in their first codeCount places; throws std::invalid_argument otherwise.
// The formulas of every row that could start a plan are checked (the pool read them when it was made).
// An empty history gives no completed plan, no running plan, and the bets of the formula at the first
// start row. Drawn numbers outside 1..11 are never bet numbers. Period arithmetic wraps like the
// 32-bit integers it is stored in.
// yieldOncePerPlan (may be empty) is called once per plan, before it is examined, so the window can keep
// painting; it must not change the history, the pool or the tables.
PlanResult EvaluatePlan(const PlayTypeRule& rule, int codeCount, int planPeriods, const DrawHistory& history,
                        const FormulaPool& pool, const CandidateTables& tables,
                        const std::function<void()>& yieldOncePerPlan = {});

// As EvaluatePlan, into `result`, whose vectors keep the room they have: a caller that replays the
// plans again and again over years of draws then takes no new memory for them (a refresh that only
// adds draws carries the last result on instead, see ContinuePlanInto). On an exception `result` holds
// nothing of use.
void EvaluatePlanInto(PlanResult& result, const PlayTypeRule& rule, int codeCount, int planPeriods,
                      const DrawHistory& history, const FormulaPool& pool, const CandidateTables& tables,
                      const std::function<void()>& yieldOncePerPlan = {});

// Carries a result replayed over a history on over the draws added to that history since, as a replay of
// the whole grown history would give it: a completed plan depends only on the rows up to its end, so the
// completed plans stay, and the running plan goes on over the new rows. `history` must begin with the rows
// `result` was replayed over, unchanged, and the choices, pool and tables must be those of that replay. Its
// cost grows with the new rows, not with the years before them. On an exception `result` holds nothing of
// use.
void ContinuePlanInto(PlanResult& result, const PlayTypeRule& rule, int codeCount, int planPeriods,
                      const DrawHistory& history, const FormulaPool& pool, const CandidateTables& tables);

} // namespace tarvo
