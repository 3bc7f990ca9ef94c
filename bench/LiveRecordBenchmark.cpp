// The live record over years of play: 100,000 recorded plans, read whole as the window's 实盘记录 tab reads them when
// it opens (target: well under 100 ms), and one more plan recorded as the window records each plan it shows.
#include "RecordedPlans.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace tarvo {
namespace {

using bench::PlanCount;
using bench::RecordFile;
using bench::ShownPlan;

RecordFile& SharedRecord() {
    static RecordFile file;
    return file;
}

void BM_ReadWholeRecord(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    qsizetype plans = 0;
    for (auto _ : state) {
        const QList<LivePlan> read = record.read({});
        plans = read.size();
        benchmark::DoNotOptimize(read);
    }
    state.SetLabel("plans=" + std::to_string(plans));
}
BENCHMARK(BM_ReadWholeRecord)->Unit(benchmark::kMillisecond);

// What 实盘记录 reads when it opens on one lottery and the present setting: the counts by setting and the
// newest thousand plans.
void BM_ReadWhatTheTabShows(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    const LivePlan present = ShownPlan(PlanCount - 1);
    const LiveRecordFilter lottery{.lottery = present.lottery};
    const LiveRecordFilter filter{.lottery = present.lottery,
                                  .playType = present.playType,
                                  .codeCount = present.codeCount,
                                  .planPeriods = present.planPeriods};
    for (auto _ : state) {
        benchmark::DoNotOptimize(record.tallyBySetting(lottery));
        benchmark::DoNotOptimize(record.readNewest(filter, 1000));
    }
}
BENCHMARK(BM_ReadWhatTheTabShows)->Unit(benchmark::kMillisecond);

// The plan the window shows again after a refresh: found by its key, the lottery's running plans marked left.
void BM_RecordShownPlanAgain(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    const LivePlan shown = ShownPlan(PlanCount - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(record.record(shown));
}
BENCHMARK(BM_RecordShownPlanAgain)->Unit(benchmark::kMicrosecond);

// What the window does after each refresh: the lottery's undecided plans among the 100,000, judged on no new draw.
void BM_UndecidedPlans(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    for (auto _ : state)
        benchmark::DoNotOptimize(record.undecided(u"江西11选5"_s));
}
BENCHMARK(BM_UndecidedPlans)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvo

BENCHMARK_MAIN();
