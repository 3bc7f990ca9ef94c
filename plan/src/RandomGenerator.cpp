#include "tarvo/plan/RandomGenerator.h"

namespace tarvo {

std::uint32_t RandomGenerator::next(std::uint32_t range) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed_) * range) >> 32);
}

std::uint32_t SeedFromTimeOfDay(int hour, int minute, int second, int millisecond) {
    return static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

} // namespace tarvo
