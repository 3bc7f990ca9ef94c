#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo {

// Number of formulas in a pool.
inline constexpr int FormulaPoolSize = 2000;

// A formula is the eleven numbers 01..11 in random order, each two digits followed by one space
// (33 characters, e.g. "01 10 03 04 08 02 05 06 11 09 07 "); its first K numbers are a plan's codes.
using FormulaPool = std::vector<std::string>;

// Draws FormulaPoolSize formulas from one generator seeded once with `seed`; the generator runs on from
// one formula to the next, and a number already in the formula is drawn again. Same seed, same pool.
FormulaPool BuildFormulaPool(std::uint32_t seed);

// The i-th number (0-based) of a formula; throws std::invalid_argument when the formula has no
// two-digit number 01..11 at that place.
int FormulaNumberAt(const std::string& formula, int i);

} // namespace tarvo
