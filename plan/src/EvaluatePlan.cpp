#include "tarvo/plan/EvaluatePlan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
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

// Bit of a two-character number text, looked up by the two bytes read as one native 16-bit value: 1 << number
// for "01".."11", 0 for anything else. Only the eleven entries of real numbers are read in a sound walk,
// so the table stays in cache and a formula costs one load per number.
constexpr std::array<std::uint16_t, 65536> NumberBits = [] {
    std::array<std::uint16_t, 65536> bits{};
    for (unsigned number = 1; number <= 11; ++number) {
        const unsigned first = '0' + number / 10;
        const unsigned second = '0' + number % 10;
        const unsigned key = std::endian::native == std::endian::little ? first | (second << 8) : (first << 8) | second;
        bits[key] = static_cast<std::uint16_t>(1u << number);
    }
    return bits;
}();

// Bits set in a 16-bit mask, without a data-dependent loop or a library call.
int BitCount(NumberMask mask) {
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

// The first codeCount numbers of a formula as a mask. A text that is no number 01..11 adds no bit and a
// repeated number adds none either, so one count at the end checks the whole prefix.
NumberMask ParseBetMask(const std::string& formula, int codeCount) {
    if (formula.size() < static_cast<std::size_t>(3 * codeCount - 1))
        ThrowBadFormula(formula, codeCount);
    const auto* text = reinterpret_cast<const unsigned char*>(formula.data());
    NumberMask mask = 0;
    for (int i = 0; i < codeCount; ++i, text += 3) {
        std::uint16_t key = 0;
        std::memcpy(&key, text, sizeof key);
        mask |= NumberBits[key];
    }
    if (BitCount(mask) != codeCount)
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

// Numbers outside 0..63 are read as 63, which is never a bet number.
template <int Positions> int CountBetNumbers(const Draw& draw, std::uint64_t bets) {
    int count = 0;
    for (std::size_t p = 1; p <= Positions; ++p)
        count += static_cast<int>((bets >> std::min(static_cast<std::uint32_t>(draw[p]), 63u)) & 1u);
    return count;
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
// its n-th row), and then the next plan starts at the following row. The step carries no data-dependent
// branch, since whether a random draw hits cannot be predicted. Returns the start row of the plan left
// running (R when the last plan ended at the newest row).
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
    std::int64_t start = firstRow;
    std::uint64_t bets = masks[static_cast<std::size_t>(firstRow % slotCount)];
    std::int64_t nextSlot = (firstRow + 1) % slotCount;
    if (yields)
        in.yieldOncePerPlan();
    for (std::int64_t row = firstRow; row < rowCount; ++row) {
        const auto hit = static_cast<std::int32_t>(
            CountBetNumbers<Positions>(in.history[static_cast<std::size_t>(row)], bets) >= threshold);
        const auto ended = static_cast<std::int32_t>(hit | static_cast<std::int32_t>(row - start + 1 >= n));
        ends[endCount] = {static_cast<std::int32_t>(start), static_cast<std::int32_t>(row), hit};
        endCount += static_cast<std::size_t>(ended);
        const std::uint64_t replace = std::uint64_t{0} - static_cast<std::uint64_t>(ended);
        start = static_cast<std::int64_t>((static_cast<std::uint64_t>(start) & ~replace) |
                                          (static_cast<std::uint64_t>(row + 1) & replace));
        bets = (bets & ~replace) | (masks[static_cast<std::size_t>(nextSlot)] & replace);
        nextSlot = nextSlot + 1 == slotCount ? 0 : nextSlot + 1;
        if (yields && ended != 0)
            in.yieldOncePerPlan();
    }
    ends.resize(endCount);
    return start;
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
    result.completed.resize(ends.size());
    for (std::size_t i = 0; i < ends.size(); ++i)
        FillRecord(result.completed[i], history, ends[i], planPeriods);
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
