#include "tarvo/app/RunQueue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace tarvo {
namespace {

TEST(RunQueue, RequestsDuringARunWaitMergedAndComeBackInOrder) {
    RunQueue queue;
    ASSERT_TRUE(queue.tryStartRefresh({}));
    EXPECT_FALSE(queue.tryStartPlan({.newFormulaPool = true}));
    EXPECT_FALSE(queue.tryStartPlan({.newFormulaPool = false}));
    EXPECT_FALSE(queue.tryStartRefresh({.busyCursor = true, .lottery = u"重庆11选5"_s}));
    EXPECT_FALSE(queue.tryStartRefresh({.busyCursor = false, .lottery = u"江西11选5"_s}));
    EXPECT_FALSE(queue.tryStartRefresh({}));
    EXPECT_FALSE(queue.tryStartOther());

    const RunQueue::Next next = queue.finish();
    ASSERT_TRUE(next.plan && next.refresh);
    EXPECT_TRUE(next.plan->newFormulaPool) << "a new pool asked for once stays asked for";
    EXPECT_TRUE(next.refresh->busyCursor);
    EXPECT_EQ(next.refresh->lottery, u"江西11选5"_s) << "the last lottery chosen wins";
    EXPECT_TRUE(queue.busy()) << "the caller runs what came back";

    EXPECT_TRUE(queue.finish().empty());
    EXPECT_FALSE(queue.busy());
}

TEST(RunQueue, ARefreshMakesAWaitingPlainPlanRunRedundant) {
    RunQueue queue;
    ASSERT_TRUE(queue.tryStartPlan({}));
    queue.tryStartPlan({});
    queue.tryStartRefresh({});
    const RunQueue::Next next = queue.finish();
    EXPECT_FALSE(next.plan);
    EXPECT_TRUE(next.refresh);
}

TEST(RunQueue, ClearForgetsWhatWaits) {
    RunQueue queue;
    ASSERT_TRUE(queue.tryStartOther());
    queue.tryStartRefresh({});
    queue.tryStartPlan({});
    queue.clear();
    EXPECT_TRUE(queue.finish().empty());
    EXPECT_FALSE(queue.busy());
}

} // namespace
} // namespace tarvo
