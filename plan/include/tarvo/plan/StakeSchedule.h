#pragma once

#include "tarvo/plan/BetTerms.h"

#include <cstdint>
#include <vector>

namespace tarvo {

// The longest stake schedule worked out, and the largest amount in yuan it may show: amounts stay exact
// integers (also as JSON numbers) and far beyond any real stake.
inline constexpr int MaxStakePeriods = 10000;
inline constexpr std::int64_t StakeAmountLimit = 1'000'000'000'000'000;

// What a doubling schedule is built from. Amounts in whole yuan.
struct StakeTerms {
    std::int64_t betsPerPeriod = 1;    // b: bets placed each period at multiplier 1
    std::int64_t prize = 0;            // W: prize per winning bet
    std::int64_t winningBetsAtHit = 1; // w: winning bets a hit is counted on, 1..b
    int periods = 1;                   // n: 1..MaxStakePeriods
    int minProfitPercent = 10;         // r: the least profit on a hit, in whole percent of all staked so far, 0..1000
    std::int64_t price = BetPrice;     // yuan per bet
};

// One period of the schedule, when the plan hits in it.
struct StakeRow {
    int period = 0;              // i, 1..n
    std::int64_t multiplier = 0; // m_i = max(1, ⌈(1 + r)·C_(i−1) / (W·w − (1 + r)·price·b)⌉)
    std::int64_t cost = 0;       // m_i·price·b
    std::int64_t totalCost = 0;  // C_i = C_(i−1) + cost
    std::int64_t hitReturn = 0;  // m_i·W·w
    std::int64_t profit = 0;     // hitReturn − C_i
    double profitRate = 0;       // profit / C_i, at least r / 100
};

struct StakeSchedule {
    bool possible = false;      // false when W·w ≤ (1 + r)·price·b: no multiplier can reach the rate
    std::vector<StakeRow> rows; // periods 1..n; empty when not possible
    bool cutShort = false;      // an amount would pass StakeAmountLimit: rows stop before that period
};

// Works the schedule out in exact integer arithmetic (r in hundredths). Throws std::invalid_argument, with a
// message for the user, for terms outside the ranges above or too large to reckon with.
StakeSchedule BuildStakeSchedule(const StakeTerms& terms);

// What playing a schedule to its end or its first hit means when each draw hits with probability p.
struct StakeOutlook {
    std::vector<double> decidedAt; // [i − 1]: the chance the plan ends with a hit exactly at period i, p(1 − p)^(i − 1)
    double loseAllChance = 0;       // no hit in any period of the schedule: (1 − p)^rows
    std::int64_t loseAllAmount = 0; // what is then lost: the total cost of all rows
    double expectedResult = 0;      // the average result in yuan (a gain when positive)
};

// The outlook of a schedule's rows. The expected result counts the winning bets a period brings on average
// (`averageWinningBetsPerDraw`, see BetTerms), not the w the table is built on, since a hit may bring more.
StakeOutlook StakeOutlookOf(const StakeSchedule& schedule, const StakeTerms& terms, double drawHitProbability,
                            double averageWinningBetsPerDraw);

} // namespace tarvo
