#include "tarvo/plan/LongestRunChance.h"

#include <cmath>
#include <vector>

namespace tarvo {

namespace {

// The chance that the first j plans hold no run of `runLength` misses, for j = plans, using `noRun` (plans + 1
// entries) as scratch: noRun[j] = noRun[j−1] − P(the first such run ends exactly at plan j), and that run
// ends at j when plan j − runLength hit (or j = runLength), the runLength plans after it missed and no run
// came before it.
double ChanceOfNoMissRun(int plans, int runLength, double missProbability, std::vector<double>& noRun) {
    const double runOfMisses = std::pow(missProbability, runLength);
    const double hitThenRun = (1.0 - missProbability) * runOfMisses;
    noRun.assign(static_cast<std::size_t>(plans) + 1, 1.0);
    noRun[static_cast<std::size_t>(runLength)] = 1.0 - runOfMisses;
    for (int j = runLength + 1; j <= plans; ++j) {
        const auto at = static_cast<std::size_t>(j);
        noRun[at] = noRun[at - 1] - hitThenRun * noRun[at - 1 - static_cast<std::size_t>(runLength)];
    }
    return noRun[static_cast<std::size_t>(plans)];
}

} // namespace

double ChanceOfMissRunAtLeast(int plans, int runLength, double missProbability) {
    if (runLength < 1)
        return 1.0;
    if (runLength > plans)
        return 0.0;
    std::vector<double> scratch;
    return 1.0 - ChanceOfNoMissRun(plans, runLength, missProbability, scratch);
}

int MedianLongestMissRun(int plans, double missProbability) {
    // The chance of a run longer than k falls as k grows: find the first k where it is at most one half.
    std::vector<double> scratch;
    int low = 0;
    int high = plans;
    while (low < high) {
        const int k = low + (high - low) / 2;
        if (1.0 - ChanceOfNoMissRun(plans, k + 1, missProbability, scratch) <= 0.5)
            high = k;
        else
            low = k + 1;
    }
    return low;
}

} // namespace tarvo
