#include "tarvo/plan/LivePlanOutcome.h"

#include "tarvo/plan/PlayTypeRule.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

// The bet numbers 1..11 as bits 1..11; any other number sets no bit.
std::uint32_t BetMask(const std::vector<int>& betNumbers) {
    std::uint32_t mask = 0;
    for (int number : betNumbers) {
        if (IsGameNumber(number))
            mask |= 1u << number;
    }
    return mask;
}

bool Hits(const Draw& draw, std::uint32_t bets, const PlayTypeRule& rule) {
    int held = 0;
    for (std::size_t position = 1; position <= static_cast<std::size_t>(rule.examinedPositions); ++position) {
        const std::int32_t number = draw[position];
        held += IsGameNumber(number) && (bets >> number & 1u) != 0 ? 1 : 0;
    }
    return held >= rule.hitThreshold;
}

} // namespace

LiveJudgement JudgeLivePlan(PlayType type, const std::vector<int>& betNumbers, int planPeriods,
                            std::int32_t firstPeriod, const DrawHistory& history) {
    if (planPeriods < 1)
        throw std::invalid_argument("计划期数必须是正整数（现在是 " + std::to_string(planPeriods) + "）");
    if (betNumbers.empty())
        throw std::invalid_argument("投注号码是空的");
    const PlayTypeRule& rule = RuleOf(type);
    const std::uint32_t bets = BetMask(betNumbers);
    const auto first = std::lower_bound(history.begin(), history.end(), firstPeriod,
                                        [](const Draw& draw, std::int32_t period) { return draw[0] < period; });
    const auto watched = std::min<std::ptrdiff_t>(history.end() - first, planPeriods);
    LiveJudgement judgement;
    for (auto draw = first; draw != first + watched; ++draw) {
        ++judgement.drawsSeen;
        if (Hits(*draw, bets, rule))
            return {LiveOutcome::Hit, judgement.drawsSeen, (*draw)[0], judgement.drawsSeen};
    }
    if (judgement.drawsSeen == planPeriods) {
        judgement.outcome = LiveOutcome::Missed;
        judgement.decidingPeriod = (*(first + watched - 1))[0];
    }
    return judgement;
}

} // namespace tarvo
