#include "tarvo/app/RunQueue.h"

namespace tarvo {

bool RunQueue::tryStartRefresh(const RefreshRequest& request) {
    if (!busy_) {
        busy_ = true;
        return true;
    }
    RefreshRequest merged = pendingRefresh_.value_or(RefreshRequest{});
    merged.busyCursor = merged.busyCursor || request.busyCursor;
    merged.recentDays = merged.recentDays || request.recentDays;
    if (request.lottery)
        merged.lottery = request.lottery;
    pendingRefresh_ = merged;
    return false;
}

bool RunQueue::tryStartPlan(const PlanRequest& request) {
    if (!busy_) {
        busy_ = true;
        return true;
    }
    PlanRequest merged = pendingPlan_.value_or(PlanRequest{});
    merged.newFormulaPool = merged.newFormulaPool || request.newFormulaPool;
    pendingPlan_ = merged;
    return false;
}

bool RunQueue::tryStartOther() {
    if (busy_)
        return false;
    busy_ = true;
    return true;
}

RunQueue::Next RunQueue::finish() {
    Next next;
    next.refresh = std::exchange(pendingRefresh_, std::nullopt);
    next.plan = std::exchange(pendingPlan_, std::nullopt);
    // A refresh cycle ends with a plan run of its own, which makes a plain waiting plan run redundant.
    if (next.refresh && next.plan && !next.plan->newFormulaPool)
        next.plan.reset();
    busy_ = !next.empty();
    return next;
}

void RunQueue::clear() {
    pendingRefresh_.reset();
    pendingPlan_.reset();
}

} // namespace tarvo
