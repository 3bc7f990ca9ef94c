#include "tarvo/plan/PlanAgainstChance.h"

#include "tarvo/plan/BetTerms.h"
#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/LongestRunChance.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarvo {

namespace {

void CountRecord(const PlanResult& result, PlanAgainstChance& figures) {
    int missRun = 0;
    for (const PlanRecord& record : result.completed) {
        missRun = record.hit ? 0 : missRun + 1;
        figures.longestMissRun = std::max(figures.longestMissRun, missRun);
        if (!record.hit)
            continue;
        ++figures.hits;
        const auto period = static_cast<std::size_t>(record.periodsUsed);
        if (period >= 1 && period <= figures.hitsAtPeriod.size())
            ++figures.hitsAtPeriod[period - 1];
    }
    figures.plans = static_cast<int>(result.completed.size());
    figures.misses = figures.plans - figures.hits;
    figures.observedRate = figures.plans == 0 ? 0.0 : static_cast<double>(figures.hits) / figures.plans;
}

void FillExpectedHits(PlanAgainstChance& figures) {
    const double p = figures.drawHitProbability;
    double stillRunning = figures.plans;
    for (double& expected : figures.expectedHitsAtPeriod) {
        expected = stillRunning * p;
        stillRunning *= 1.0 - p;
    }
}

} // namespace

ChanceVerdict VerdictOf(double planHitProbability, const ProportionInterval& interval) {
    if (planHitProbability < interval.low)
        return ChanceVerdict::AboveChance;
    if (planHitProbability > interval.high)
        return ChanceVerdict::BelowChance;
    return ChanceVerdict::NoSignificantDifference;
}

PlanAgainstChance ComparePlanWithChance(const PlanResult& result, PlayType type, int codeCount, int planPeriods) {
    if (planPeriods < 1)
        throw std::invalid_argument("计划期数必须是正整数（现在是 " + std::to_string(planPeriods) + "）");
    PlanAgainstChance figures;
    const auto listed = static_cast<std::size_t>(std::min(planPeriods, MaxListedPeriods));
    figures.hitsAtPeriod.assign(listed, 0);
    figures.expectedHitsAtPeriod.assign(listed, 0.0);
    CountRecord(result, figures);

    figures.hittingDraws = HittingDrawCount(type, codeCount);
    figures.drawHitProbability = DrawHitProbability(type, codeCount);
    figures.planHitProbability = PlanHitProbability(figures.drawHitProbability, planPeriods);
    figures.wilson95 = WilsonInterval95(figures.hits, figures.plans);
    figures.verdict = VerdictOf(figures.planHitProbability, figures.wilson95);
    FillExpectedHits(figures);

    const double missProbability = 1.0 - figures.planHitProbability;
    figures.typicalLongestMissRun = MedianLongestMissRun(figures.plans, missProbability);
    figures.chanceOfLongestMissRun = ChanceOfMissRunAtLeast(figures.plans, figures.longestMissRun, missProbability);
    if (const std::optional<std::int64_t> prize = OfficialPrize(type))
        figures.returnPerYuan = ReturnPerYuan(type, *prize);
    return figures;
}

} // namespace tarvo
