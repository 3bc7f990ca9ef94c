#include "tarvo/plan/FormulaPool.h"

#include "tarvo/plan/RandomGenerator.h"

#include "NumberText.h"

#include <stdexcept>

namespace tarvo {

namespace {

// Draws 1..11 until all eleven numbers stand in the text; a number already in it is discarded.
std::string DrawFormula(RandomGenerator& generator) {
    std::string formula;
    formula.reserve(33);
    int accepted = 0;
    while (accepted < 11) {
        const std::string number = NumberText(generator.next(11) + 1);
        if (formula.find(number) != std::string::npos)
            continue;
        formula += number;
        formula += ' ';
        ++accepted;
    }
    return formula;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

FormulaPool BuildFormulaPool(std::uint32_t seed) {
    RandomGenerator generator(seed);
    FormulaPool pool;
    pool.reserve(FormulaPoolSize);
    for (int slot = 0; slot < FormulaPoolSize; ++slot)
        pool.push_back(DrawFormula(generator));
    return pool;
}

int FormulaNumberAt(const std::string& formula, int i) {
    const std::size_t at = static_cast<std::size_t>(3 * i);
    if (i < 0 || at + 2 > formula.size() || !IsDigit(formula[at]) || !IsDigit(formula[at + 1]))
        throw std::invalid_argument("公式“" + formula + "”的第 " + std::to_string(i + 1) + " 个号码无效");
    const int number = (formula[at] - '0') * 10 + (formula[at + 1] - '0');
    if (number < 1 || number > 11)
        throw std::invalid_argument("公式“" + formula + "”的第 " + std::to_string(i + 1) + " 个号码无效");
    return number;
}

} // namespace tarvo
