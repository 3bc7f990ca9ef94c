#pragma once

#include "tarvo/plan/PlayType.h"

#include <optional>
#include <string_view>

namespace tarvo {

// The parameters that make one plan walk into the walk of a play type.
struct PlayTypeRule {
    PlayType type;
    int kBase;             // code count of the first code-count entry; entry i stands for kBase - i
    int firstStartRow;     // row of the first plan: 0 for 前一, 1 for all others
    int examinedPositions; // drawn positions counted: the first 1, 2 or 3 (前N), or all 5 (任N)
    int hitThreshold;      // a draw hits when at least this many examined numbers are bet numbers
    int entrySize;         // numbers per current bet (group size of the table; 1 for 前一)
    int candidateCount;    // number of all bets of the type (11 for 前一 and 任一)
    int weight;            // bets of the type contained in one draw (used to propose the plan periods)
    std::string_view name; // as the play-type group shows it and the report names it: "前一" .. "任五"
};

// The rule of a play type (a constant of the program).
const PlayTypeRule& RuleOf(PlayType type);

// The play type of that name (see PlayTypeRule::name); none for any other text.
std::optional<PlayType> PlayTypeNamed(std::string_view name);

} // namespace tarvo
