#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/EvaluatePlan.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>

namespace tarvo {
namespace {

using test::FormulaStartingWith;
using test::MakeDraw;
using test::Tables;
using test::UniformPool;

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

// The plan betting 01..K walked once over every ordered draw, one period per plan, so each draw is one plan.
PlanResult WalkEveryDraw(PlayType type, int codeCount) {
    std::vector<int> numbers(static_cast<std::size_t>(codeCount));
    std::iota(numbers.begin(), numbers.end(), 1);
    DrawHistory history(static_cast<std::size_t>(RuleOf(type).firstStartRow), MakeDraw(0, {1, 2, 3, 4, 5}));
    history.insert(history.end(), AllOrderedDraws().begin(), AllOrderedDraws().end());
    return EvaluatePlan(RuleOf(type), codeCount, 1, history, UniformPool(FormulaStartingWith(numbers)), Tables());
}

// The lottery's own rule for one bet: 前m wins when its numbers are the first m drawn in their order; 任m when
// all its numbers are among the five drawn.
bool BetWins(PlayType type, std::span<const std::uint8_t> bet, const Draw& draw) {
    const bool ordered = RuleOf(type).examinedPositions < 5;
    for (std::size_t i = 0; i < bet.size(); ++i) {
        const bool drawn = ordered ? draw[i + 1] == bet[i] : std::count(draw.begin() + 1, draw.end(), bet[i]) == 1;
        if (!drawn)
            return false;
    }
    return true;
}

TEST(DrawChance, HittingDrawsAreThoseOfAllOrderedDrawsThatThePlanWalkCountsAsHits) {
    ASSERT_EQ(AllOrderedDraws().size(), static_cast<std::size_t>(OrderedDrawCount));
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        for (int k = 1; k <= 11; ++k) {
            const PlanResult result = WalkEveryDraw(type, k);
            ASSERT_EQ(result.completed.size(), static_cast<std::size_t>(OrderedDrawCount));
            EXPECT_EQ(HittingDrawCount(type, k), result.hits) << RuleOf(type).name << " K=" << k;
            EXPECT_DOUBLE_EQ(DrawHitProbability(type, k), static_cast<double>(result.hits) / OrderedDrawCount);
            EXPECT_EQ(BetCount(type, k), result.currentBets.count()) << RuleOf(type).name << " K=" << k;
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
        const PlanResult result = WalkEveryDraw(type, k);
        std::int64_t winning = 0;
        std::int64_t fewestAtHit = result.currentBets.count();
        for (const Draw& draw : AllOrderedDraws()) {
            int wins = 0;
            for (int b = 0; b < result.currentBets.count(); ++b)
                wins += BetWins(type, result.currentBets[b], draw) ? 1 : 0;
            winning += wins;
            if (wins > 0)
                fewestAtHit = std::min<std::int64_t>(fewestAtHit, wins);
        }
        EXPECT_EQ(FewestWinningBetsAtHit(type, k), fewestAtHit) << RuleOf(type).name << " K=" << k;
        EXPECT_DOUBLE_EQ(AverageWinningBetsPerDraw(type, k), static_cast<double>(winning) / OrderedDrawCount)
            << RuleOf(type).name << " K=" << k;
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
