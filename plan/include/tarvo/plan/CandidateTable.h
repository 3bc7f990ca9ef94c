#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// One candidate table: every bet a play type allows, as groups of k numbers (k = groupSize()).
// Group g holds the numbers at slots k*g .. k*g+k-1, both as integers 1..11 and as two-digit texts
// ("01".."11") for the report; masks() holds one bit (1 << number) per number of each group, so the
// plan can test "all numbers of the group are bet numbers" without touching a text.
class CandidateTable {
public:
    CandidateTable() = default;
    explicit CandidateTable(int groupSize);

    // Appends one group; numbers.size() must equal groupSize() and each number lie in 1..11.
    void appendGroup(std::span<const int> numbers);

    int groupSize() const { return groupSize_; }
    int groupCount() const { return static_cast<int>(masks_.size()); }

    std::span<const int> group(int g) const;
    const std::string& text(int g, int j) const { return slots_[static_cast<std::size_t>(g * groupSize_ + j)]; }
    std::uint16_t mask(int g) const { return masks_[static_cast<std::size_t>(g)]; }

    const std::vector<std::string>& texts() const { return slots_; }
    const std::vector<std::uint16_t>& masks() const { return masks_; }

private:
    int groupSize_ = 0;
    std::vector<int> numbers_;
    std::vector<std::string> slots_;
    std::vector<std::uint16_t> masks_;
};

} // namespace tarvo
