#include "tarvo/plan/EvaluatePlan.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

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

// How many of a draw's examined positions drew each number, in 4-bit fields of a 64-bit word: field
// `number` (bits 4·number .. 4·number + 3) for a number 1..11, field 12 for any other stored value. Five
// positions at most, so a field never carries into the next, and a number drawn twice in a malformed row
// counts twice, once per position, as the hit rule counts positions.
constexpr std::array<std::uint64_t, 16> FieldOfNumber = [] {
    std::array<std::uint64_t, 16> fields{};
    for (std::size_t number = 0; number < fields.size(); ++number)
        fields[number] = std::uint64_t{1} << (4 * (IsGameNumber(static_cast<std::int64_t>(number)) ? number : 12));
    return fields;
}();

// Any stored value, negative ones included, as an index into FieldOfNumber: values above 15 read as 15.
std::size_t NumberIndex(std::int32_t number) {
    return std::min(static_cast<std::uint32_t>(number), 15u);
}

template <int Positions> std::uint64_t DrawnCounts(const Draw& draw) {
    return [&]<std::size_t... P>(std::index_sequence<P...>) {
        return (FieldOfNumber[NumberIndex(draw[P + 1])] + ...);
    }
    (std::make_index_sequence<Positions>{});
}

// Field 13 holds a bias, 8 minus the hit threshold: added to the counts of the bet numbers it makes 8 or
// more, and so sets the top bit of a field, exactly when the threshold is reached. Thresholds below 1 are
// always reached and above 5 never, as 0 and 6 are, so the sum stays within 8 + 5, inside one field.
constexpr int BiasShift = 4 * 13;

std::uint64_t HitBias(int hitThreshold) {
    return static_cast<std::uint64_t>(8 - std::clamp(hitThreshold, 0, 6)) << BiasShift;
}

// The fields a plan keeps of a row's counts, indexed by its bet mask without bit 0 (bit 1 << number for each
// bet number): all ones in the field of each bet number and in the bias field.
constexpr std::array<std::uint64_t, 2048> FieldsOfBets = [] {
    std::array<std::uint64_t, 2048> fields{};
    for (std::size_t index = 0; index < fields.size(); ++index) {
        fields[index] = std::uint64_t{0xF} << BiasShift;
        for (std::size_t number = 1; number <= 11; ++number) {
            if (((index << 1) >> number) & 1u)
                fields[index] |= std::uint64_t{0xF} << (4 * number);
        }
    }
    return fields;
}();

// Multiplying the kept fields by this adds them all up into the top field (bits 60..63); each lower field of
// the product holds a partial sum, at most the whole, so none carries.
constexpr std::uint64_t SumIntoTopField = 0x1111'1111'1111'1111;

// `ifTrue` or `ifFalse` by a conditional move. Left to itself the compiler branches here, and a branch on
// whether a random draw hits is mispredicted about as often as not.
inline std::uint64_t Select(bool condition, std::uint64_t ifTrue, std::uint64_t ifFalse) {
#if defined(__GNUC__) && defined(__x86_64__)
    asm("test %1, %1\n\tcmovnz %2, %0" : "+r"(ifFalse) : "r"(condition), "r"(ifTrue) : "cc");
    return ifFalse;
#else
    return condition ? ifTrue : ifFalse;
#endif
}

// Adds an offset to a period the way the 32-bit period field wraps.
std::int32_t PeriodPlus(std::int32_t period, std::int64_t offset) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(period) + static_cast<std::uint32_t>(offset));
}

// How one plan ended: its deciding row times two, plus one for a hit. Each plan starts at the row after the
// previous plan's deciding row, the first at the rule's first start row.
using PlanEnd = std::uint64_t;

struct WalkInput {
    const DrawHistory& history;
    std::span<const std::uint16_t> betMasks; // by pool slot
    std::int64_t firstRow;
    std::int64_t planPeriods;
    std::uint64_t hitBias;
    const std::function<void()>& yieldOncePerPlan;
};

// How a row is tested against a plan's bets. The two commonest rules need a single AND, which keeps the
// step from one row to the next short: at least one bet number among the examined positions (threshold 1),
// or only bet numbers there (threshold = positions; a value outside 1..11 has a field no plan keeps). Any
// other threshold adds the bet numbers' counts up with the bias.
enum class HitTest { AnyBet, OnlyBets, CountBets };

template <HitTest Test> bool Hits(std::uint64_t counts, std::uint64_t bets, std::uint64_t hitBias) {
    if constexpr (Test == HitTest::AnyBet)
        return (counts & bets) != 0;
    else if constexpr (Test == HitTest::OnlyBets)
        return (counts & ~bets) == 0;
    else
        return (((counts + hitBias) & bets) * SumIntoTopField) >> 63 != 0;
}

// Runs the chain of plans row by row: each row either continues the current plan or ends it (a hit, or
// its n-th row), and then the next plan starts at the following row with that row's formula. Writes the end
// of every completed plan to `ends` (room for one per row) and returns how many there are.
// Whether a random draw hits cannot be predicted, so a row is decided without a branch: the end is written
// on every row and kept (the count moves on) only when the plan ended there, and the next plan's bets and
// rows are chosen by a conditional move. The rows are taken in runs over which the next row's pool slot
// needs no wrapping.
template <int Positions, HitTest Test, bool Yields> std::size_t WalkPlans(const WalkInput& in, PlanEnd* ends) {
    const DrawHistory& history = in.history;
    const std::int64_t rowCount = std::ssize(history);
    const std::uint16_t* const masks = in.betMasks.data();
    const std::int64_t slotCount = std::ssize(in.betMasks);
    const std::uint64_t hitBias = in.hitBias;
    const std::int64_t rowsLeftAtStart = in.planPeriods - 2; // rows a plan watches after its first, less one
    std::uint64_t bets = FieldsOfBets[masks[in.firstRow % slotCount] >> 1];
    std::int64_t rowsLeft = rowsLeftAtStart;
    std::int64_t slotOfNextRow = (in.firstRow + 1) % slotCount;
    std::size_t endCount = 0;
    if constexpr (Yields)
        in.yieldOncePerPlan();
    for (std::int64_t row = in.firstRow; row < rowCount; slotOfNextRow = 0) {
        const std::int64_t slotOffset = slotOfNextRow - row;
        const std::int64_t runEnd = std::min(rowCount, slotCount - slotOffset);
        for (; row < runEnd; ++row) {
            const std::uint64_t counts = DrawnCounts<Positions>(history[static_cast<std::size_t>(row)]);
            const bool hit = Hits<Test>(counts, bets, hitBias);
            const bool ended = hit || rowsLeft < 0;
            ends[endCount] = static_cast<PlanEnd>(row) << 1 | static_cast<PlanEnd>(hit);
            endCount += static_cast<std::size_t>(ended);
            const std::uint64_t nextBets = FieldsOfBets[masks[row + slotOffset] >> 1];
            bets = Select(ended, nextBets, bets);
            rowsLeft = static_cast<std::int64_t>(
                Select(ended, static_cast<std::uint64_t>(rowsLeftAtStart), static_cast<std::uint64_t>(rowsLeft - 1)));
            if constexpr (Yields) {
                if (ended)
                    in.yieldOncePerPlan();
            }
        }
    }
    return endCount;
}

template <int Positions, bool Yields> std::size_t WalkPlansWith(int hitThreshold, const WalkInput& in, PlanEnd* ends) {
    if (hitThreshold == 1)
        return WalkPlans<Positions, HitTest::AnyBet, Yields>(in, ends);
    if (hitThreshold == Positions)
        return WalkPlans<Positions, HitTest::OnlyBets, Yields>(in, ends);
    return WalkPlans<Positions, HitTest::CountBets, Yields>(in, ends);
}

template <bool Yields> std::size_t WalkPlansFor(const PlayTypeRule& rule, const WalkInput& in, PlanEnd* ends) {
    switch (rule.examinedPositions) {
    case 1:
        return WalkPlansWith<1, Yields>(rule.hitThreshold, in, ends);
    case 2:
        return WalkPlansWith<2, Yields>(rule.hitThreshold, in, ends);
    case 3:
        return WalkPlansWith<3, Yields>(rule.hitThreshold, in, ends);
    case 4:
        return WalkPlansWith<4, Yields>(rule.hitThreshold, in, ends);
    default:
        return WalkPlansWith<5, Yields>(rule.hitThreshold, in, ends);
    }
}

// The outcomes of the completed plans so far, carried from one stretch of plans to the next.
struct Tally {
    int hits = 0;
    int hitRun = 0;  // hits at the end of the records
    int missRun = 0; // misses at the end of the records
    int longestHitRun = 0;
    int longestMissRun = 0;
};

// The tally of a result's completed plans, read from its figures and the runs at the end of its records:
// a result with misses has a longest miss run of at least one, so its figure (the run less one) tells it.
Tally TallyOf(const PlanResult& result) {
    Tally tally;
    tally.hits = result.hits;
    tally.longestHitRun = result.longestHitRun;
    tally.longestMissRun = result.misses > 0 ? result.missRunFigure + 1 : 0;
    if (!result.completed.empty()) {
        const bool lastHit = result.completed.back().hit;
        const auto sameOutcome = [lastHit](const PlanRecord& record) { return record.hit == lastHit; };
        const auto run = std::find_if_not(result.completed.rbegin(), result.completed.rend(), sameOutcome) -
                         result.completed.rbegin();
        (lastHit ? tally.hitRun : tally.missRun) = static_cast<int>(run);
    }
    return tally;
}

// Spells out the completed plans after the records already there and counts their outcomes on top of the
// tally of those. A miss ends at its n-th row, so for hits and misses alike a plan used the rows from its
// start to its deciding row.
void AddRecords(PlanResult& result, const DrawHistory& history, std::span<const PlanEnd> ends, std::int64_t firstRow,
                int planPeriods, Tally tally) {
    std::vector<PlanRecord>& records = result.completed;
    const std::size_t needed = records.size() + ends.size();
    // A result carried on at every new draw grows by a plan or two at a time: room for an eighth more
    // spares it a move of all its records at nearly every new draw.
    if (records.capacity() < needed)
        records.reserve(needed + needed / 8);
    const Draw* const rows = history.data();
    int hits = tally.hits;
    int hitRun = tally.hitRun;
    int missRun = tally.missRun;
    int longestHitRun = tally.longestHitRun;
    int longestMissRun = tally.longestMissRun;
    std::int64_t startRow = firstRow;
    for (const PlanEnd end : ends) {
        const std::int64_t decidingRow = static_cast<std::int64_t>(end >> 1);
        const int hit = static_cast<int>(end & 1u);
        const Draw& deciding = rows[decidingRow];
        const std::int32_t firstPeriod = rows[startRow][0];
        const std::int32_t lastPeriod = PeriodPlus(firstPeriod, planPeriods - 1);
        // There is room for every record: telling the compiler so keeps the vector's growth, a call, out of
        // the loop, and with it the reloading of everything the call might have changed.
        if (records.size() == records.capacity())
            __builtin_unreachable();
        // Written whole, each field once: a record made first and filled in after costs its stores twice.
        records.push_back(PlanRecord{
            .startRow = static_cast<int>(startRow),
            .firstPeriod = firstPeriod,
            .lastPeriod = lastPeriod,
            .hit = hit != 0,
            .decidingPeriod = static_cast<std::int32_t>(
                Select(hit != 0, static_cast<std::uint32_t>(deciding[0]), static_cast<std::uint32_t>(lastPeriod))),
            .decidingDraw = {deciding[1], deciding[2], deciding[3], deciding[4], deciding[5]},
            .periodsUsed = static_cast<int>(decidingRow - startRow + 1),
        });
        startRow = decidingRow + 1;
        hits += hit;
        hitRun = (hitRun + 1) & -hit;
        missRun = (missRun + 1) & (hit - 1);
        longestHitRun = std::max(longestHitRun, hitRun);
        longestMissRun = std::max(longestMissRun, missRun);
    }
    const int completed = static_cast<int>(records.size());
    result.hits = hits;
    result.longestHitRun = longestHitRun;
    result.misses = completed - hits;
    result.rate = completed == 0 ? 0 : static_cast<int>(std::int64_t{hits} * 100 / completed);
    result.missRunFigure = std::max(longestMissRun - 1, 0);
}

// Walks the plans and spells out the completed ones; returns the start row of the plan left running. Without
// a function to call the walk has no branch that depends on a draw.
std::int64_t RunPlans(PlanResult& result, const PlayTypeRule& rule, const WalkInput& in, int planPeriods,
                      const Tally& tally) {
    const std::int64_t rowCount = std::ssize(in.history);
    const std::size_t room = static_cast<std::size_t>(std::max<std::int64_t>(rowCount - in.firstRow, 0));
    const auto ends = std::make_unique_for_overwrite<PlanEnd[]>(room);
    const std::size_t endCount =
        in.yieldOncePerPlan ? WalkPlansFor<true>(rule, in, ends.get()) : WalkPlansFor<false>(rule, in, ends.get());
    const std::span<const PlanEnd> completed(ends.get(), endCount);
    AddRecords(result, in.history, completed, in.firstRow, planPeriods, tally);
    return endCount == 0 ? in.firstRow : static_cast<std::int64_t>(completed.back() >> 1) + 1;
}

void FindCurrentBets(CurrentBets& current, const PlayTypeRule& rule, const CandidateTables& tables,
                     const std::vector<int>& betNumbers, std::uint16_t bets) {
    const CandidateTable* table = tables.tableFor(rule.type);
    if (table == nullptr) {
        current.entrySize = 1;
        current.numbers.assign(betNumbers.begin(), betNumbers.end());
        return;
    }
    current.entrySize = table->groupSize();
    current.numbers.clear();
    const auto isCurrentBet = [&](std::uint16_t groupMask) { return (groupMask & ~bets) == 0; };
    const auto betCount = std::count_if(table->masks().begin(), table->masks().end(), isCurrentBet);
    current.numbers.reserve(static_cast<std::size_t>(betCount * current.entrySize));
    for (int g = 0; g < table->groupCount(); ++g) {
        if (isCurrentBet(table->mask(g))) {
            for (int number : table->group(g))
                current.numbers.push_back(static_cast<std::uint8_t>(number));
        }
    }
}

// A result as a new one, its vectors keeping their room (the current bets are written whole later).
void ClearKeepingRoom(PlanResult& result) {
    result.completed.clear();
    result.running.reset();
    result.hits = result.misses = result.rate = result.longestHitRun = result.missRunFigure = 0;
    result.betNumbers.clear();
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

// Runs the plans from the one starting at `firstRow` on, after the result's records and on top of their
// tally, and writes the running plan and its bets.
void RunPlansFrom(PlanResult& result, std::int64_t firstRow, const Tally& tally, const PlayTypeRule& rule,
                  int codeCount, int planPeriods, const DrawHistory& history, const FormulaPool& pool,
                  const CandidateTables& tables, const std::function<void()>& yieldOncePerPlan) {
    const WalkInput input{history,     pool.betMasks(codeCount),   firstRow,
                          planPeriods, HitBias(rule.hitThreshold), yieldOncePerPlan};
    const std::int64_t runningStart = history.empty() ? firstRow : RunPlans(result, rule, input, planPeriods, tally);
    result.running = RunningPlanAt(history, runningStart, planPeriods);

    const std::size_t slot = static_cast<std::size_t>(runningStart) % pool.size();
    result.betNumbers.reserve(static_cast<std::size_t>(codeCount));
    for (int i = 0; i < codeCount; ++i)
        result.betNumbers.push_back(pool.numberAt(slot, i));
    FindCurrentBets(result.currentBets, rule, tables, result.betNumbers, input.betMasks[slot]);
}

} // namespace

PlanResult EvaluatePlan(const PlayTypeRule& rule, int codeCount, int planPeriods, const DrawHistory& history,
                        const FormulaPool& pool, const CandidateTables& tables,
                        const std::function<void()>& yieldOncePerPlan) {
    PlanResult result;
    EvaluatePlanInto(result, rule, codeCount, planPeriods, history, pool, tables, yieldOncePerPlan);
    return result;
}

void EvaluatePlanInto(PlanResult& result, const PlayTypeRule& rule, int codeCount, int planPeriods,
                      const DrawHistory& history, const FormulaPool& pool, const CandidateTables& tables,
                      const std::function<void()>& yieldOncePerPlan) {
    RequireValidArguments(rule, codeCount, planPeriods, pool);
    RequireFormulasFor(pool, codeCount, rule.firstStartRow, std::ssize(history));
    ClearKeepingRoom(result);
    RunPlansFrom(result, rule.firstStartRow, Tally{}, rule, codeCount, planPeriods, history, pool, tables,
                 yieldOncePerPlan);
}

void ContinuePlanInto(PlanResult& result, const PlayTypeRule& rule, int codeCount, int planPeriods,
                      const DrawHistory& history, const FormulaPool& pool, const CandidateTables& tables) {
    RequireValidArguments(rule, codeCount, planPeriods, pool);
    const std::int64_t firstRow = result.running ? result.running->startRow : rule.firstStartRow;
    RequireFormulasFor(pool, codeCount, firstRow, std::ssize(history));
    const Tally tally = TallyOf(result);
    result.running.reset();
    result.betNumbers.clear();
    RunPlansFrom(result, firstRow, tally, rule, codeCount, planPeriods, history, pool, tables, {});
}

} // namespace tarvo
