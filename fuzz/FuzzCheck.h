#pragma once

#include <cstdio>
#include <cstdlib>

namespace tarvo::fuzz {

// Stops the run with a crash that libFuzzer records (and saves the input) when an invariant of the
// code under test does not hold.
inline void Require(bool holds, const char* invariant) {
    if (holds)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", invariant);
    std::abort();
}

} // namespace tarvo::fuzz
