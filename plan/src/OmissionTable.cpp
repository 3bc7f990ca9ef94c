#include "tarvo/plan/OmissionTable.h"

#include "tarvo/plan/DrawnNumber.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace tarvo {

namespace {

// Runs through the window once, oldest first, closing each number's gap whenever it appears.
void CountWindow(const DrawHistory& history, std::size_t first, int position, OmissionTable& table) {
    std::array<int, 11> gap{};
    for (std::size_t row = first; row < history.size(); ++row) {
        const std::uint16_t drawn = DrawnNumbers(history[row], position);
        for (int number = 1; number <= 11; ++number) {
            NumberOmission& figures = table.numbers[static_cast<std::size_t>(number - 1)];
            int& open = gap[static_cast<std::size_t>(number - 1)];
            if (IsDrawn(drawn, number)) {
                ++figures.hits;
                open = 0;
            } else {
                figures.longest = std::max(figures.longest, ++open);
            }
        }
    }
    for (std::size_t i = 0; i < gap.size(); ++i)
        table.numbers[i].current = gap[i];
}

} // namespace

OmissionTable BuildOmissionTable(const DrawHistory& history, std::optional<int> lastDraws, int position) {
    RequireDrawPosition(position);
    if (lastDraws && *lastDraws < 1)
        throw std::invalid_argument("统计期数必须是正整数");
    const std::size_t window =
        std::min(history.size(), static_cast<std::size_t>(lastDraws.value_or(std::numeric_limits<int>::max())));
    OmissionTable table;
    table.draws = static_cast<int>(window);
    for (int number = 1; number <= 11; ++number)
        table.numbers[static_cast<std::size_t>(number - 1)].number = number;
    CountWindow(history, history.size() - window, position, table);

    const double drawnPerDraw = position == AnyPosition ? 5.0 / 11.0 : 1.0 / 11.0;
    for (NumberOmission& figures : table.numbers) {
        figures.expectedHits = table.draws * drawnPerDraw;
        figures.average = AverageOmission(table.draws, figures.hits);
    }
    return table;
}

} // namespace tarvo
