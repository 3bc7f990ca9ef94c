#pragma once

#include <cstdint>

namespace tarvo {

// The plan still running at the newest draw. Its periods count on from the newest row's period:
// firstPeriod = newest period + (startRow - newest row), lastPeriod = firstPeriod + n - 1.
struct RunningPlan {
    int startRow; // 0..R; R when the last completed plan ended at the newest draw
    std::int32_t firstPeriod;
    std::int32_t lastPeriod;

    friend bool operator==(const RunningPlan&, const RunningPlan&) = default;
};

} // namespace tarvo
