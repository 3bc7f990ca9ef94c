#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/PlayType.h"

#include <cstdint>
#include <vector>

namespace tarvo {

// How a plan the window showed as running has come out so far.
enum class LiveOutcome { Running, Hit, Missed };

struct LiveJudgement {
    LiveOutcome outcome = LiveOutcome::Running;
    int hitAtPeriod = 0;             // Hit: 1..n, the plan's period that hit
    std::int32_t decidingPeriod = 0; // Hit: the hitting draw's period; Missed: the n-th draw's; Running: 0 (periods
                                     // without their leading "20", as Draw holds them)
    int drawsSeen = 0;               // the plan's draws stored so far (0..n): Hit: hitAtPeriod; Missed: n
    friend bool operator==(const LiveJudgement&, const LiveJudgement&) = default;
};

// A plan shown as running decides on the first n draws whose period is at or after its first period (in period
// order, as the history holds them; a draw stored late still takes its place): the first of them that hits the bet
// numbers for the play type ends it as a hit at that period, n of them without a hit as missed; fewer than n without
// a hit: still running. A draw hits when at least the play type's hitThreshold of its examinedPositions hold bet
// numbers (PlayTypeRule, the plan walk's own rule); bet numbers outside 1..11 are never drawn. `history` is oldest
// first (Draw: period without "20", then the five numbers). Throws std::invalid_argument for planPeriods < 1 or an
// empty bet list.
LiveJudgement JudgeLivePlan(PlayType type, const std::vector<int>& betNumbers, int planPeriods,
                            std::int32_t firstPeriod, const DrawHistory& history);

} // namespace tarvo
