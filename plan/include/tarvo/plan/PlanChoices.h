#pragma once

#include "tarvo/plan/PlayType.h"

namespace tarvo {

// The three choices a chain of plans is replayed with.
struct PlanChoices {
    PlayType playType = PlayType::Front1;
    int codeCount = 9;   // K: how many numbers of the formula are bet
    int planPeriods = 3; // n: the most draws a plan watches

    bool operator==(const PlanChoices&) const = default;
};

} // namespace tarvo
