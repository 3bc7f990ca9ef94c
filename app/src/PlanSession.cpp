#include "tarvo/app/PlanSession.h"

#include "tarvo/store/DrawTable.h"

namespace tarvo {

PlanSession::PlanSession(QString appDir, std::function<std::uint32_t()> formulaSeed)
    : appDir_(std::move(appDir))
    , formulaSeed_(std::move(formulaSeed)) {}

void PlanSession::begin(const QString& lottery) {
    state_.AppDir = appDir_;
    state_.CurrentLottery = lottery;
    tables_ = BuildCombinationTables();
}

void PlanSession::BuildFormulaPool() {
    pool_ = tarvo::BuildFormulaPool(formulaSeed_());
}

QStringList PlanSession::reloadHistory() {
    OpenDrawTable();
    LoadDrawHistory();
    return DrawHistoryLines(state_.DrawHistory).mid(0, state_.DrawCount);
}

void PlanSession::OpenDrawTable() {
    state_.DrawCount = tarvo::OpenDrawTable(datamod_, state_.AppDir, state_.CurrentLottery);
}

void PlanSession::LoadDrawHistory() {
    state_.DrawHistory = tarvo::LoadDrawHistory(datamod_.t_caipiao);
}

PlanReport PlanSession::runPlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan) {
    if (pool_.empty())
        BuildFormulaPool();
    PlanResult result = EvaluatePlan(RuleOf(choices.playType), choices.codeCount, choices.planPeriods,
                                     state_.DrawHistory, pool_, tables_, yieldOncePerPlan);
    PlanReport report = BuildPlanReport(result, choices.playType);
    lastChoices_ = choices;
    lastResult_ = std::move(result);
    return report;
}

void PlanSession::trim() {
    if (!state_.AppDir.isEmpty())
        TrimDrawTables(datamod_, state_.AppDir);
}

} // namespace tarvo
