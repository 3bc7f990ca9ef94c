#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/PlayTypeRule.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace tarvo {
namespace {

using test::MakeDraw;

// Every ordered draw of five different numbers out of 01..11, once each.
const DrawHistory& AllOrderedDraws() {
    static const DrawHistory draws = [] {
        DrawHistory all;
        for (int a = 1; a <= 11; ++a)
            for (int b = 1; b <= 11; ++b)
                for (int c = 1; c <= 11; ++c)
                    for (int d = 1; d <= 11; ++d)
                        for (int e = 1; e <= 11; ++e)
                            if (std::set<int>{a, b, c, d, e}.size() == 5)
                                all.push_back(MakeDraw(static_cast<std::int32_t>(all.size()), {a, b, c, d, e}));
        return all;
    }();
    return draws;
}

// How players judge a plan betting 01..K: 前m hits when the first m numbers drawn are all bet numbers (in
// any order), 任m when at least m of the five drawn are. Indexed by the play type's position.
struct HitRule {
    int examined; // the first drawn numbers that count
    int atLeast;  // how many of them must be bet numbers
    int betSize;  // numbers per bet
    bool ordered; // 前m bets are ordered tuples, 任m bets are sets
};
constexpr HitRule HitRules[PlayTypeCount] = {{1, 1, 1, true},  {2, 2, 2, true},  {3, 3, 3, true},  {5, 1, 1, false},
                                             {5, 2, 2, false}, {5, 3, 3, false}, {5, 4, 4, false}, {5, 5, 5, false}};

// Counted draw by draw over all ordered draws: those that hit the plan betting 01..K.
std::int64_t CountedHittingDraws(int position, int codeCount) {
    const HitRule& rule = HitRules[position];
    std::int64_t hitting = 0;
    for (const Draw& draw : AllOrderedDraws()) {
        int betNumbersDrawn = 0;
        for (int i = 1; i <= rule.examined; ++i)
            betNumbersDrawn += draw[static_cast<std::size_t>(i)] <= codeCount ? 1 : 0;
        hitting += betNumbersDrawn >= rule.atLeast ? 1 : 0;
    }
    return hitting;
}

void AddBets(const HitRule& rule, int codeCount, std::vector<int>& bet, std::vector<std::vector<int>>& bets) {
    if (static_cast<int>(bet.size()) == rule.betSize) {
        bets.push_back(bet);
        return;
    }
    for (int number = rule.ordered || bet.empty() ? 1 : bet.back() + 1; number <= codeCount; ++number) {
        if (std::find(bet.begin(), bet.end(), number) != bet.end())
            continue;
        bet.push_back(number);
        AddBets(rule, codeCount, bet, bets);
        bet.pop_back();
    }
}

// Every bet of the play type made of the numbers 01..K.
std::vector<std::vector<int>> BetsOf(int position, int codeCount) {
    std::vector<std::vector<int>> bets;
    std::vector<int> bet;
    AddBets(HitRules[position], codeCount, bet, bets);
    return bets;
}

// The lottery's own rule for one bet: 前m wins when its numbers are the first m drawn in their order; 任m when
// all its numbers are among the five drawn.
bool BetWins(int position, const std::vector<int>& bet, const Draw& draw) {
    for (std::size_t i = 0; i < bet.size(); ++i) {
        const bool drawn =
            HitRules[position].ordered ? draw[i + 1] == bet[i] : std::count(draw.begin() + 1, draw.end(), bet[i]) == 1;
        if (!drawn)
            return false;
    }
    return true;
}

TEST(DrawChance, HittingDrawsAreThoseCountedOneByOneOverAllOrderedDraws) {
    ASSERT_EQ(AllOrderedDraws().size(), static_cast<std::size_t>(OrderedDrawCount));
    // Worked by hand: 前一 with 01 02 is hit by 2 first numbers × 10·9·8·7 for the rest; 前三 with 01 02 03 by
    // their 3! orders × 8·7; 任一 with 01 02 misses only the 9·8·7·6·5 draws of neither; 任五 with ten numbers
    // hits when all five come from them, 10·9·8·7·6.
    EXPECT_EQ(HittingDrawCount(PlayType::Front1, 2), 10080);
    EXPECT_EQ(HittingDrawCount(PlayType::Front3, 3), 336);
    EXPECT_EQ(HittingDrawCount(PlayType::Any1, 2), 55440 - 15120);
    EXPECT_EQ(HittingDrawCount(PlayType::Any5, 10), 30240);
    EXPECT_DOUBLE_EQ(DrawHitProbability(PlayType::Front1, 2), 2.0 / 11.0);
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        for (int k = 1; k <= 11; ++k) {
            const std::int64_t counted = CountedHittingDraws(position, k);
            EXPECT_EQ(HittingDrawCount(type, k), counted) << position << " K=" << k;
            EXPECT_DOUBLE_EQ(DrawHitProbability(type, k), static_cast<double>(counted) / 55440.0);
            EXPECT_EQ(BetCount(type, k), static_cast<std::int64_t>(BetsOf(position, k).size()))
                << position << " K=" << k;
        }
    }
    EXPECT_THROW(HittingDrawCount(PlayType::Front1, 0), std::invalid_argument);
    EXPECT_THROW(HittingDrawCount(PlayType::Any5, 12), std::invalid_argument);
}

TEST(DrawChance, WinningBetsOfAHitAndPerDrawMatchTheBetsThatWinOverAllOrderedDraws) {
    // Every type with the code counts the window offers at both ends, and the 任 counts large enough that some
    // numbers must be drawn twice over (K − 6 > m).
    const std::vector<std::pair<PlayType, int>> cases{
        {PlayType::Front1, 9}, {PlayType::Front2, 3}, {PlayType::Front3, 4}, {PlayType::Any1, 2},  {PlayType::Any2, 3},
        {PlayType::Any2, 9},   {PlayType::Any3, 10},  {PlayType::Any4, 7},   {PlayType::Any5, 10}, {PlayType::Any5, 6},
    };
    for (const auto& [type, k] : cases) {
        const int position = static_cast<int>(type);
        const std::vector<std::vector<int>> bets = BetsOf(position, k);
        std::int64_t winning = 0;
        auto fewestAtHit = static_cast<std::int64_t>(bets.size());
        for (const Draw& draw : AllOrderedDraws()) {
            std::int64_t wins = 0;
            for (const std::vector<int>& bet : bets)
                wins += BetWins(position, bet, draw) ? 1 : 0;
            winning += wins;
            if (wins > 0)
                fewestAtHit = std::min(fewestAtHit, wins);
        }
        EXPECT_EQ(FewestWinningBetsAtHit(type, k), fewestAtHit) << position << " K=" << k;
        EXPECT_DOUBLE_EQ(AverageWinningBetsPerDraw(type, k), static_cast<double>(winning) / OrderedDrawCount)
            << position << " K=" << k;
    }
}

TEST(DrawChance, OfficialPrizesReturnLessThanTheStakeAndTheSameForEveryFrontType) {
    EXPECT_FALSE(OfficialPrize(PlayType::Any1).has_value());
    // 13 yuan at 1 in 11, 130 at 1 in 110, 1170 at 1 in 990: 13/22 of every yuan staked.
    for (PlayType type : {PlayType::Front1, PlayType::Front2, PlayType::Front3})
        EXPECT_NEAR(ReturnPerYuan(type, *OfficialPrize(type)), 13.0 / 22.0, 1e-12) << RuleOf(type).name;
    // 任二 6 yuan when two given numbers are among five of eleven (84 of 462 sets); 任五 540 at 1 in 462.
    EXPECT_NEAR(ReturnPerYuan(PlayType::Any2, *OfficialPrize(PlayType::Any2)), 6.0 * 84 / 462 / 2, 1e-12);
    EXPECT_NEAR(ReturnPerYuan(PlayType::Any5, *OfficialPrize(PlayType::Any5)), 540.0 / 462 / 2, 1e-12);
    for (PlayType type : {PlayType::Any3, PlayType::Any4})
        EXPECT_LT(ReturnPerYuan(type, *OfficialPrize(type)), 0.6) << RuleOf(type).name;
}

} // namespace
} // namespace tarvo
