#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tarvo {

// One draw as the program holds it in memory: position 0 is the period (the stored ten-digit
// period without its leading "20"), positions 1 to 5 the drawn numbers in draw order.
using Draw = std::array<std::int32_t, 6>;

// A lottery's draws, oldest first (index 0 is the smallest period).
using DrawHistory = std::vector<Draw>;

} // namespace tarvo
