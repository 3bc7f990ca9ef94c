#pragma once

namespace tarvo {

// An interval of proportions, 0 <= low <= high <= 1.
struct ProportionInterval {
    double low;
    double high;

    bool contains(double value) const { return low <= value && value <= high; }
};

// The 95 % Wilson score interval of `successes` out of `trials`: where the true rate lies, judged from the
// record, without the normal approximation's collapse at 0 % and 100 %. [0, 1] when there is no trial.
// Requires 0 <= successes <= trials.
ProportionInterval WilsonInterval95(int successes, int trials);

} // namespace tarvo
