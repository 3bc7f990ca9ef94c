#pragma once

// How the timed window scenarios wait for a run of the window without disturbing what they meter.

#include <QSignalSpy>

namespace tarvo::bench {

// Starts a run of the window with `trigger` and turns the event loop until the run has ended (the
// window's idle() signal); false after limitMs. Unlike QTest::qWaitFor, which sleeps 10 ms between
// its turns, it never keeps the loop from turning, so a LoopGapMeter counts only the window's stalls.
template <typename Window, typename Trigger> bool RunUntilIdle(Window& window, Trigger trigger, int limitMs) {
    QSignalSpy idle(&window, &Window::idle);
    trigger();
    return !window.runGoing() || idle.wait(limitMs);
}

} // namespace tarvo::bench
