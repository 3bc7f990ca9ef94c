#pragma once

namespace tarvo {

// Chances about the longest run of misses in a row of independent plans, each ending as a miss with the same
// probability (1 − q under pure chance). Both come from the exact recurrence for "no run of k misses within the
// first j plans", O(plans) steps each; missProbability must lie in 0..1.

// The chance that `plans` plans hold a run of at least `runLength` consecutive misses (1 for a length below 1,
// 0 for a length above the plan count).
double ChanceOfMissRunAtLeast(int plans, int runLength, double missProbability);

// The longest miss run that pure chance typically gives: the median, the smallest k for which at least half of
// all records of `plans` plans have no miss run longer than k. 0 without plans.
int MedianLongestMissRun(int plans, double missProbability);

} // namespace tarvo
