#pragma once

#include <cstdint>

namespace tarvo {

// Ways to choose k of n things, 0 when k is outside 0..n. Exact for the small counts of an 11-number draw.
constexpr std::int64_t Choose(int n, int k) {
    if (k < 0 || k > n)
        return 0;
    std::int64_t ways = 1;
    for (int i = 1; i <= k; ++i)
        ways = ways * (n - k + i) / i;
    return ways;
}

// Ordered arrangements of k of n things (n·(n−1)·…·(n−k+1)), 0 when k is outside 0..n.
constexpr std::int64_t Arrange(int n, int k) {
    if (k < 0 || k > n)
        return 0;
    std::int64_t ways = 1;
    for (int i = 0; i < k; ++i)
        ways *= n - i;
    return ways;
}

} // namespace tarvo
