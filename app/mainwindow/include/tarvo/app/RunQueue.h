#pragma once

#include <QString>
#include <optional>

namespace tarvo {

// What a deferred refresh cycle must do when it finally runs.
struct RefreshRequest {
    bool busyCursor = false;        // started by the user: hourglass for the whole cycle
    std::optional<QString> lottery; // a lottery switch: the lottery to select first
    bool recentDays = false;        // read the draws of the last days for every lottery, as at start-up,
                                    // instead of the selected lottery's newest (new sources were set)
};

// What a deferred plan run must do when it finally runs.
struct PlanRequest {
    bool newFormulaPool = false; // draw a new formula pool before the plan
};

// Keeps the window's runs (start-up, refresh cycle, plan run) from overlapping. A trigger that
// arrives while a run is going is kept, not lost: at most one refresh cycle and one plan run wait,
// each merging every request made meanwhile (a later lottery choice wins, a busy cursor or a new
// pool asked for once stays asked for).
class RunQueue {
public:
    bool busy() const { return busy_; }

    // True when the caller may start the run now (the queue is then busy until finish());
    // otherwise the request is merged into the waiting one.
    bool tryStartRefresh(const RefreshRequest& request);
    bool tryStartPlan(const PlanRequest& request);
    bool tryStartOther();

    // Ends the current run and hands back what waits, if anything, refresh first; the queue stays
    // busy when something is handed back, for the caller runs it at once.
    struct Next {
        std::optional<PlanRequest> plan;
        std::optional<RefreshRequest> refresh;
        bool empty() const { return !plan && !refresh; }
    };
    Next finish();

    // Forgets everything that waits (the window is closing).
    void clear();

    bool refreshWaiting() const { return pendingRefresh_.has_value(); }
    bool planWaiting() const { return pendingPlan_.has_value(); }

private:
    bool busy_ = false;
    std::optional<RefreshRequest> pendingRefresh_;
    std::optional<PlanRequest> pendingPlan_;
};

} // namespace tarvo
