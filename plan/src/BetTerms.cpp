#include "tarvo/plan/BetTerms.h"

#include "Counting.h"
#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/PlayTypeRule.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

// Indexed by PlayType; 0 stands for "no official prize" (任一).
constexpr std::array<std::int64_t, PlayTypeCount> OfficialPrizes{13, 130, 1170, 0, 6, 19, 78, 540};

bool IsFrontType(PlayType type) {
    return RuleOf(type).examinedPositions < 5;
}

void RequireCodeCount(int codeCount) {
    if (codeCount < 1 || codeCount > 11)
        throw std::invalid_argument("号码个数必须在 1 到 11 之间（现在是 " + std::to_string(codeCount) + "）");
}

} // namespace

std::int64_t BetCount(PlayType type, int codeCount) {
    RequireCodeCount(codeCount);
    const int m = RuleOf(type).hitThreshold;
    return IsFrontType(type) ? Arrange(codeCount, m) : Choose(codeCount, m);
}

std::optional<std::int64_t> OfficialPrize(PlayType type) {
    const std::int64_t prize = OfficialPrizes.at(static_cast<std::size_t>(type));
    return prize > 0 ? std::optional<std::int64_t>(prize) : std::nullopt;
}

std::int64_t FewestWinningBetsAtHit(PlayType type, int codeCount) {
    RequireCodeCount(codeCount);
    if (IsFrontType(type))
        return 1;
    const int m = RuleOf(type).hitThreshold;
    return Choose(std::max(m, codeCount - 6), m);
}

std::int64_t WinningDrawCountOfOneBet(PlayType type) {
    const int m = RuleOf(type).hitThreshold;
    return IsFrontType(type) ? Arrange(11 - m, 5 - m) : Arrange(5, 5) * Choose(11 - m, 5 - m);
}

double AverageWinningBetsPerDraw(PlayType type, int codeCount) {
    return static_cast<double>(BetCount(type, codeCount) * WinningDrawCountOfOneBet(type)) /
           static_cast<double>(OrderedDrawCount);
}

double ReturnPerYuan(PlayType type, std::int64_t prize, std::int64_t price) {
    if (price < 1)
        throw std::invalid_argument("每注价格必须是正整数");
    return static_cast<double>(prize) * static_cast<double>(WinningDrawCountOfOneBet(type)) /
           (static_cast<double>(OrderedDrawCount) * static_cast<double>(price));
}

} // namespace tarvo
