#include "tarvo/plan/FormulaPool.h"

#include "tarvo/plan/RandomGenerator.h"

#include "NumberText.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

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

// The number 1..11 written in two digits at place i of a formula; 0 when there is none.
int NumberAtPlace(const std::string& formula, int i) {
    const std::size_t at = static_cast<std::size_t>(3 * i);
    if (i < 0 || at + 2 > formula.size() || !IsDigit(formula[at]) || !IsDigit(formula[at + 1]))
        return 0;
    const int number = (formula[at] - '0') * 10 + (formula[at + 1] - '0');
    return number <= 11 ? number : 0;
}

} // namespace

FormulaPool::FormulaPool(std::vector<std::string> formulas)
    : texts_(std::move(formulas))
    , numbers_(texts_.size())
    , usable_(texts_.size())
    , masks_(11 * texts_.size()) {
    for (std::size_t slot = 0; slot < texts_.size(); ++slot)
        readSlot(slot);
    findFewestUsable();
}

void FormulaPool::replace(std::size_t slot, std::string formula) {
    texts_.at(slot) = std::move(formula);
    readSlot(slot);
    findFewestUsable();
}

void FormulaPool::readSlot(std::size_t slot) {
    const std::string& formula = texts_[slot];
    std::array<std::uint8_t, 11>& numbers = numbers_[slot];
    numbers.fill(0);
    std::uint16_t mask = 0;
    std::size_t usable = 0;
    for (; usable < numbers.size(); ++usable) {
        const int number = NumberAtPlace(formula, static_cast<int>(usable));
        if (number == 0 || ((mask >> number) & 1u) != 0)
            break;
        mask = static_cast<std::uint16_t>(mask | (1u << number));
        numbers[usable] = static_cast<std::uint8_t>(number);
        masks_[usable * size() + slot] = mask;
    }
    usable_[slot] = static_cast<std::uint8_t>(usable);
    for (std::size_t place = usable; place < numbers.size(); ++place)
        masks_[place * size() + slot] = 0;
}

void FormulaPool::findFewestUsable() {
    fewestUsable_ = usable_.empty() ? 11 : *std::min_element(usable_.begin(), usable_.end());
}

FormulaPool BuildFormulaPool(std::uint32_t seed) {
    RandomGenerator generator(seed);
    std::vector<std::string> formulas;
    formulas.reserve(FormulaPoolSize);
    for (int slot = 0; slot < FormulaPoolSize; ++slot)
        formulas.push_back(DrawFormula(generator));
    return FormulaPool(std::move(formulas));
}

int FormulaNumberAt(const std::string& formula, int i) {
    const int number = NumberAtPlace(formula, i);
    if (number == 0)
        throw std::invalid_argument("公式“" + formula + "”的第 " + std::to_string(i + 1) + " 个号码无效");
    return number;
}

} // namespace tarvo
