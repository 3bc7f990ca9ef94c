#include "tarvo/plan/StakeSchedule.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

std::optional<std::int64_t> Times(std::int64_t a, std::int64_t b) {
    std::int64_t product = 0;
    return __builtin_mul_overflow(a, b, &product) ? std::nullopt : std::optional<std::int64_t>(product);
}

void Require(bool condition, const char* message) {
    if (!condition)
        throw std::invalid_argument(message);
}

void RequireSoundTerms(const StakeTerms& terms) {
    Require(terms.betsPerPeriod >= 1, "每期注数必须是正整数");
    Require(terms.prize >= 0, "单注奖金不能为负数");
    Require(terms.winningBetsAtHit >= 1 && terms.winningBetsAtHit <= terms.betsPerPeriod,
            "中奖注数必须在 1 到每期注数之间");
    Require(terms.periods >= 1 && terms.periods <= MaxStakePeriods, "倍投期数必须在 1 到 10000 之间");
    Require(terms.minProfitPercent >= 0 && terms.minProfitPercent <= 1000, "最低收益率必须在 0% 到 1000% 之间");
    Require(terms.price >= 1, "每注价格必须是正整数");
}

// The exact quantities every period needs, in hundredths where r enters.
struct Margins {
    std::int64_t ratePlusHundred;   // 100 + r
    std::int64_t costPerMultiple;   // price·b
    std::int64_t returnPerMultiple; // W·w
    std::int64_t headroom;          // 100·W·w − (100 + r)·price·b: what one multiple adds beyond the rate
};

Margins MarginsOf(const StakeTerms& terms) {
    const std::int64_t ratePlusHundred = 100 + terms.minProfitPercent;
    const std::optional<std::int64_t> cost = Times(terms.price, terms.betsPerPeriod);
    const std::optional<std::int64_t> win = Times(terms.prize, terms.winningBetsAtHit);
    const std::optional<std::int64_t> scaledWin = win ? Times(*win, 100) : std::nullopt;
    const std::optional<std::int64_t> scaledCost = cost ? Times(*cost, ratePlusHundred) : std::nullopt;
    Require(scaledWin && scaledCost && *cost <= StakeAmountLimit && *win <= StakeAmountLimit,
            "奖金、注数或价格太大，无法计算倍投");
    return {ratePlusHundred, *cost, *win, *scaledWin - *scaledCost};
}

// The next row after `totalBefore` yuan staked, or none when an amount would pass the limit.
std::optional<StakeRow> NextRow(const Margins& margins, int period, std::int64_t totalBefore) {
    const std::optional<std::int64_t> needed = Times(margins.ratePlusHundred, totalBefore);
    if (!needed)
        return std::nullopt;
    StakeRow row;
    row.period = period;
    row.multiplier = std::max<std::int64_t>(1, (*needed + margins.headroom - 1) / margins.headroom);
    const std::optional<std::int64_t> cost = Times(row.multiplier, margins.costPerMultiple);
    const std::optional<std::int64_t> hitReturn = Times(row.multiplier, margins.returnPerMultiple);
    if (!cost || !hitReturn || *cost > StakeAmountLimit - totalBefore || *hitReturn > StakeAmountLimit)
        return std::nullopt;
    row.cost = *cost;
    row.totalCost = totalBefore + row.cost;
    row.hitReturn = *hitReturn;
    row.profit = row.hitReturn - row.totalCost;
    row.profitRate = static_cast<double>(row.profit) / static_cast<double>(row.totalCost);
    return row;
}

} // namespace

StakeSchedule BuildStakeSchedule(const StakeTerms& terms) {
    RequireSoundTerms(terms);
    const Margins margins = MarginsOf(terms);
    StakeSchedule schedule;
    schedule.possible = margins.headroom > 0;
    if (!schedule.possible)
        return schedule;
    schedule.rows.reserve(static_cast<std::size_t>(terms.periods));
    std::int64_t total = 0;
    for (int period = 1; period <= terms.periods; ++period) {
        const std::optional<StakeRow> row = NextRow(margins, period, total);
        if (!row) {
            schedule.cutShort = true;
            break;
        }
        schedule.rows.push_back(*row);
        total = row->totalCost;
    }
    return schedule;
}

StakeOutlook StakeOutlookOf(const StakeSchedule& schedule, const StakeTerms& terms, double drawHitProbability,
                            double averageWinningBetsPerDraw) {
    StakeOutlook outlook;
    const double perMultiple = static_cast<double>(terms.prize) * averageWinningBetsPerDraw -
                               static_cast<double>(terms.price) * static_cast<double>(terms.betsPerPeriod);
    double stillPlaying = 1.0;
    for (const StakeRow& row : schedule.rows) {
        outlook.decidedAt.push_back(stillPlaying * drawHitProbability);
        outlook.expectedResult += stillPlaying * static_cast<double>(row.multiplier) * perMultiple;
        stillPlaying *= 1.0 - drawHitProbability;
    }
    outlook.loseAllChance = schedule.rows.empty() ? 0.0 : stillPlaying;
    outlook.loseAllAmount = schedule.rows.empty() ? 0 : schedule.rows.back().totalCost;
    return outlook;
}

} // namespace tarvo
