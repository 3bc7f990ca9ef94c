#include "PlanTestData.h"

#include "tarvo/plan/RandomGenerator.h"

#include <algorithm>
#include <vector>

namespace tarvo::test {

const CandidateTables& Tables() {
    static const CandidateTables tables = BuildCombinationTables();
    return tables;
}

Draw MakeDraw(std::int32_t period, std::array<int, 5> numbers) {
    return {period, numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]};
}

std::string FormulaStartingWith(const std::vector<int>& leading) {
    std::vector<int> order = leading;
    for (int number = 1; number <= 11; ++number) {
        if (std::find(order.begin(), order.end(), number) == order.end())
            order.push_back(number);
    }
    std::string formula;
    for (int number : order) {
        formula += TwoDigits(number);
        formula += ' ';
    }
    return formula;
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) about "0" + std::to_string(n) once inlined.
std::string TwoDigits(int number) {
    std::string text(number < 10 ? "0" : "");
    text += std::to_string(number);
    return text;
}

FormulaPool UniformPool(const std::string& fill) {
    return FormulaPool(std::vector<std::string>(FormulaPoolSize, fill));
}

DrawHistory RandomHistory(int rows, std::uint32_t seed, std::int32_t firstPeriod) {
    RandomGenerator generator(seed);
    DrawHistory history;
    history.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        std::array<int, 11> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        for (int i = 0; i < 5; ++i)
            std::swap(numbers[static_cast<std::size_t>(i)],
                      numbers[static_cast<std::size_t>(i) + generator.next(static_cast<std::uint32_t>(11 - i))]);
        history.push_back(MakeDraw(firstPeriod + row, {numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]}));
    }
    return history;
}

} // namespace tarvo::test
