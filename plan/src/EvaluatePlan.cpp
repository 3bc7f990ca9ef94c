#include "tarvo/plan/EvaluatePlan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

// A set of numbers 1..11 as bits 1..11.
using NumberMask = std::uint32_t;

void RequireValidArguments(const PlayTypeRule& rule, int codeCount, int planPeriods, const FormulaPool& pool) {
    if (codeCount < 1 || codeCount > 11)
        throw std::invalid_argument("号码个数必须在 1 到 11 之间（现在是 " + std::to_string(codeCount) + "）");
    if (planPeriods < 1)
        throw std::invalid_argument("计划期数必须是正整数（现在是 " + std::to_string(planPeriods) + "）");
    if (pool.empty())
        throw std::invalid_argument("公式池是空的");
    if (rule.examinedPositions < 1 || rule.examinedPositions > 5)
        throw std::invalid_argument("玩法规则的开奖位置数必须在 1 到 5 之间");
}

[[noreturn]] void ThrowBadFormula(const std::string& formula, int codeCount) {
    throw std::invalid_argument("公式“" + formula + "”的前 " + std::to_string(codeCount) +
                                " 个号码不是互不相同的 01..11");
}

// Bit 0 stands for a text that is no number 01..11: no number is 0, so it is never a bet number.
constexpr NumberMask NotANumber = 1;

// The bit of every two-character text where a formula holds a number, indexed by its two bytes (the
// first in the low byte, so that both are read with one load): the bit of the number for "01".."11",
// NotANumber for any other text. Reading up to 2000 formulas for their bet numbers is most of a walk
// over a short history; one look-up per number costs half of checking each digit.
constexpr std::array<std::uint16_t, 256 * 256> BitOfText = [] {
    std::array<std::uint16_t, 256 * 256> bits{};
    bits.fill(NotANumber);
    for (unsigned number = 1; number <= 11; ++number) {
        const unsigned tens = '0' + number / 10;
        const unsigned ones = '0' + number % 10;
        bits[tens | ones << 8] = static_cast<std::uint16_t>(1u << number);
    }
    return bits;
}();

NumberMask NumberBit(const unsigned char* text) {
    return BitOfText[text[0] | unsigned{text[1]} << 8];
}

// The first codeCount numbers of a formula as a mask; throws unless they are codeCount different
// numbers 01..11. Adding the bits gives what or-ing them gives only when no bit comes twice, and a
// text that is no number leaves NotANumber in the mask: so the sum and the mask check the whole
// prefix without counting bits (which, without a POPCNT instruction, is a library call per formula).
NumberMask ParseBetMask(const std::string& formula, int codeCount) {
    if (formula.size() < static_cast<std::size_t>(3 * codeCount - 1))
        ThrowBadFormula(formula, codeCount);
    const auto* text = reinterpret_cast<const unsigned char*>(formula.data());
    NumberMask mask = 0;
    NumberMask sum = 0;
    for (int i = 0; i < codeCount; ++i, text += 3) {
        const NumberMask bit = NumberBit(text);
        mask |= bit;
        sum += bit;
    }
    if (sum != mask || (mask & NotANumber) != 0)
        ThrowBadFormula(formula, codeCount);
    return mask;
}

// The bet masks of the formulas of every row that can start a plan (rows firstRow..R), by pool slot.
std::vector<NumberMask> BetMasksBySlot(const FormulaPool& pool, int codeCount, std::int64_t firstRow,
                                       std::int64_t rowCount) {
    std::vector<NumberMask> masks(pool.size(), 0);
    const std::int64_t slotsUsed = std::min<std::int64_t>(rowCount - firstRow + 1, std::ssize(pool));
    for (std::int64_t row = firstRow; row < firstRow + slotsUsed; ++row) {
        const std::size_t slot = static_cast<std::size_t>(row) % pool.size();
        masks[slot] = ParseBetMask(pool[slot], codeCount);
    }
    return masks;
}

// How many of the first Positions drawn numbers of a draw are bet numbers. A drawn number outside
// 0..63 is read as 63, which is never a bet number, so any stored value is safe to shift by.
template <int Positions> int CountBetNumbers(const Draw& draw, std::uint64_t bets) {
    int count = 0;
    for (std::size_t p = 1; p <= Positions; ++p)
        count += static_cast<int>((bets >> std::min(static_cast<std::uint32_t>(draw[p]), 63u)) & 1u);
    return count;
}

// A mask of all ones when `condition` is 1 and of all zeros when it is 0.
constexpr std::uint64_t MaskWhen(std::uint64_t condition) {
    return std::uint64_t{0} - condition;
}

// `ifSet` where the mask is all ones, `ifClear` where it is all zeros: a choice made without a branch.
constexpr std::uint64_t Choose(std::uint64_t mask, std::uint64_t ifSet, std::uint64_t ifClear) {
    return (ifSet & mask) | (ifClear & ~mask);
}

// Adds an offset to a period the way the 32-bit period field wraps.
std::int32_t PeriodPlus(std::int32_t period, std::int64_t offset) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(period) + static_cast<std::uint32_t>(offset));
}

// How one plan ended, before it is spelled out as a PlanRecord.
struct PlanEnd {
    std::int32_t startRow;
    std::int32_t decidingRow;
    std::int32_t hit;
};

void FillRecord(PlanRecord& record, const DrawHistory& history, const PlanEnd& end, int planPeriods) {
    const Draw& startDraw = history[static_cast<std::size_t>(end.startRow)];
    const Draw& deciding = history[static_cast<std::size_t>(end.decidingRow)];
    record.startRow = end.startRow;
    record.firstPeriod = startDraw[0];
    record.lastPeriod = PeriodPlus(startDraw[0], planPeriods - 1);
    record.hit = end.hit != 0;
    record.decidingPeriod = record.hit ? deciding[0] : record.lastPeriod;
    std::copy(deciding.begin() + 1, deciding.end(), record.decidingDraw.begin());
    record.periodsUsed = record.hit ? end.decidingRow - end.startRow + 1 : planPeriods;
}

struct WalkInput {
    const PlayTypeRule& rule;
    int codeCount;
    int planPeriods;
    const DrawHistory& history;
    const FormulaPool& pool;
    const std::function<void()>& yieldOncePerPlan;
};

// Runs the chain of plans row by row: each row either continues the current plan or ends it (a hit, or
// its n-th row), and then the next plan starts at the following row with that row's formula. Returns the
// start row of the plan left running (R when the last plan ended at the newest row).
// Whether a random draw hits cannot be predicted, so the step takes no branch on it: the end of the
// current plan is written at the next free place of `ends` on every row and kept (the count moves on)
// only when the plan ended there; the start row and the bets of the next plan are chosen by a mask.
template <int Positions> std::int64_t WalkPlans(const WalkInput& in, std::vector<PlanEnd>& ends) {
    const std::int64_t rowCount = std::ssize(in.history);
    const std::int64_t firstRow = in.rule.firstStartRow;
    const std::vector<NumberMask> masks = BetMasksBySlot(in.pool, in.codeCount, firstRow, rowCount);
    const std::int64_t slotCount = std::ssize(masks);
    const std::int64_t n = in.planPeriods;
    const int threshold = in.rule.hitThreshold;
    const bool yields = static_cast<bool>(in.yieldOncePerPlan);

    ends.resize(static_cast<std::size_t>(std::max<std::int64_t>(rowCount - firstRow, 0)));
    std::size_t endCount = 0;
    std::uint64_t start = static_cast<std::uint64_t>(firstRow);
    std::uint64_t bets = masks[static_cast<std::size_t>(firstRow % slotCount)];
    std::int64_t slotOfNextRow = (firstRow + 1) % slotCount;
    if (yields)
        in.yieldOncePerPlan();
    for (std::int64_t row = firstRow; row < rowCount; ++row) {
        const Draw& draw = in.history[static_cast<std::size_t>(row)];
        const bool hit = CountBetNumbers<Positions>(draw, bets) >= threshold;
        const bool lastWatchedRow = row - static_cast<std::int64_t>(start) + 1 >= n;
        const bool ended = hit || lastWatchedRow;
        ends[endCount] = {static_cast<std::int32_t>(start), static_cast<std::int32_t>(row), hit};
        endCount += static_cast<std::size_t>(ended);
        const std::uint64_t nextPlanStarts = MaskWhen(ended);
        start = Choose(nextPlanStarts, static_cast<std::uint64_t>(row + 1), start);
        bets = Choose(nextPlanStarts, masks[static_cast<std::size_t>(slotOfNextRow)], bets);
        slotOfNextRow = slotOfNextRow + 1 == slotCount ? 0 : slotOfNextRow + 1;
        if (yields && ended)
            in.yieldOncePerPlan();
    }
    ends.resize(endCount);
    return static_cast<std::int64_t>(start);
}

std::int64_t WalkPlansFor(const WalkInput& in, std::vector<PlanEnd>& ends) {
    switch (in.rule.examinedPositions) {
    case 1:
        return WalkPlans<1>(in, ends);
    case 2:
        return WalkPlans<2>(in, ends);
    case 3:
        return WalkPlans<3>(in, ends);
    case 4:
        return WalkPlans<4>(in, ends);
    default:
        return WalkPlans<5>(in, ends);
    }
}

void CountOutcomes(PlanResult& result) {
    int hitRun = 0;
    int missRun = 0;
    int longestMissRun = 0;
    for (const PlanRecord& record : result.completed) {
        if (record.hit) {
            ++result.hits;
            ++hitRun;
            missRun = 0;
        } else {
            ++result.misses;
            ++missRun;
            hitRun = 0;
        }
        result.longestHitRun = std::max(result.longestHitRun, hitRun);
        longestMissRun = std::max(longestMissRun, missRun);
    }
    const std::int64_t completed = result.hits + result.misses;
    result.rate = completed == 0 ? 0 : static_cast<int>(std::int64_t{result.hits} * 100 / completed);
    result.missRunFigure = std::max(longestMissRun - 1, 0);
}

CurrentBets FindCurrentBets(const PlayTypeRule& rule, const CandidateTables& tables, const std::vector<int>& betNumbers,
                            NumberMask bets) {
    CurrentBets current;
    const CandidateTable* table = tables.tableFor(rule.type);
    if (table == nullptr) {
        current.numbers.assign(betNumbers.begin(), betNumbers.end());
        return current;
    }
    current.entrySize = table->groupSize();
    const auto isCurrentBet = [&](std::uint16_t groupMask) { return (groupMask & ~bets) == 0; };
    const auto betCount = std::count_if(table->masks().begin(), table->masks().end(), isCurrentBet);
    current.numbers.reserve(static_cast<std::size_t>(betCount * current.entrySize));
    for (int g = 0; g < table->groupCount(); ++g) {
        if (isCurrentBet(table->mask(g))) {
            for (int number : table->group(g))
                current.numbers.push_back(static_cast<std::uint8_t>(number));
        }
    }
    return current;
}

std::optional<RunningPlan> RunningPlanAt(const DrawHistory& history, std::int64_t start, int planPeriods) {
    if (history.empty())
        return std::nullopt;
    const std::int64_t newest = static_cast<std::int64_t>(history.size()) - 1;
    RunningPlan running{};
    running.startRow = static_cast<int>(start);
    running.firstPeriod = PeriodPlus(history.back()[0], start - newest);
    running.lastPeriod = PeriodPlus(running.firstPeriod, planPeriods - 1);
    return running;
}

} // namespace

PlanResult EvaluatePlan(const PlayTypeRule& rule, int codeCount, int planPeriods, const DrawHistory& history,
                        const FormulaPool& pool, const CandidateTables& tables,
                        const std::function<void()>& yieldOncePerPlan) {
    RequireValidArguments(rule, codeCount, planPeriods, pool);
    PlanResult result;
    const WalkInput input{rule, codeCount, planPeriods, history, pool, yieldOncePerPlan};
    std::vector<PlanEnd> ends;
    const std::int64_t runningStart = history.empty() ? std::int64_t{rule.firstStartRow} : WalkPlansFor(input, ends);
    result.completed.reserve(ends.size());
    for (const PlanEnd& end : ends)
        FillRecord(result.completed.emplace_back(), history, end, planPeriods);
    result.running = RunningPlanAt(history, runningStart, planPeriods);
    CountOutcomes(result);

    const std::string& formula = pool[static_cast<std::size_t>(runningStart) % pool.size()];
    const NumberMask bets = ParseBetMask(formula, codeCount);
    for (int i = 0; i < codeCount; ++i)
        result.betNumbers.push_back(FormulaNumberAt(formula, i));
    result.currentBets = FindCurrentBets(rule, tables, result.betNumbers, bets);
    return result;
}

} // namespace tarvo
