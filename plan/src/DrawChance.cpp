#include "tarvo/plan/DrawChance.h"

#include "Counting.h"
#include "tarvo/plan/PlayTypeRule.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace tarvo {

std::int64_t HittingDrawCount(PlayType type, int codeCount) {
    if (codeCount < 1 || codeCount > 11)
        throw std::invalid_argument("号码个数必须在 1 到 11 之间（现在是 " + std::to_string(codeCount) + "）");
    const PlayTypeRule& rule = RuleOf(type);
    const int examined = rule.examinedPositions;
    // j bet numbers on the examined positions: which positions, the bet numbers and the other numbers placed
    // on them, then the remaining numbers on the positions that are not examined.
    std::int64_t count = 0;
    for (int j = rule.hitThreshold; j <= examined; ++j)
        count += Choose(examined, j) * Arrange(codeCount, j) * Arrange(11 - codeCount, examined - j);
    return count * Arrange(11 - examined, 5 - examined);
}

double DrawHitProbability(PlayType type, int codeCount) {
    return static_cast<double>(HittingDrawCount(type, codeCount)) / static_cast<double>(OrderedDrawCount);
}

double PlanHitProbability(double drawHitProbability, int planPeriods) {
    if (planPeriods < 1)
        return 0.0;
    return -std::expm1(planPeriods * std::log1p(-drawHitProbability));
}

} // namespace tarvo
