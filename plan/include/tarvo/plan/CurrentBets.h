#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarvo {

// The bets to place now, kept in one flat buffer so that a result holding hundreds of bets costs one
// allocation: bet i is numbers[i * entrySize .. i * entrySize + entrySize - 1], each number 1..11, in the
// order the numbers memo shows them.
struct CurrentBets {
    int entrySize = 1;                 // numbers per bet, at least 1
    std::vector<std::uint8_t> numbers; // all bets one after another; its size is a multiple of entrySize

    int count() const { return static_cast<int>(numbers.size() / static_cast<std::size_t>(entrySize)); }

    // Bet i, 0 <= i < count().
    std::span<const std::uint8_t> operator[](int i) const {
        return std::span<const std::uint8_t>(numbers).subspan(static_cast<std::size_t>(i * entrySize),
                                                              static_cast<std::size_t>(entrySize));
    }

    friend bool operator==(const CurrentBets&, const CurrentBets&) = default;
};

} // namespace tarvo
