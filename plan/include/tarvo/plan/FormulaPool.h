#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvo {

// Number of formulas in a pool.
inline constexpr int FormulaPoolSize = 2000;

// The formulas a chain of plans bets from, one per slot. A formula is the eleven numbers 01..11 in random
// order, each two digits followed by one space (33 characters, e.g. "01 10 03 04 08 02 05 06 11 09 07 "); its
// first K numbers are a plan's codes. The pool keeps each formula as written, and reads it once, when it
// enters the pool, into its numbers and, for every code count K, the bit mask of its first K numbers: a plan
// walk over years of draws then reads no text at all.
class FormulaPool {
public:
    using value_type = std::string;
    using const_iterator = std::vector<std::string>::const_iterator;
    using iterator = const_iterator;

    FormulaPool() = default;

    // The pool of these texts, in this order. Any text is taken; a plan that would bet from a place of a
    // formula that holds no usable number is refused by the plan walk (see usablePlaces).
    explicit FormulaPool(std::vector<std::string> formulas);

    std::size_t size() const { return texts_.size(); }
    bool empty() const { return texts_.empty(); }

    // The formula of a slot (slot < size()) as written.
    const std::string& operator[](std::size_t slot) const { return texts_[slot]; }
    const_iterator begin() const { return texts_.begin(); }
    const_iterator end() const { return texts_.end(); }

    // Puts another text in a slot (slot < size()) and reads it like the others.
    void replace(std::size_t slot, std::string formula);

    // How many places at the start of a slot's formula hold numbers 01..11, two digits each, none twice: a
    // plan can bet its first K numbers only when K is at most this (0..11).
    int usablePlaces(std::size_t slot) const { return usable_[slot]; }

    // The fewest usable places of any formula of the pool; 11 for an empty pool.
    int fewestUsablePlaces() const { return fewestUsable_; }

    // The number 1..11 at a place of a slot's formula; place must be below usablePlaces(slot).
    int numberAt(std::size_t slot, int place) const { return numbers_[slot][static_cast<std::size_t>(place)]; }

    // For a code count K in 1..11, one mask per slot: bit (1 << number) for each of the formula's first K
    // numbers, 0 for a formula with fewer usable places.
    std::span<const std::uint16_t> betMasks(int codeCount) const {
        return std::span<const std::uint16_t>(masks_).subspan(static_cast<std::size_t>(codeCount - 1) * size(), size());
    }

    // Two pools are equal when they hold the same texts in the same slots.
    friend bool operator==(const FormulaPool& a, const FormulaPool& b) { return a.texts_ == b.texts_; }

private:
    void readSlot(std::size_t slot);
    void findFewestUsable();

    std::vector<std::string> texts_;
    std::vector<std::array<std::uint8_t, 11>> numbers_; // 0 beyond the usable places
    std::vector<std::uint8_t> usable_;
    std::vector<std::uint16_t> masks_; // K = 1 for all slots, then K = 2, … K = 11
    int fewestUsable_ = 11;
};

// Draws FormulaPoolSize formulas from one generator seeded once with `seed`; the generator runs on from
// one formula to the next, and a number already in the formula is drawn again. Same seed, same pool.
FormulaPool BuildFormulaPool(std::uint32_t seed);

// The i-th number (0-based) of a formula; throws std::invalid_argument when the formula has no
// two-digit number 01..11 at that place.
int FormulaNumberAt(const std::string& formula, int i);

} // namespace tarvo
