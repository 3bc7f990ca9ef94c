#include "tarvo/plan/DrawnNumber.h"

#include <stdexcept>
#include <string>

namespace tarvo {

void RequireDrawPosition(int position) {
    if (position < AnyPosition || position > 5)
        throw std::invalid_argument("开奖位置必须是 0（任意位置）或 1..5（现在是 " + std::to_string(position) + "）");
}

std::uint16_t DrawnNumbers(const Draw& draw, int position) {
    const auto bit = [](std::int32_t number) {
        return IsGameNumber(number) ? static_cast<std::uint16_t>(1u << number) : std::uint16_t{0};
    };
    if (position != AnyPosition)
        return bit(draw[static_cast<std::size_t>(position)]);
    std::uint16_t drawn = 0;
    for (std::size_t p = 1; p <= 5; ++p)
        drawn = static_cast<std::uint16_t>(drawn | bit(draw[p]));
    return drawn;
}

double AverageOmission(int draws, int hits) {
    return static_cast<double>(draws - hits) / (hits + 1);
}

} // namespace tarvo
