#pragma once

#include <QTimer>

namespace tarvo {

// Switches a timer off for its lifetime and on again after, whatever happens between: the refresh
// timer's next tick then comes a whole interval after the end of a plan run.
class TimerPause {
public:
    explicit TimerPause(QTimer* timer)
        : timer_(timer) {
        timer_->stop();
    }
    ~TimerPause() { timer_->start(); }
    TimerPause(const TimerPause&) = delete;
    TimerPause& operator=(const TimerPause&) = delete;

private:
    QTimer* timer_;
};

} // namespace tarvo
