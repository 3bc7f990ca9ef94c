#pragma once

#include "tarvo/plan/PlayType.h"

#include <cstdint>
#include <optional>

namespace tarvo {

// Yuan per bet, the official price of one 11选5 bet.
inline constexpr std::int64_t BetPrice = 2;

// The bets a plan of `codeCount` numbers places in one period: K for 前一 and 任一, K(K−1) ordered pairs for
// 前二, K(K−1)(K−2) ordered triples for 前三, C(K, m) sets for 任m (0 when K < m). Throws
// std::invalid_argument for a code count outside 1..11.
std::int64_t BetCount(PlayType type, int codeCount);

// The official prize of one winning 2-yuan bet, in whole yuan: 前一 13, 前二 130, 前三 1170, 任二 6, 任三 19,
// 任四 78, 任五 540. 任一 has none.
std::optional<std::int64_t> OfficialPrize(PlayType type);

// The fewest winning bets a hit gives: 1 for 前一/前二/前三; for 任m, C(max(m, K − 6), m), since at most six
// of the K numbers can stay undrawn.
std::int64_t FewestWinningBetsAtHit(PlayType type, int codeCount);

// How many of the ordered draws make one given bet of the type win: 前m P(11 − m, 5 − m), 任m 120·C(11 − m, 5 − m).
std::int64_t WinningDrawCountOfOneBet(PlayType type);

// The winning bets one period of such a plan brings on average over all draws.
double AverageWinningBetsPerDraw(PlayType type, int codeCount);

// What one staked yuan brings back in the long run: prize × chance that one bet wins ÷ price. It is the same
// for every bet of the type, so no choice of numbers, plan or doubling schedule changes it.
double ReturnPerYuan(PlayType type, std::int64_t prize, std::int64_t price = BetPrice);

} // namespace tarvo
