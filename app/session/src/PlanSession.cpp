#include "tarvo/app/PlanSession.h"

#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

namespace tarvo {

PlanSession::PlanSession(QString appDir, std::function<std::uint32_t()> formulaSeed)
    : appDir_(std::move(appDir))
    , formulaSeed_(std::move(formulaSeed)) {}

void PlanSession::begin(const QString& lottery) {
    state_.AppDir = appDir_;
    state_.CurrentLottery = lottery;
    tables_ = BuildCombinationTables();
}

QString PlanSession::databaseFile() const {
    return databaseFile_.isEmpty() ? DrawDatabasePath(appDir_) : databaseFile_;
}

void PlanSession::setDatabaseFile(const QString& file) {
    if (file == databaseFile())
        return;
    databaseFile_ = file;
    forgetReading();
}

void PlanSession::forgetReading() {
    reader_.reset();
    readAhead_.reset();
    readAheadThread_ = nullptr;
}

void PlanSession::BuildFormulaPool() {
    poolSeed_ = formulaSeed_();
    pool_ = tarvo::BuildFormulaPool(poolSeed_);
    ++poolGeneration_;
}

QStringList PlanSession::reloadHistory() {
    useReaderOfSelectedLottery();
    readWholeHistory();
    return DrawHistoryLines(state_.DrawHistory);
}

void PlanSession::readHistoryAhead(DatabaseThread& thread) {
    auto ahead = std::make_shared<HistoryReadAhead>();
    ahead->databaseFile = databaseFile();
    ahead->lottery = state_.CurrentLottery;
    readAhead_ = ahead;
    readAheadThread_ = &thread;
    thread.run([ahead] {
        try {
            DrawTableReader reader(ahead->databaseFile, ahead->lottery);
            ahead->history = reader.readAll(ahead->mark);
            ahead->lines = DrawHistoryLines(ahead->history);
            ahead->read = true;
        } catch (const StoreError&) {
            // The reading on the window's thread tells the error.
        }
    });
}

void PlanSession::dropHistoryReadAhead() {
    if (!readAhead_)
        return;
    readAheadThread_->waitForIdle();
    readAhead_.reset();
    readAheadThread_ = nullptr;
}

// A reading ahead of a table that changed since is still a sound start: the incremental reading
// after it sees every change (or reads whole when it cannot tell).
std::optional<QStringList> PlanSession::takeHistoryReadAhead() {
    if (!readAhead_)
        return std::nullopt;
    readAheadThread_->waitForIdle();
    const std::shared_ptr<HistoryReadAhead> ahead = std::exchange(readAhead_, nullptr);
    readAheadThread_ = nullptr;
    if (!ahead->read || ahead->lottery != state_.CurrentLottery || ahead->databaseFile != databaseFile())
        return std::nullopt;
    reader_ = std::make_unique<DrawTableReader>(ahead->databaseFile, ahead->lottery);
    mark_ = ahead->mark;
    state_.DrawHistory = std::move(ahead->history);
    state_.DrawCount = int(state_.DrawHistory.size());
    ++historyGeneration_;
    return std::move(ahead->lines);
}

HistoryUpdate PlanSession::refreshHistory() {
    std::optional<QStringList> linesReadAhead = takeHistoryReadAhead();
    if (!reader_ || reader_->lottery() != state_.CurrentLottery)
        return {true, reloadHistory()};
    TableMark mark = mark_;
    std::optional<DrawHistory> newer = reader_->readNewer(mark);
    if (!newer)
        return {true, reloadHistory()};
    mark_ = mark;
    state_.DrawHistory.insert(state_.DrawHistory.end(), newer->begin(), newer->end());
    state_.DrawCount = int(state_.DrawHistory.size());
    if (linesReadAhead)
        return {true, *linesReadAhead + DrawHistoryLines(*newer)};
    return {false, DrawHistoryLines(*newer)};
}

// The selected lottery's table is read through a reader of its own, which opens the file at each
// reading.
void PlanSession::useReaderOfSelectedLottery() {
    if (!reader_ || reader_->lottery() != state_.CurrentLottery)
        reader_ = std::make_unique<DrawTableReader>(databaseFile(), state_.CurrentLottery);
}

void PlanSession::readWholeHistory() {
    TableMark mark;
    DrawHistory history;
    try {
        history = reader_->readAll(mark);
    } catch (...) {
        reader_.reset(); // what was read before no longer matches the reader: the next reading is whole
        throw;
    }
    mark_ = mark;
    history.shrink_to_fit(); // read row by row, it may hold room for half as many draws again, for good
    state_.DrawHistory = std::move(history);
    state_.DrawCount = int(state_.DrawHistory.size());
    ++historyGeneration_;
}

// The last result is carried on over the draws added since, when it was replayed for the same choices,
// pool and history: a refresh then costs what the new draws cost, not the years before them. Anything
// else is replayed whole into the spare result, so that the last one stays whole while the window paints
// (and may read it) during the replay.
PlanResult& PlanSession::evaluate(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan) {
    if (pool_.empty())
        BuildFormulaPool();
    const PlayTypeRule& rule = RuleOf(choices.playType);
    if (lastResultGrowsInto(choices)) {
        ContinuePlanInto(*lastResult_, rule, choices.codeCount, choices.planPeriods, state_.DrawHistory, pool_,
                         tables_);
        return *lastResult_;
    }
    EvaluatePlanInto(spare_, rule, choices.codeCount, choices.planPeriods, state_.DrawHistory, pool_, tables_,
                     yieldOncePerPlan);
    return spare_;
}

bool PlanSession::lastResultGrowsInto(const PlanChoices& choices) const {
    return lastResult_ && lastChoices_ == choices && lastRunPoolGeneration_ == poolGeneration_ &&
           lastRunHistoryGeneration_ == historyGeneration_;
}

PlanReport PlanSession::runPlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan) {
    PlanResult& result = evaluate(choices, yieldOncePerPlan);
    PlanReport report = BuildPlanReport(result, choices.playType);
    remember(choices, result);
    lastRunContinuable_ = false; // the caller shows this report somewhere of its own
    return report;
}

void PlanSession::remember(const PlanChoices& choices, PlanResult& result) {
    lastChoices_ = choices;
    if (!lastResult_)
        lastResult_.emplace();
    if (&result != &*lastResult_) {
        // The result replaced gives its memory back: years of plans are not kept twice while idle.
        std::swap(*lastResult_, result);
        result = PlanResult{};
    }
    lastRunPoolGeneration_ = poolGeneration_;
    lastRunHistoryGeneration_ = historyGeneration_;
    lastRunContinuable_ = true;
}

std::size_t PlanSession::completedPlansKept(const PlanChoices& choices) const {
    // A plan that completed depends only on the rows up to its end, its formula and the choices, so
    // it stands as long as those have not changed; the running plan and the summary always may.
    return lastRunContinuable_ && lastResultGrowsInto(choices) ? lastResult_->completed.size() : 0;
}

PlanUpdate PlanSession::updatePlan(const PlanChoices& choices, const std::function<void()>& yieldOncePerPlan) {
    const std::size_t kept = completedPlansKept(choices);
    PlanResult& result = evaluate(choices, yieldOncePerPlan);
    PlanUpdate update{qsizetype(kept), BuildPlanReport(result, choices.playType, kept)};
    remember(choices, result);
    return update;
}

PlanAgainstChance PlanSession::replayAgainstChance(const PlanChoices& choices) const {
    if (pool_.empty())
        return {};
    const PlanResult result = EvaluatePlan(RuleOf(choices.playType), choices.codeCount, choices.planPeriods,
                                           state_.DrawHistory, pool_, tables_, {});
    return ComparePlanWithChance(result, choices.playType, choices.codeCount, choices.planPeriods);
}

std::optional<LivePlan> PlanSession::shownPlan(const QDateTime& at) const {
    if (!lastChoices_ || !lastResult_ || !lastResult_->running)
        return std::nullopt;
    const RunningPlan& running = *lastResult_->running;
    LivePlan plan;
    plan.lottery = state_.CurrentLottery;
    plan.firstPeriod = QStringLiteral("20%1").arg(running.firstPeriod, 8, 10, QChar(u'0'));
    plan.lastPeriod = QStringLiteral("20%1").arg(running.lastPeriod, 8, 10, QChar(u'0'));
    plan.playType = QString::fromUtf8(RuleOf(lastChoices_->playType).name.data(),
                                      qsizetype(RuleOf(lastChoices_->playType).name.size()));
    plan.codeCount = lastChoices_->codeCount;
    plan.planPeriods = lastChoices_->planPeriods;
    plan.poolSeed = poolSeed_;
    QStringList numbers;
    for (int number : lastResult_->betNumbers)
        numbers << GameNumberText(number);
    plan.betNumbers = numbers.join(u' ');
    plan.betCount = lastResult_->currentBets.count();
    plan.shownAt = at;
    return plan;
}

void PlanSession::trim() {
    if (!state_.AppDir.isEmpty())
        TrimDrawTables(databaseFile());
}

} // namespace tarvo
