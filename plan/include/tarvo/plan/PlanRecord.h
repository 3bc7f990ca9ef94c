#pragma once

#include <array>
#include <cstdint>

namespace tarvo {

// One completed plan. Row indices are into the draw history (0 = oldest).
struct PlanRecord {
    int startRow;                             // also the index of its formula (modulo the pool size)
    std::int32_t firstPeriod;                 // period of the start row
    std::int32_t lastPeriod;                  // firstPeriod + n - 1 (arithmetic, not a row look-up)
    bool hit;                                 // true: ended at a hit; false: no hit in n draws
    std::int32_t decidingPeriod;              // hit: period of the hit row; miss: lastPeriod
    std::array<std::int32_t, 5> decidingDraw; // the five numbers of the row at which the plan ended
    int periodsUsed;                          // hit: hitRow - startRow + 1 (1..n); miss: n

    friend bool operator==(const PlanRecord&, const PlanRecord&) = default;
};

} // namespace tarvo
