#pragma once

#include "tarvo/plan/CandidateTables.h"
#include "tarvo/plan/Draw.h"
#include "tarvo/plan/FormulaPool.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::test {

// The candidate tables, built once for all tests.
const CandidateTables& Tables();

Draw MakeDraw(std::int32_t period, std::array<int, 5> numbers);

// A number as the tables write it: two digits, "01" to "11".
std::string TwoDigits(int number);

// A formula that begins with `leading` and goes on with the remaining numbers in ascending order.
std::string FormulaStartingWith(const std::vector<int>& leading);

// A full pool of `fill` formulas.
FormulaPool UniformPool(const std::string& fill);

// `rows` draws with consecutive periods from firstPeriod, each five different numbers from a fixed seed.
DrawHistory RandomHistory(int rows, std::uint32_t seed, std::int32_t firstPeriod = 24010101);

} // namespace tarvo::test
