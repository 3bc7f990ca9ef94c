#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/plan/LivePlanOutcome.h"
#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/PlayType.h"
#include "tarvo/plan/WilsonInterval.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <optional>
#include <utility>

namespace tarvo {

// One plan the window showed as running, and what came of it.
struct LivePlan {
    qint64 id = 0;        // its number in the record (0 before it is stored)
    QString lottery;      // as the lottery group names it
    QString firstPeriod;  // ten digits
    QString lastPeriod;   // ten digits, as the window showed it
    QString playType;     // 前一 … 任五
    int codeCount = 0;    // the numbers bet
    int planPeriods = 0;  // the draws the plan watches at most
    quint32 poolSeed = 0; // the seed of the formula pool it came from
    QString betNumbers;   // the numbers bet, two digits each, separated by blanks, in formula order: "01 09 10"
    int betCount = 0;     // the bets (注数) the window showed
    QDateTime shownAt;    // first shown (kept to the millisecond, in local time)
    LiveOutcome outcome = LiveOutcome::Running;
    int hitAtPeriod = 0;    // Hit: 1..planPeriods; 0 otherwise
    QString decidingPeriod; // ten digits: the hitting draw's period, or the last watched draw's; empty while running
    bool left = false;      // the player changed the settings while it ran: the record keeps it as shown
    bool operator==(const LivePlan&) const = default;
};

// An outcome in words, as the record stores it and the window shows it: 进行中, 中, 挂.
QString LiveOutcomeText(LiveOutcome outcome);
// What came of a plan as the player reads it: 中（第k期）, 挂 or 进行中.
QString LiveOutcomeWords(const LivePlan& plan);

// The settings a plan was shown with: play type, code count, plan period count.
struct LiveSetting {
    QString playType;
    int codeCount = 0;
    int planPeriods = 0;
    bool operator==(const LiveSetting&) const = default;
};

LiveSetting LiveSettingOf(const LivePlan& plan);

// How many plans passed a filter, how many of them are decided, and how many of those hit.
struct LiveTally {
    int recorded = 0;
    int decided = 0;
    int hits = 0;
};

// Which plans of the record to read; an empty text, an invalid date and 0 mean any.
struct LiveRecordFilter {
    QString lottery{};
    QDate from{}, to{}; // dates the plans were first shown, inclusive
    QString playType{};
    int codeCount = 0;
    int planPeriods = 0;
};

// The record of the plans the window showed as running: the table 实盘记录 beside the draw tables, in the
// same file. It never reads or writes a draw table.
class LiveRecord {
public:
    // Works through an open connection; every call may throw StoreError.
    explicit LiveRecord(QSqlDatabase db)
        : db_(std::move(db)) {}

    // Makes the table 实盘记录 when missing. A table of another shape (an older version) or one that cannot be read
    // (damaged) is set aside under a new name (实盘记录_旧_yyyyMMddHHmmss) and a new one made; returns the text to
    // tell the player once in that case, empty otherwise. Never touches the draw tables.
    QString ensureTable();

    // Records a shown plan unless the same one (lottery, first period, play type, code count, plan periods, pool
    // seed, bet numbers) is recorded already, by this or another run of the program on the same file: the table's
    // unique key and "insert or ignore" keep it once under the database's own locking. Every other still-running
    // plan of the lottery is marked as left (the player moved on); a plan once left stays so. Returns the stored
    // plan's id (the existing one's when it was there). Runs in a transaction of its own, so not inside one.
    qint64 record(const LivePlan& plan);

    // The still-running plans of a lottery, in the order they were recorded, left ones too: a plan the player left
    // is still judged, so that leaving the plans that go badly cannot make the record look better. None without
    // the table; a table of another shape (ensureTable has not run) throws StoreError, as in read().
    QList<LivePlan> undecided(const QString& lottery);

    // Stores what came of a plan; throws StoreError when the record holds no plan of that id.
    void setOutcome(qint64 id, LiveOutcome outcome, int hitAtPeriod, const QString& decidingPeriod);

    // The plans that pass the filter, in the order they were shown. None without the table.
    QList<LivePlan> read(const LiveRecordFilter& filter);
    // The newest `limit` plans that pass the filter, in the order they were recorded. None without the table.
    QList<LivePlan> readNewest(const LiveRecordFilter& filter, int limit);
    // The plans that pass the filter counted by setting, without reading them: each setting once, in the order it
    // was first recorded. None without the table.
    QList<std::pair<LiveSetting, LiveTally>> tallyBySetting(const LiveRecordFilter& filter);

private:
    QSqlDatabase db_;
};

// A running plan as the draws (oldest first) decide it so far: outcome, hit period and deciding period filled in
// when its draws have decided it; as it was while they have not, when it is decided already, or when the record holds
// it in a form that cannot be judged (an unknown play type, bet numbers or first period that do not read).
LivePlan JudgedPlan(const LivePlan& plan, const DrawHistory& history);

// Judges every undecided plan of the lottery against its draw history (oldest first) and stores what was decided,
// as JudgedPlan does, in one transaction; returns the plans newly decided, as now stored. Nothing happens without the
// table. Throws StoreError.
QList<LivePlan> JudgeUndecided(const QString& databaseFile, const QString& lottery, const DrawHistory& history);

// What JudgeUndecidedFrom decided, and the first period (as Draw holds it) of the oldest plan it left
// undecided, none when it left none (a plan whose first period does not read is not counted).
struct JudgedRecord {
    QList<LivePlan> decided;
    std::optional<std::int32_t> oldestUndecided;
};

// As JudgeUndecided, over the history's newest draws from some draw on (`draws`; the whole history when
// `wholeHistory`): a window judging years of draws at every new draw hands over only those that plans
// still running need. A plan that began before the first of `draws` is judged against the lottery's
// stored draws, read from the file (once).
JudgedRecord JudgeUndecidedFrom(const QString& databaseFile, const QString& lottery, const DrawHistory& draws,
                                bool wholeHistory);

// The figures of a set of decided plans of one setting, as the analysis window's 计划成绩 shows them for the replay:
// plans, hits, misses, p (DrawHitProbability), q (PlanHitProbability), the 95 % Wilson interval of hits/plans and
// the verdict (VerdictOf).
struct LiveFigures {
    int plans = 0;
    int hits = 0;
    int misses = 0;
    double drawHitProbability = 0;
    double planHitProbability = 0;
    ProportionInterval wilson95{0.0, 1.0};
    ChanceVerdict verdict = ChanceVerdict::NoSignificantDifference;
};

// The figures of the decided plans among `plans` that have this play type, code count and plan period count;
// running plans and plans of other settings do not count, left ones do. Throws std::invalid_argument for a code
// count outside 1..11.
LiveFigures FiguresOf(const QList<LivePlan>& plans, PlayType type, int codeCount, int planPeriods);
// The same from the tally of the plans of that setting.
LiveFigures FiguresOf(const LiveTally& tally, PlayType type, int codeCount, int planPeriods);

// The record as spreadsheets open it, as the window exports it and tarvo-cli record --csv prints it: UTF-8 with a
// byte order mark, a header line, one line per plan, CR LF line ends.
QByteArray LiveRecordCsv(const QList<LivePlan>& plans);

} // namespace tarvo
