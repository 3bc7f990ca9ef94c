#include "tarvo/plan/FormulaPool.h"
#include "tarvo/plan/RandomGenerator.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

namespace tarvo {
namespace {

TEST(RandomGenerator, AdvancesTheSeedBeforeScalingItIntoTheRange) {
    RandomGenerator generator(0);
    EXPECT_EQ(generator.next(11), 0u); // seed 1
    EXPECT_EQ(generator.state(), 1u);
    EXPECT_EQ(generator.next(11), 0u);
    EXPECT_EQ(generator.state(), 134775814u);
    EXPECT_EQ(generator.next(11), 9u); // 3698175007 * 11 >> 32
    EXPECT_EQ(generator.next(11), 2u);

    RandomGenerator wrapping(0xFFFFFFFFu);
    wrapping.next(11);
    EXPECT_EQ(wrapping.state(), 4160191484u);
}

TEST(RandomGenerator, SeedsFromMillisecondsSinceMidnight) {
    EXPECT_EQ(SeedFromTimeOfDay(0, 0, 0, 0), 0u);
    EXPECT_EQ(SeedFromTimeOfDay(1, 2, 3, 4), 3723004u);
    EXPECT_EQ(SeedFromTimeOfDay(23, 59, 59, 999), 86399999u);
}

TEST(FormulaPool, SeedZeroGivesTheKnownFirstFormulas) {
    const FormulaPool pool = BuildFormulaPool(0);
    ASSERT_EQ(pool.size(), 2000u);
    EXPECT_EQ(pool[0], "01 10 03 04 08 02 05 06 11 09 07 ");
    EXPECT_EQ(pool[1], "01 09 08 07 03 11 04 06 10 02 05 ");
}

TEST(FormulaPool, EveryFormulaListsEachNumberOnceInTwoDigitsWithTrailingSpaces) {
    for (std::uint32_t seed : {0u, 12345u, 86399999u}) {
        const FormulaPool pool = BuildFormulaPool(seed);
        for (const std::string& formula : pool) {
            ASSERT_EQ(formula.size(), 33u) << formula;
            std::set<int> numbers;
            for (int i = 0; i < 11; ++i) {
                ASSERT_EQ(formula[static_cast<std::size_t>(3 * i + 2)], ' ') << formula;
                numbers.insert(FormulaNumberAt(formula, i));
            }
            ASSERT_EQ(numbers.size(), 11u) << formula;
        }
    }
}

TEST(FormulaPool, SameSeedGivesTheSamePoolAndAnotherSeedAnotherPool) {
    EXPECT_EQ(BuildFormulaPool(4711), BuildFormulaPool(4711));
    const FormulaPool a = BuildFormulaPool(4711);
    const FormulaPool b = BuildFormulaPool(4712);
    int same = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        same += a[i] == b[i] ? 1 : 0;
    EXPECT_LT(same, 10);
}

TEST(FormulaPool, NumberAtRefusesPlacesWithoutANumberOneToEleven) {
    const std::string formula = "01 10 03 04 08 02 05 06 11 09 07 ";
    EXPECT_EQ(FormulaNumberAt(formula, 0), 1);
    EXPECT_EQ(FormulaNumberAt(formula, 8), 11);
    EXPECT_EQ(FormulaNumberAt(formula, 10), 7);
    EXPECT_THROW(FormulaNumberAt(formula, 11), std::invalid_argument);
    EXPECT_THROW(FormulaNumberAt(formula, -1), std::invalid_argument);
    EXPECT_THROW(FormulaNumberAt("00 01 ", 0), std::invalid_argument);
    EXPECT_THROW(FormulaNumberAt("12 01 ", 0), std::invalid_argument);
    EXPECT_THROW(FormulaNumberAt("x1 01 ", 0), std::invalid_argument);
    EXPECT_THROW(FormulaNumberAt("0", 0), std::invalid_argument);
}

} // namespace
} // namespace tarvo
