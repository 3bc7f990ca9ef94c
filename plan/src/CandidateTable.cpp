#include "tarvo/plan/CandidateTable.h"

#include "NumberText.h"

#include <stdexcept>

namespace tarvo {

CandidateTable::CandidateTable(int groupSize)
    : groupSize_(groupSize) {
    if (groupSize < 1)
        throw std::invalid_argument("candidate table group size must be at least 1");
}

void CandidateTable::appendGroup(std::span<const int> numbers) {
    if (static_cast<int>(numbers.size()) != groupSize_)
        throw std::invalid_argument("candidate group of the wrong size");
    std::uint16_t mask = 0;
    for (int number : numbers) {
        if (number < 1 || number > 11)
            throw std::invalid_argument("candidate number outside 1..11");
        numbers_.push_back(number);
        slots_.push_back(NumberText(number));
        mask = static_cast<std::uint16_t>(mask | (1u << number));
    }
    masks_.push_back(mask);
}

std::span<const int> CandidateTable::group(int g) const {
    return std::span<const int>(numbers_).subspan(static_cast<std::size_t>(g * groupSize_),
                                                  static_cast<std::size_t>(groupSize_));
}

} // namespace tarvo
