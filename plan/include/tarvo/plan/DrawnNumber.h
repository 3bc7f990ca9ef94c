#pragma once

#include "tarvo/plan/Draw.h"

#include <cstdint>

namespace tarvo {

// The drawn position a trend chart or omission table looks at: any of the five (0), or 1..5 for the first to
// the fifth number drawn.
inline constexpr int AnyPosition = 0;

// Throws std::invalid_argument for a position outside 0..5.
void RequireDrawPosition(int position);

// The numbers drawn at `position` (0..5, as above) as bits 1 << number; numbers outside 1..11 set none.
std::uint16_t DrawnNumbers(const Draw& draw, int position);

inline bool IsDrawn(std::uint16_t drawnNumbers, int number) {
    return ((drawnNumbers >> number) & 1u) != 0;
}

// The average omission of a number drawn `hits` times in `draws` draws: the draws without it, (N − h), spread
// over the h + 1 gaps before, between and after its appearances.
double AverageOmission(int draws, int hits);

} // namespace tarvo
