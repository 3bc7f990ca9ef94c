#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/PlayType.h"

#include <cstdint>

namespace tarvo {

// Every chance below is an exact count of the ordered draws (OrderedDrawCount), turned into a double only
// at the end.

// How many ordered draws hit a plan that bets `codeCount` numbers of the play type: at least the type's
// threshold of its examined positions hold bet numbers, in any order (the plan walk's own rule).
// 0 when the code count is below the threshold. Throws std::invalid_argument for a code count outside 1..11.
std::int64_t HittingDrawCount(PlayType type, int codeCount);

// p: the chance that one draw hits such a plan, HittingDrawCount / OrderedDrawCount.
double DrawHitProbability(PlayType type, int codeCount);

// q = 1 − (1 − p)^n: the chance that a plan watching at most n draws ends as a hit. Computed without the
// cancellation of the plain formula, so a small p keeps its precision. 0 for n below 1.
double PlanHitProbability(double drawHitProbability, int planPeriods);

} // namespace tarvo
