#include "tarvo/plan/TrendGrid.h"

#include "tarvo/plan/DrawnNumber.h"

#include <algorithm>
#include <stdexcept>

namespace tarvo {

namespace {

// For each number, the draws before row `first` since it was last drawn (all of them when it never was),
// searching backwards only until every number has been found.
std::array<int, 11> OmissionBefore(const DrawHistory& history, std::size_t first, int position) {
    std::array<int, 11> omission{};
    std::uint16_t found = 0;
    constexpr std::uint16_t AllNumbers = 0x0FFE;
    std::size_t row = first;
    for (; row > 0 && found != AllNumbers; --row) {
        const std::uint16_t drawn = DrawnNumbers(history[row - 1], position);
        for (int number = 1; number <= 11; ++number) {
            if (!IsDrawn(found, number) && !IsDrawn(drawn, number))
                ++omission[static_cast<std::size_t>(number - 1)];
        }
        found = static_cast<std::uint16_t>(found | drawn);
    }
    return omission;
}

TrendRow MakeRow(const Draw& draw, int position, std::array<int, 11>& omission) {
    TrendRow row;
    row.period = draw[0];
    std::copy(draw.begin() + 1, draw.end(), row.numbers.begin());
    const std::uint16_t drawn = DrawnNumbers(draw, position);
    for (int number = 1; number <= 11; ++number) {
        const auto i = static_cast<std::size_t>(number - 1);
        row.cells[i].drawn = IsDrawn(drawn, number);
        omission[i] = row.cells[i].drawn ? 0 : omission[i] + 1;
        row.cells[i].omission = omission[i];
    }
    return row;
}

void Summarize(TrendGrid& grid) {
    std::array<int, 11> streak{};
    for (const TrendRow& row : grid.rows) {
        for (std::size_t i = 0; i < 11; ++i) {
            TrendColumnSummary& column = grid.summary[i];
            const TrendCell& cell = row.cells[i];
            streak[i] = cell.drawn ? streak[i] + 1 : 0;
            column.appearances += cell.drawn ? 1 : 0;
            column.longestOmission = std::max(column.longestOmission, cell.omission);
            column.longestStreak = std::max(column.longestStreak, streak[i]);
        }
    }
    const int rows = static_cast<int>(grid.rows.size());
    for (TrendColumnSummary& column : grid.summary)
        column.averageOmission = AverageOmission(rows, column.appearances);
}

} // namespace

TrendGrid BuildTrendGrid(const DrawHistory& history, int lastDraws, int position) {
    RequireDrawPosition(position);
    if (lastDraws < 1)
        throw std::invalid_argument("走势图的期数必须是正整数");
    const std::size_t first = history.size() - std::min(history.size(), static_cast<std::size_t>(lastDraws));
    std::array<int, 11> omission = OmissionBefore(history, first, position);
    TrendGrid grid;
    grid.rows.reserve(history.size() - first);
    for (std::size_t row = first; row < history.size(); ++row)
        grid.rows.push_back(MakeRow(history[row], position, omission));
    Summarize(grid);
    return grid;
}

} // namespace tarvo
