#pragma once

#include <cstdint>

namespace tarvo {

// The program's 32-bit linear congruential generator. Each draw advances the state,
// seed := seed * 134775813 + 1 (mod 2^32), and returns (seed * range) >> 32 from the new seed,
// an integer in 0..range-1. The same seed always gives the same sequence.
class RandomGenerator {
public:
    explicit RandomGenerator(std::uint32_t seed)
        : seed_(seed) {}

    std::uint32_t next(std::uint32_t range);
    std::uint32_t state() const { return seed_; }

private:
    std::uint32_t seed_;
};

// The seed the pool is drawn from: the time of day (UTC) in milliseconds since midnight.
std::uint32_t SeedFromTimeOfDay(int hour, int minute, int second, int millisecond);

} // namespace tarvo
