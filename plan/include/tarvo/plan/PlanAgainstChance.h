#pragma once

#include "tarvo/plan/PlanResult.h"
#include "tarvo/plan/PlayType.h"
#include "tarvo/plan/WilsonInterval.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvo {

// How a plan's record compares with betting the same count of numbers at random.
enum class ChanceVerdict {
    BelowChance,             // chance's plan hit probability lies above the record's interval
    NoSignificantDifference, // it lies inside the interval (always so without a completed plan)
    AboveChance,             // it lies below the interval
};

// Hit-at-period lists stop at this period however long a plan may run, so a mistyped plan period count cannot
// exhaust memory; chance's expected counts beyond it are negligible for every play type.
inline constexpr int MaxListedPeriods = 100000;

// The record of one plan walk beside what pure chance gives for the same play type, code count K and plan
// period count n. Rates and probabilities are fractions (0..1), not percentages.
struct PlanAgainstChance {
    int plans = 0;                 // C: completed plans
    int hits = 0;                  // H
    int misses = 0;                // M
    double observedRate = 0;       // H / C, 0 without a completed plan
    std::int64_t hittingDraws = 0; // ordered draws (of OrderedDrawCount) that hit the plan's bets
    double drawHitProbability = 0; // p
    double planHitProbability = 0; // q = 1 − (1 − p)^n
    ProportionInterval wilson95{0.0, 1.0};
    ChanceVerdict verdict = ChanceVerdict::NoSignificantDifference;
    std::vector<int> hitsAtPeriod;            // [i − 1]: plans that hit at their i-th period, i = 1..n
    std::vector<double> expectedHitsAtPeriod; // [i − 1]: C·p·(1 − p)^(i − 1)
    int longestMissRun = 0;                   // most consecutive misses in the record
    int typicalLongestMissRun = 0;            // the median longest miss run of C plans under chance
    double chanceOfLongestMissRun = 1;        // chance that C random plans hold a miss run at least as long
    std::optional<double> returnPerYuan;      // with the official prizes; none for 任一
};

// Compares the completed plans of a walk run with this play type, code count and plan period count (the
// running plan does not count). Throws std::invalid_argument for a code count outside 1..11 or a plan
// period count below 1.
PlanAgainstChance ComparePlanWithChance(const PlanResult& result, PlayType type, int codeCount, int planPeriods);

// Where chance's plan hit probability q stands against the interval of the record.
ChanceVerdict VerdictOf(double planHitProbability, const ProportionInterval& interval);

} // namespace tarvo
