#include "tarvo/plan/EvaluatePlan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

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

// Checks the formulas of every row that could start a plan: firstRow up to the row after the newest (a
// plan starts there when the last one ends at the newest row), and firstRow alone without draws. The first
// formula, in row order, whose first codeCount places are not different numbers 01..11 is refused.
void RequireFormulasFor(const FormulaPool& pool, int codeCount, std::int64_t firstRow, std::int64_t rowCount) {
    if (pool.fewestUsablePlaces() >= codeCount)
        return;
    const std::int64_t startRows = std::min(std::max(rowCount, firstRow) - firstRow + 1, std::ssize(pool));
    for (std::int64_t row = firstRow; row < firstRow + startRows; ++row) {
        const std::size_t slot = static_cast<std::size_t>(row) % pool.size();
        if (pool.usablePlaces(slot) < codeCount)
            ThrowBadFormula(pool[slot], codeCount);
    }
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
    int planPeriods;
    const DrawHistory& history;
    std::span<const std::uint16_t> betMasks; // by pool slot
    const std::function<void()>& yieldOncePerPlan;
};

// Runs the chain of plans row by row: each row either continues the current plan or ends it (a hit, or
// its n-th row), and then the next plan starts at the following row with that row's formula. Returns the
// start row of the plan left running (R when the last plan ended at the newest row).
// Whether a random draw hits cannot be predicted, so the step takes no branch on it: the end of the
// current plan is written at the next free place of `ends` on every row and kept (the count moves on)
// only when the plan ended there; the start row and the bets of the next plan are chosen by a mask.
template <int Positions, bool Yields> std::int64_t WalkPlans(const WalkInput& in, std::vector<PlanEnd>& ends) {
    const std::int64_t rowCount = std::ssize(in.history);
    const std::int64_t firstRow = in.rule.firstStartRow;
    const std::span<const std::uint16_t> masks = in.betMasks;
    const std::int64_t slotCount = std::ssize(masks);
    const std::int64_t n = in.planPeriods;
    const int threshold = in.rule.hitThreshold;

    ends.resize(static_cast<std::size_t>(std::max<std::int64_t>(rowCount - firstRow, 0)));
    std::size_t endCount = 0;
    std::uint64_t start = static_cast<std::uint64_t>(firstRow);
    std::uint64_t bets = masks[static_cast<std::size_t>(firstRow % slotCount)];
    std::int64_t slotOfNextRow = (firstRow + 1) % slotCount;
    if constexpr (Yields)
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
        if constexpr (Yields) {
            if (ended)
                in.yieldOncePerPlan();
        }
    }
    ends.resize(endCount);
    return static_cast<std::int64_t>(start);
}

template <bool Yields> std::int64_t WalkPlansFor(const WalkInput& in, std::vector<PlanEnd>& ends) {
    switch (in.rule.examinedPositions) {
    case 1:
        return WalkPlans<1, Yields>(in, ends);
    case 2:
        return WalkPlans<2, Yields>(in, ends);
    case 3:
        return WalkPlans<3, Yields>(in, ends);
    case 4:
        return WalkPlans<4, Yields>(in, ends);
    default:
        return WalkPlans<5, Yields>(in, ends);
    }
}

// Without a function to call the walk has no branch that depends on a draw.
std::int64_t WalkPlansFor(const WalkInput& in, std::vector<PlanEnd>& ends) {
    return in.yieldOncePerPlan ? WalkPlansFor<true>(in, ends) : WalkPlansFor<false>(in, ends);
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
                            std::uint16_t bets) {
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
    RequireFormulasFor(pool, codeCount, rule.firstStartRow, std::ssize(history));
    PlanResult result;
    const WalkInput input{rule, planPeriods, history, pool.betMasks(codeCount), yieldOncePerPlan};
    std::vector<PlanEnd> ends;
    const std::int64_t runningStart = history.empty() ? std::int64_t{rule.firstStartRow} : WalkPlansFor(input, ends);
    result.completed.reserve(ends.size());
    for (const PlanEnd& end : ends)
        FillRecord(result.completed.emplace_back(), history, end, planPeriods);
    result.running = RunningPlanAt(history, runningStart, planPeriods);
    CountOutcomes(result);

    const std::size_t slot = static_cast<std::size_t>(runningStart) % pool.size();
    for (int i = 0; i < codeCount; ++i)
        result.betNumbers.push_back(pool.numberAt(slot, i));
    result.currentBets = FindCurrentBets(rule, tables, result.betNumbers, input.betMasks[slot]);
    return result;
}

} // namespace tarvo
