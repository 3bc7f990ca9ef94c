#pragma once

#include "tarvo/plan/CurrentBets.h"
#include "tarvo/plan/PlanRecord.h"
#include "tarvo/plan/RunningPlan.h"

#include <optional>
#include <vector>

namespace tarvo {

// What one replay of the chain of plans yields.
struct PlanResult {
    std::vector<PlanRecord> completed;  // in the order the plans ran
    std::optional<RunningPlan> running; // empty only for an empty draw history
    int hits = 0;
    int misses = 0;
    int rate = 0;                // hits * 100 / completed, truncated; 0 when no plan has completed
    int longestHitRun = 0;       // most consecutive hit records
    int missRunFigure = 0;       // most consecutive miss records minus one, never below 0
    std::vector<int> betNumbers; // first K numbers of the running plan's formula, formula order
    CurrentBets currentBets;     // 前一: single numbers in formula order; others: table order
};

} // namespace tarvo
