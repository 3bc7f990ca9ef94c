#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/FormulaPool.h"

#include <string>
#include <vector>

namespace tarvo::test {

// What a player reads after a plan run, worked out by a plain walk over the draws that shares no code
// with the plan engine: the plan memo's lines, the bets to place now and their label.
struct ReferenceReport {
    std::vector<std::string> planLines;
    std::string codeText;
    std::string labelText;
    // How each completed plan ended, in order: the draw of the plan that hit (1..n), 0 for a miss.
    std::vector<int> outcomes;
};

// The code count of the choice at `position` of the code-count box for a play type (0 前一 .. 7 任五).
int ReferenceCodeCount(int playType, int position);

// The report of the chain of plans for a play type (0 前一 .. 7 任五), codeCount numbers bet and at most
// planPeriods draws watched per plan, over `history` with the formulas of `pool`.
ReferenceReport ReferencePlanReport(int playType, int codeCount, int planPeriods, const DrawHistory& history,
                                    const FormulaPool& pool);

} // namespace tarvo::test
