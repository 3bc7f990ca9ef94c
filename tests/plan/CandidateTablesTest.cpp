#include "tarvo/plan/CandidateTables.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace tarvo {
namespace {

using test::TwoDigits;

std::vector<int> GroupOf(const CandidateTable& table, int g) {
    const auto group = table.group(g);
    return {group.begin(), group.end()};
}

std::string TextOf(const CandidateTable& table, int g) {
    std::string text;
    for (int j = 0; j < table.groupSize(); ++j)
        text += table.text(g, j) + " ";
    return text;
}

struct TableCase {
    PlayType type;
    int groupSize;
    int groupCount;
    std::vector<int> first;
    std::vector<int> second;
    std::vector<int> last;
    bool ascending;
};

const std::vector<TableCase> TableCases{
    {PlayType::Front2, 2, 110, {1, 2}, {1, 3}, {11, 10}, false},
    {PlayType::Front3, 3, 990, {1, 2, 3}, {1, 2, 4}, {11, 10, 9}, false},
    {PlayType::Any1, 1, 11, {1}, {2}, {11}, true},
    {PlayType::Any2, 2, 55, {1, 2}, {1, 3}, {10, 11}, true},
    {PlayType::Any3, 3, 165, {1, 2, 3}, {1, 2, 4}, {9, 10, 11}, true},
    {PlayType::Any4, 4, 330, {1, 2, 3, 4}, {1, 2, 3, 5}, {8, 9, 10, 11}, true},
    {PlayType::Any5, 5, 462, {1, 2, 3, 4, 5}, {1, 2, 3, 4, 6}, {7, 8, 9, 10, 11}, true},
};

TEST(CandidateTables, EachTableHasItsSizeAndItsFirstAndLastGroups) {
    const CandidateTables tables = BuildCombinationTables();
    for (const TableCase& c : TableCases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        const CandidateTable* table = tables.tableFor(c.type);
        ASSERT_NE(table, nullptr);
        EXPECT_EQ(table->groupSize(), c.groupSize);
        ASSERT_EQ(table->groupCount(), c.groupCount);
        EXPECT_EQ(table->texts().size(), static_cast<std::size_t>(c.groupSize * c.groupCount));
        EXPECT_EQ(GroupOf(*table, 0), c.first);
        EXPECT_EQ(GroupOf(*table, 1), c.second);
        EXPECT_EQ(GroupOf(*table, c.groupCount - 1), c.last);
    }
    EXPECT_EQ(tables.tableFor(PlayType::Front1), nullptr);
}

TEST(CandidateTables, OrderedTablesRunLexicographicallyWithTheFirstPositionSlowest) {
    const CandidateTables tables = BuildCombinationTables();
    EXPECT_EQ(GroupOf(tables.Front2Table, 9), (std::vector<int>{1, 11}));
    EXPECT_EQ(GroupOf(tables.Front2Table, 10), (std::vector<int>{2, 1}));
    EXPECT_EQ(GroupOf(tables.Front2Table, 11), (std::vector<int>{2, 3}));
    EXPECT_EQ(GroupOf(tables.Front3Table, 9), (std::vector<int>{1, 3, 2}));
    EXPECT_EQ(TextOf(tables.Front3Table, 989), "11 10 09 ");
    EXPECT_EQ(TextOf(tables.Any1Table, 0), "01 ");
    EXPECT_EQ(GroupOf(tables.Any2Table, 10), (std::vector<int>{2, 3}));
}

TEST(CandidateTables, NoGroupRepeatsANumberAndNoTableRepeatsAGroup) {
    const CandidateTables tables = BuildCombinationTables();
    for (const TableCase& c : TableCases) {
        SCOPED_TRACE(static_cast<int>(c.type));
        const CandidateTable& table = *tables.tableFor(c.type);
        std::set<std::vector<int>> seen;
        for (int g = 0; g < table.groupCount(); ++g) {
            const std::vector<int> group = GroupOf(table, g);
            EXPECT_EQ(std::set<int>(group.begin(), group.end()).size(), group.size()) << TextOf(table, g);
            EXPECT_TRUE(seen.insert(group).second) << TextOf(table, g);
            if (c.ascending) {
                EXPECT_TRUE(std::is_sorted(group.begin(), group.end())) << TextOf(table, g);
            }
            if (g > 0) {
                EXPECT_LT(GroupOf(table, g - 1), group) << TextOf(table, g);
            }
        }
    }
}

TEST(CandidateTables, TextsAndMasksDescribeTheSameNumbers) {
    const CandidateTables tables = BuildCombinationTables();
    for (const TableCase& c : TableCases) {
        const CandidateTable& table = *tables.tableFor(c.type);
        for (int g = 0; g < table.groupCount(); ++g) {
            unsigned mask = 0;
            for (int j = 0; j < table.groupSize(); ++j) {
                const int number = table.group(g)[static_cast<std::size_t>(j)];
                mask |= 1u << number;
                ASSERT_EQ(table.text(g, j), TwoDigits(number));
            }
            ASSERT_EQ(table.mask(g), mask);
        }
    }
}

} // namespace
} // namespace tarvo
