#pragma once

#include "tarvo/app/u_public.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/plan/PlanChoices.h"
#include "tarvo/store/Tdatamod.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace tarvo {

// The program's data and the work done on it, without a window: the program-wide state (program
// folder, selected lottery, the draw history and its row count), the candidate tables, the formula
// pool, the data module through which the selected table is read, and the last plan run. The main
// window maps its controls to these calls and shows what they return; other windows read the same
// session through its const access. Failures throw (StoreError from the store, std::invalid_argument
// from the plan) and leave what was shown before as it was.
class PlanSession {
public:
    // appDir ends with a separator; formulaSeed gives the seed of every new formula pool.
    PlanSession(QString appDir, std::function<std::uint32_t()> formulaSeed);

    // The start of the program: the program folder becomes known, the given lottery is selected and
    // the candidate tables are built.
    void begin(const QString& lottery);
    void BuildFormulaPool();
    void selectLottery(const QString& lottery) { state_.CurrentLottery = lottery; }

    // Reopens the selected lottery's table (OpenDrawTable), reads it whole into the draw history
    // (LoadDrawHistory) and returns the history box's lines, oldest first. On a failure the draw
    // history stays as it was.
    QStringList reloadHistory();

    // Replays the chain of plans of the choices over the draw history and returns the report to show.
    // A pool is drawn first when there is none yet (a start-up that stopped before its pool step).
    // yieldOncePerPlan (may be empty) lets the window paint; it must not call back into the session.
    PlanReport runPlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan = {});

    // Trims the tables as the program ends (TrimDrawTables); nothing when the program folder never
    // became known.
    void trim();

    const PublicState& state() const { return state_; }
    const CandidateTables& tables() const { return tables_; }
    const tarvo::FormulaPool& formulaPool() const { return pool_; }
    // The choices and the result of the last plan run that completed; none before the first.
    const std::optional<PlanChoices>& lastChoices() const { return lastChoices_; }
    const std::optional<PlanResult>& lastResult() const { return lastResult_; }

private:
    void OpenDrawTable();
    void LoadDrawHistory();

    QString appDir_;
    std::function<std::uint32_t()> formulaSeed_;
    PublicState state_;
    CandidateTables tables_;
    tarvo::FormulaPool pool_;
    Tdatamod datamod_;
    std::optional<PlanChoices> lastChoices_;
    std::optional<PlanResult> lastResult_;
};

} // namespace tarvo
