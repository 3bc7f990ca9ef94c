#include "tarvo/plan/WilsonInterval.h"

#include <algorithm>
#include <cmath>

namespace tarvo {

namespace {

// The two-sided 95 % quantile of the standard normal distribution.
constexpr double Z95 = 1.959963984540054;

} // namespace

ProportionInterval WilsonInterval95(int successes, int trials) {
    if (trials <= 0)
        return {0.0, 1.0};
    const double n = trials;
    const double h = successes;
    const double z2 = Z95 * Z95;
    const double centre = (h + z2 / 2.0) / (n + z2);
    const double halfWidth = Z95 / (n + z2) * std::sqrt(h * (n - h) / n + z2 / 4.0);
    // With no success the interval starts at 0 and with no failure it ends at 1, exactly: computed, the
    // end may fall a rounding short of it, and a perfect record of plans that chance hits for certain
    // (q = 1 to double precision) would seem worse than chance.
    const double low = successes <= 0 ? 0.0 : std::clamp(centre - halfWidth, 0.0, 1.0);
    const double high = successes >= trials ? 1.0 : std::clamp(centre + halfWidth, 0.0, 1.0);
    return {low, high};
}

} // namespace tarvo
