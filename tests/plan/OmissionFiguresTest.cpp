#include "tarvo/plan/OmissionTable.h"
#include "tarvo/plan/TrendGrid.h"

#include "PlanTestData.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

namespace tarvo {
namespace {

using test::MakeDraw;

// Eight draws, periods 101..108.
const DrawHistory Draws{
    MakeDraw(101, {1, 2, 3, 4, 5}),  MakeDraw(102, {6, 7, 8, 9, 10}), MakeDraw(103, {2, 1, 6, 7, 3}),
    MakeDraw(104, {11, 1, 2, 3, 4}), MakeDraw(105, {5, 6, 7, 8, 9}),  MakeDraw(106, {2, 10, 11, 4, 3}),
    MakeDraw(107, {7, 8, 9, 10, 5}), MakeDraw(108, {3, 4, 5, 6, 8}),
};

// hits, current, longest and average of one number.
std::tuple<int, int, int, double> FiguresOf(const OmissionTable& table, int number) {
    const NumberOmission& n = table.numbers[static_cast<std::size_t>(number - 1)];
    return {n.hits, n.current, n.longest, n.average};
}

// omission of each row, then appearances, longest omission and longest streak of one number's column.
std::tuple<std::vector<int>, int, int, int> ColumnOf(const TrendGrid& grid, int number) {
    const auto i = static_cast<std::size_t>(number - 1);
    std::vector<int> omission;
    for (const TrendRow& row : grid.rows)
        omission.push_back(row.cells[i].omission);
    return {omission, grid.summary[i].appearances, grid.summary[i].longestOmission, grid.summary[i].longestStreak};
}

TEST(OmissionTable, CountsOnlyTheWindowOfTheNewestDraws) {
    // The last six draws (103..108), any position.
    const OmissionTable any = BuildOmissionTable(Draws, 6, AnyPosition);
    EXPECT_EQ(any.draws, 6);
    // 01: drawn in 103 and 104, then four draws without it (its draw in 101 lies outside the window).
    EXPECT_EQ(FiguresOf(any, 1), std::make_tuple(2, 4, 4, 4.0 / 3.0));
    EXPECT_DOUBLE_EQ(any.numbers[0].expectedHits, 6.0 * 5 / 11);
    // 09: drawn in 105 and 107; its longest gap (103, 104) lies before the current one (108).
    EXPECT_EQ(FiguresOf(any, 9), std::make_tuple(2, 1, 2, 4.0 / 3.0));
    // 08: drawn in 105, 107 and 108.
    EXPECT_EQ(FiguresOf(any, 8), std::make_tuple(3, 0, 2, 0.75));

    // First position only: 01 never leads within the window, 03 leads only the newest draw.
    const OmissionTable first = BuildOmissionTable(Draws, 6, 1);
    EXPECT_EQ(FiguresOf(first, 1), std::make_tuple(0, 6, 6, 6.0));
    EXPECT_DOUBLE_EQ(first.numbers[0].expectedHits, 6.0 / 11);
    EXPECT_EQ(FiguresOf(first, 3), std::make_tuple(1, 0, 5, 2.5));
    EXPECT_EQ(FiguresOf(first, 2), std::make_tuple(2, 2, 2, 4.0 / 3.0));

    EXPECT_EQ(BuildOmissionTable(Draws, std::nullopt, AnyPosition).numbers[0].hits, 3);
    EXPECT_EQ(BuildOmissionTable(Draws, 500, AnyPosition).draws, 8);
    const OmissionTable empty = BuildOmissionTable({}, std::nullopt, 5);
    EXPECT_EQ(empty.numbers[10].number, 11);
    EXPECT_EQ(FiguresOf(empty, 11), std::make_tuple(0, 0, 0, 0.0));
    EXPECT_THROW(BuildOmissionTable(Draws, 0, AnyPosition), std::invalid_argument);
    EXPECT_THROW(BuildOmissionTable(Draws, 10, 6), std::invalid_argument);
}

TEST(TrendGrid, CellsCarryTheOmissionFromBeforeTheChartAndTheFooterSumsTheRows) {
    const TrendGrid grid = BuildTrendGrid(Draws, 4, AnyPosition); // 105..108
    ASSERT_EQ(grid.rows.size(), 4u);
    EXPECT_EQ(grid.rows.front().period, 105);
    EXPECT_EQ(grid.rows.back().numbers, (std::array<std::int32_t, 5>{3, 4, 5, 6, 8}));
    // 01, last drawn in 104; 11, drawn in 104 and 106; 05, drawn in 105, 107 and 108.
    EXPECT_EQ(ColumnOf(grid, 1), std::make_tuple(std::vector<int>{1, 2, 3, 4}, 0, 4, 0));
    EXPECT_EQ(ColumnOf(grid, 11), std::make_tuple(std::vector<int>{1, 0, 1, 2}, 1, 2, 1));
    EXPECT_EQ(ColumnOf(grid, 5), std::make_tuple(std::vector<int>{0, 1, 0, 0}, 3, 1, 2));
    EXPECT_TRUE(grid.rows[2].cells[4].drawn);
    EXPECT_DOUBLE_EQ(grid.summary[0].averageOmission, 4.0);
    EXPECT_DOUBLE_EQ(grid.summary[4].averageOmission, 0.25);

    // Fifth number of 107 and 108: 01 never came fifth, so its omission counts every draw; 03 was fifth in 106.
    const TrendGrid fifth = BuildTrendGrid(Draws, 2, 5);
    EXPECT_EQ(ColumnOf(fifth, 1), std::make_tuple(std::vector<int>{7, 8}, 0, 8, 0));
    EXPECT_EQ(ColumnOf(fifth, 3), std::make_tuple(std::vector<int>{1, 2}, 0, 2, 0));
    EXPECT_EQ(ColumnOf(fifth, 5), std::make_tuple(std::vector<int>{0, 1}, 1, 1, 1));

    EXPECT_EQ(BuildTrendGrid(Draws, 100, AnyPosition).rows.size(), 8u);
    EXPECT_TRUE(BuildTrendGrid({}, 30, AnyPosition).rows.empty());
    EXPECT_THROW(BuildTrendGrid(Draws, 10, -1), std::invalid_argument);
}

} // namespace
} // namespace tarvo
