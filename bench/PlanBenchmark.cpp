#include "BriefRun.h"

#include "tarvo/plan/Plan.h"

#include <benchmark/benchmark.h>

#include <array>
#include <optional>
#include <utility>

namespace tarvo {
namespace {

// Draws of five different numbers each, from a fixed seed, with consecutive periods.
DrawHistory MakeHistory(int rows) {
    RandomGenerator generator(20240101);
    DrawHistory history;
    history.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        std::array<int, 11> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        for (std::size_t i = 0; i < 5; ++i)
            std::swap(numbers[i], numbers[i + generator.next(static_cast<std::uint32_t>(11 - i))]);
        history.push_back({24010101 + row, numbers[0], numbers[1], numbers[2], numbers[3], numbers[4]});
    }
    return history;
}

const DrawHistory& HistoryOf(int rows) {
    static const DrawHistory shortHistory = MakeHistory(2000);
    static const DrawHistory longHistory = MakeHistory(100000);
    return rows == 2000 ? shortHistory : longHistory;
}

struct Inputs {
    CandidateTables tables = BuildCombinationTables();
    FormulaPool pool = BuildFormulaPool(12345);
};

const Inputs& SharedInputs() {
    static const Inputs inputs;
    return inputs;
}

// Arguments: play type position, history rows. Uses the type's first code-count entry and the plan
// period count proposed for it, as the window does after a play-type click.
void BM_EvaluatePlan(benchmark::State& state) {
    const PlayType type = PlayTypeAt(static_cast<int>(state.range(0)));
    const DrawHistory& history = HistoryOf(static_cast<int>(state.range(1)));
    const Inputs& in = SharedInputs();
    const int planPeriods = ProposedPlanPeriods(type, ChoiceList(type).front());
    std::size_t plans = 0;
    for (auto _ : state) {
        PlanResult result = EvaluatePlan(RuleOf(type), RuleOf(type).kBase, planPeriods, history, in.pool, in.tables);
        plans = result.completed.size();
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel(std::string(RuleOf(type).name) + " plans=" + std::to_string(plans));
}
BENCHMARK(BM_EvaluatePlan)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6, 7}, {2000, 100000}})->Unit(benchmark::kMicrosecond);

// What a refresh that brings one new draw costs the plans: the result replayed over all draws but the
// newest carried on over it, as the window's session does. Argument: play type position.
void BM_ContinuePlanOverOneNewDraw(benchmark::State& state) {
    const PlayType type = PlayTypeAt(static_cast<int>(state.range(0)));
    const DrawHistory& history = HistoryOf(100000);
    const DrawHistory allButNewest(history.begin(), history.end() - 1);
    const Inputs& in = SharedInputs();
    const PlayTypeRule& rule = RuleOf(type);
    const int planPeriods = ProposedPlanPeriods(type, ChoiceList(type).front());
    const PlanResult before = EvaluatePlan(rule, rule.kBase, planPeriods, allButNewest, in.pool, in.tables);
    PlanResult result = before;
    for (auto _ : state) {
        state.PauseTiming();
        result = before;
        state.ResumeTiming();
        ContinuePlanInto(result, rule, rule.kBase, planPeriods, history, in.pool, in.tables);
        benchmark::DoNotOptimize(result);
    }
    state.SetLabel(std::string(rule.name) + " plans=" + std::to_string(result.completed.size()));
}
BENCHMARK(BM_ContinuePlanOverOneNewDraw)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

// The most plans a walk can make: 前一 with nine codes and one period per plan.
void BM_EvaluatePlanOnePlanPerRow(benchmark::State& state) {
    const DrawHistory& history = HistoryOf(static_cast<int>(state.range(0)));
    const Inputs& in = SharedInputs();
    for (auto _ : state)
        benchmark::DoNotOptimize(EvaluatePlan(RuleOf(PlayType::Front1), 9, 1, history, in.pool, in.tables));
}
BENCHMARK(BM_EvaluatePlanOnePlanPerRow)->Arg(2000)->Arg(tarvo::bench::BenchSize(100000))->Unit(benchmark::kMicrosecond);

void BM_BuildPlanReport(benchmark::State& state) {
    const PlayType type = PlayTypeAt(static_cast<int>(state.range(0)));
    const Inputs& in = SharedInputs();
    const PlanResult result = EvaluatePlan(RuleOf(type), RuleOf(type).kBase, 3, HistoryOf(2000), in.pool, in.tables);
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildPlanReport(result, type));
    state.SetLabel(std::string(RuleOf(type).name) + " lines=" + std::to_string(result.completed.size() + 5));
}
BENCHMARK(BM_BuildPlanReport)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

void BM_BuildFormulaPool(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildFormulaPool(42));
}
BENCHMARK(BM_BuildFormulaPool)->Unit(benchmark::kMicrosecond);

void BM_BuildCombinationTables(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildCombinationTables());
}
BENCHMARK(BM_BuildCombinationTables)->Unit(benchmark::kMicrosecond);

// Every figure of the analysis window for one play type (first code-count entry, proposed plan periods) over
// 100,000 draws, given the plan walk's result as the window holds it after a plan run: the record against
// chance, the trend chart of 100 draws, the omission tables of 100, 500 and all draws, the stake schedule.
void AnalysisFigures(PlayType type, int codeCount, int planPeriods, const PlanResult& result) {
    const DrawHistory& history = HistoryOf(100000);
    benchmark::DoNotOptimize(ComparePlanWithChance(result, type, codeCount, planPeriods));
    benchmark::DoNotOptimize(BuildTrendGrid(history, 100, AnyPosition));
    for (std::optional<int> last : {std::optional<int>(100), std::optional<int>(500), std::optional<int>()})
        benchmark::DoNotOptimize(BuildOmissionTable(history, last, AnyPosition));
    const StakeTerms terms{BetCount(type, codeCount), OfficialPrize(type).value_or(10),
                           FewestWinningBetsAtHit(type, codeCount), planPeriods, 10};
    const StakeSchedule schedule = BuildStakeSchedule(terms);
    benchmark::DoNotOptimize(StakeOutlookOf(schedule, terms, DrawHitProbability(type, codeCount),
                                            AverageWinningBetsPerDraw(type, codeCount)));
}

// Argument: play type position.
void BM_AnalysisFigures(benchmark::State& state) {
    const PlayType type = PlayTypeAt(static_cast<int>(state.range(0)));
    const int planPeriods = ProposedPlanPeriods(type, ChoiceList(type).front());
    const Inputs& in = SharedInputs();
    const PlanResult result =
        EvaluatePlan(RuleOf(type), RuleOf(type).kBase, planPeriods, HistoryOf(100000), in.pool, in.tables);
    for (auto _ : state)
        AnalysisFigures(type, RuleOf(type).kBase, planPeriods, result);
    state.SetLabel(std::string(RuleOf(type).name) + " plans=" + std::to_string(result.completed.size()));
}
BENCHMARK(BM_AnalysisFigures)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// The same with the plan walk itself, as after a refresh cycle.
void BM_PlanRunAndAnalysisFigures(benchmark::State& state) {
    const PlayType type = PlayTypeAt(static_cast<int>(state.range(0)));
    const int planPeriods = ProposedPlanPeriods(type, ChoiceList(type).front());
    const Inputs& in = SharedInputs();
    for (auto _ : state) {
        const PlanResult result =
            EvaluatePlan(RuleOf(type), RuleOf(type).kBase, planPeriods, HistoryOf(100000), in.pool, in.tables);
        AnalysisFigures(type, RuleOf(type).kBase, planPeriods, result);
    }
    state.SetLabel(std::string(RuleOf(type).name));
}
BENCHMARK(BM_PlanRunAndAnalysisFigures)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

// The costliest record: 前三 with three numbers and one period per plan, about 100,000 plans that rarely hit,
// so the typical longest miss run is in the thousands.
void BM_AnalysisFiguresRareHits(benchmark::State& state) {
    const Inputs& in = SharedInputs();
    const PlanResult result = EvaluatePlan(RuleOf(PlayType::Front3), 3, 1, HistoryOf(100000), in.pool, in.tables);
    for (auto _ : state)
        AnalysisFigures(PlayType::Front3, 3, 1, result);
    state.SetLabel("前三 K=3 n=1 plans=" + std::to_string(result.completed.size()));
}
BENCHMARK(BM_AnalysisFiguresRareHits)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvo

BENCHMARK_MAIN();
