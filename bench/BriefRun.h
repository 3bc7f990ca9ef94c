#pragma once
// The test run runs every benchmark once, over a fiftieth of its data (TARVO_BENCH_BRIEF set), so
// that none rots unseen and none holds the suite for long; the figures come from full runs.
#include <algorithm>
#include <cstdlib>

namespace tarvo::bench {

inline int BenchSize(int full) {
    return std::getenv("TARVO_BENCH_BRIEF") != nullptr ? std::max(full / 50, 1) : full;
}

} // namespace tarvo::bench
