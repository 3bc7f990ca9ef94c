#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tarvo {

// The game: each draw picks five different numbers out of 01..11, in order.
inline constexpr int GameNumbers = 11;
inline constexpr int NumbersPerDraw = 5;
// 11·10·9·8·7 ordered draws, all equally likely.
inline constexpr std::int64_t OrderedDrawCount = 55440;

// Whether a number is one of the game's, 1..11.
constexpr bool IsGameNumber(std::int64_t number) {
    return number >= 1 && number <= GameNumbers;
}

// One draw as the program holds it in memory: position 0 is the period (the stored ten-digit
// period without its leading "20"), positions 1 to 5 the drawn numbers in draw order.
using Draw = std::array<std::int32_t, 6>;

// A lottery's draws, oldest first (index 0 is the smallest period).
using DrawHistory = std::vector<Draw>;

} // namespace tarvo
