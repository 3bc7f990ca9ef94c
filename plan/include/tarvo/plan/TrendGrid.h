#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/DrawnNumber.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tarvo {

// One number in one period of the trend chart.
struct TrendCell {
    bool drawn = false; // drawn at the chosen position in this period
    int omission = 0;   // 0 when drawn; else the periods since it was last drawn, this one included, counted
                        // over the whole history (so the first rows of the chart show the true omission)
};

// One period of the trend chart.
struct TrendRow {
    std::int32_t period = 0;
    std::array<std::int32_t, 5> numbers{}; // as drawn
    std::array<TrendCell, 11> cells{};     // 01..11 in order
};

// The footer of one number's column, over the rows of the chart.
struct TrendColumnSummary {
    int appearances = 0;        // 出现次数
    double averageOmission = 0; // 平均遗漏: (rows − appearances) / (appearances + 1)
    int longestOmission = 0;    // 最大遗漏: the largest omission the column shows
    int longestStreak = 0;      // 最大连出: most consecutive rows in which it was drawn
};

struct TrendGrid {
    std::vector<TrendRow> rows;                   // oldest first, the newest draw last
    std::array<TrendColumnSummary, 11> summary{}; // 01..11 in order
};

// The trend chart of the last `lastDraws` draws (all when the history is shorter) for one drawn position 1..5
// or any position (0). Throws std::invalid_argument for a position outside 0..5 or fewer than 1 draw asked.
TrendGrid BuildTrendGrid(const DrawHistory& history, int lastDraws, int position);

} // namespace tarvo
