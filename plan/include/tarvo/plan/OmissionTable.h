#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/DrawnNumber.h"

#include <array>
#include <optional>

namespace tarvo {

// The omission figures of one number over a window of the newest draws.
struct NumberOmission {
    int number = 0;          // 1..11
    int hits = 0;            // draws of the window that drew it (at the chosen position)
    double expectedHits = 0; // what chance gives: N·5/11 for any position, N/11 for one position
    int current = 0;         // draws since it last appeared; N when it never did
    int longest = 0;         // the longest run of draws without it, the current run included
    double average = 0;      // (N − hits) / (hits + 1)
};

struct OmissionTable {
    int draws = 0;                          // N: the draws of the window
    std::array<NumberOmission, 11> numbers; // 01..11 in order
};

// The omission table over the last `lastDraws` draws of the history (all of them when empty or larger than the
// history), for one drawn position 1..5 or any position (0). Draws outside the window play no part. Throws
// std::invalid_argument for a position outside 0..5 or a window below 1 draw.
OmissionTable BuildOmissionTable(const DrawHistory& history, std::optional<int> lastDraws, int position);

} // namespace tarvo
