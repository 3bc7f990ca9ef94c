#pragma once

#include "tarvo/app/PublicState.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/PlanChoices.h"
#include "tarvo/store/DrawTableReader.h"
#include "tarvo/store/LiveRecord.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace tarvo {

class DatabaseThread;

// What a reading of the selected table changes in the history box.
struct HistoryUpdate {
    bool whole = true; // the box is rewritten with `lines`; otherwise `lines` are added at its end
    QStringList lines;
};

// What a plan run changes in the plan box: its lines from `firstLine` on are replaced by the report's
// plan lines (the lines before it are the completed plans the box already shows, which appended draws
// never change).
struct PlanUpdate {
    qsizetype firstLine = 0;
    PlanReport report;
};

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

    // The database the session reads: 彩票数据.mdb in the program folder unless another is set (the
    // demonstration's). A change makes the next reading whole.
    QString databaseFile() const;
    void setDatabaseFile(const QString& file);
    // The next reading of the table is whole: a stored draw was changed in place (a correction),
    // which a reading of what came after the last one cannot see.
    void forgetReading();

    // Reads the selected lottery's table whole into the draw history and returns the history box's
    // lines, oldest first. On a failure the draw history stays as it was.
    QStringList reloadHistory();

    // Starts reading the selected lottery's table whole on `thread` while the caller waits for other
    // work (the start-up download); the next refreshHistory() takes that reading (waiting for it if
    // it is still running) and reads only what changed since, so it shows what a whole reload would.
    // The history box's lines are made there too. The thread must outlive the session's next
    // refreshHistory() or its end.
    void readHistoryAhead(DatabaseThread& thread);
    // Waits for a reading ahead to end and drops it, so that nothing of the session touches the file
    // any more until it is asked to.
    void dropHistoryReadAhead();

    // The refresh cycle's reading of the selected table: only the rows above the newest period read
    // before when the table has changed only by them since the last reading of the same lottery
    // (then they are appended to the draw history), a whole reload otherwise. What the history box
    // shows after applying the update is what a whole reload would show.
    HistoryUpdate refreshHistory();

    // Replays the chain of plans of the choices over the draw history and returns the report to show.
    // A pool is drawn first when there is none yet (a start-up that stopped before its pool step).
    // yieldOncePerPlan (may be empty) lets the window paint; it must not call back into the session.
    PlanReport runPlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan = {});

    // As runPlan, for a window that shows the report of the last run: when the choices and the pool
    // are those of the last run and the draw history has only grown since, the completed plans of the
    // last run are kept and only the lines after them are given.
    PlanUpdate updatePlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan = {});

    // Trims the tables to the rows each lottery keeps, as the program ends; nothing when the program
    // folder never became known.
    void trim();

    const PublicState& state() const { return state_; }
    const CandidateTables& tables() const { return tables_; }
    const tarvo::FormulaPool& formulaPool() const { return pool_; }
    // The choices and the result of the last plan run that completed; none before the first.
    const std::optional<PlanChoices>& lastChoices() const { return lastChoices_; }
    const std::optional<PlanResult>& lastResult() const { return lastResult_; }
    // The replay of other choices over the same draws and formula pool, against chance (what 计划成绩
    // shows for the window's own choices); all zero before the first pool.
    PlanAgainstChance replayAgainstChance(const PlanChoices& choices) const;
    // The seed the formula pool was drawn from (0 before the first pool).
    std::uint32_t poolSeed() const { return poolSeed_; }
    // The plan the last plan run shows as running (the 计划进行中 line), as the live record keeps it,
    // first shown `at`; none before a run or for an empty history.
    std::optional<LivePlan> shownPlan(const QDateTime& at) const;

private:
    void useReaderOfSelectedLottery();
    void readWholeHistory();
    std::optional<QStringList> takeHistoryReadAhead();
    PlanResult& evaluate(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan);
    bool lastResultGrowsInto(const PlanChoices& choices) const;
    std::size_t completedPlansKept(const PlanChoices& choices) const;
    void remember(const PlanChoices& choices, PlanResult& result);

    QString appDir_;
    QString databaseFile_; // empty: 彩票数据.mdb in the program folder
    std::function<std::uint32_t()> formulaSeed_;
    std::uint32_t poolSeed_ = 0;
    PublicState state_;
    CandidateTables tables_;
    tarvo::FormulaPool pool_;
    std::optional<PlanChoices> lastChoices_;
    std::optional<PlanResult> lastResult_;
    PlanResult spare_; // what a whole replay is written into (see evaluate); empty between runs

    // The reader of the selected table and what it has read; none before the first reading.
    std::unique_ptr<DrawTableReader> reader_;
    TableMark mark_;

    // A whole reading made on another thread, until the next reading of the table takes it.
    struct HistoryReadAhead {
        QString databaseFile;
        QString lottery;
        DrawHistory history;
        TableMark mark;
        QStringList lines; // the history box's lines
        bool read = false; // false when the reading failed
    };
    std::shared_ptr<HistoryReadAhead> readAhead_;
    DatabaseThread* readAheadThread_ = nullptr;
    // Change whenever the pool is drawn anew or the history is read whole (not when it grows), so a
    // plan run can tell whether the last run's completed plans still stand.
    std::uint64_t poolGeneration_ = 0;
    std::uint64_t historyGeneration_ = 0;
    std::uint64_t lastRunPoolGeneration_ = 0;
    std::uint64_t lastRunHistoryGeneration_ = 0;
    bool lastRunContinuable_ = false; // the last run was an updatePlan whose lines are shown
};

} // namespace tarvo
