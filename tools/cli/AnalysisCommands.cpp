#include "AnalysisCommands.h"

#include "BinaryOutput.h"
#include "CliCommands.h"
#include "CliInputs.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/StoreError.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// JSON text built by hand so that an object's keys keep the order the commands document them in
// (QJsonObject sorts its keys). Scalars go through Qt's writer, so numbers keep full precision.
QString Json(const QJsonValue& value) {
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(wrapped.mid(1, wrapped.size() - 2));
}

QString JsonObject(std::initializer_list<std::pair<QString, QString>> members) {
    QStringList texts;
    for (const auto& [key, valueText] : members)
        texts << Json(key) + u':' + valueText;
    return u'{' + texts.join(u',') + u'}';
}

QString JsonList(const QStringList& valueTexts) {
    return u'[' + valueTexts.join(u',') + u']';
}

template <typename Number> QString JsonNumbers(const std::vector<Number>& values) {
    QStringList texts;
    for (Number value : values)
        texts << Json(double(value));
    return JsonList(texts);
}

// Runs an engine step whose refusal of its input is a usage error of the command line.
template <typename Step> auto Checked(Step step) {
    try {
        return step();
    } catch (const std::invalid_argument& error) {
        throw UsageError(QString::fromUtf8(error.what()));
    }
}

int Stats(const QStringList& arguments, QTextStream& out) {
    const ReplayedPlan plan = ReplayStoredPlan(arguments);
    const PlanChoices& choices = plan.choices.plan;
    const PlanAgainstChance figures =
        ComparePlanWithChance(plan.result, choices.playType, choices.codeCount, choices.planPeriods);
    out << JsonObject({{u"plans"_s, Json(figures.plans)},
                       {u"hits"_s, Json(figures.hits)},
                       {u"misses"_s, Json(figures.misses)},
                       {u"draw_hit_probability"_s, Json(figures.drawHitProbability)},
                       {u"plan_hit_probability"_s, Json(figures.planHitProbability)},
                       {u"wilson95"_s, JsonList({Json(figures.wilson95.low), Json(figures.wilson95.high)})},
                       {u"hit_at_period"_s, JsonNumbers(figures.hitsAtPeriod)},
                       {u"expected_hit_at_period"_s, JsonNumbers(figures.expectedHitsAtPeriod)}})
        << u'\n';
    return CliOk;
}

QString OmissionJson(const NumberOmission& figures) {
    return JsonObject({{u"number"_s, Json(GameNumberText(figures.number))},
                       {u"hits"_s, Json(figures.hits)},
                       {u"expected_hits"_s, Json(figures.expectedHits)},
                       {u"current"_s, Json(figures.current)},
                       {u"max"_s, Json(figures.longest)},
                       {u"average"_s, Json(figures.average)}});
}

int Omission(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s, u"lottery"_s, u"last"_s, u"position"_s});
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    std::optional<int> last;
    if (parsed.options.contains(u"last"_s))
        last = WholeNumberOption(parsed, u"last"_s);
    const int position = parsed.options.contains(u"position"_s) ? WholeNumberOption(parsed, u"position"_s) : 0;
    Checked([&] { return BuildOmissionTable({}, last, position); }); // refuses bad arguments before any reading

    const OmissionTable table = BuildOmissionTable(ReadStoredDraws(database, lottery), last, position);
    QStringList numbers;
    for (const NumberOmission& figures : table.numbers)
        numbers << OmissionJson(figures);
    out << JsonObject({{u"draws"_s, Json(table.draws)}, {u"numbers"_s, JsonList(numbers)}}) << u'\n';
    return CliOk;
}

QString StakeRowJson(const StakeRow& row) {
    return JsonObject({{u"period"_s, Json(row.period)},
                       {u"multiplier"_s, Json(qint64(row.multiplier))},
                       {u"cost"_s, Json(qint64(row.cost))},
                       {u"total_cost"_s, Json(qint64(row.totalCost))},
                       {u"return"_s, Json(qint64(row.hitReturn))},
                       {u"profit"_s, Json(qint64(row.profit))}});
}

int Stake(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed =
        ParseArguments(arguments, {u"bets"_s, u"prize"_s, u"wins"_s, u"periods"_s, u"min-profit-rate"_s, u"price"_s});
    StakeTerms terms;
    terms.betsPerPeriod = WholeNumberOption(parsed, u"bets"_s);
    terms.prize = WholeNumberOption(parsed, u"prize"_s);
    terms.winningBetsAtHit = WholeNumberOption(parsed, u"wins"_s);
    terms.periods = WholeNumberOption(parsed, u"periods"_s);
    terms.minProfitPercent = WholeNumberOption(parsed, u"min-profit-rate"_s);
    if (parsed.options.contains(u"price"_s))
        terms.price = WholeNumberOption(parsed, u"price"_s);
    const StakeSchedule schedule = Checked([&] { return BuildStakeSchedule(terms); });
    if (schedule.cutShort)
        throw UsageError(u"第 %1 期起倍投金额将超过 %2 元，请减少期数或提高奖金"_s.arg(schedule.rows.size() + 1)
                             .arg(StakeAmountLimit));
    QStringList rows;
    for (const StakeRow& row : schedule.rows)
        rows << StakeRowJson(row);
    out << JsonObject({{u"possible"_s, Json(schedule.possible)}, {u"rows"_s, JsonList(rows)}}) << u'\n';
    return CliOk;
}

QString OutcomeName(LiveOutcome outcome) {
    switch (outcome) {
    case LiveOutcome::Hit:
        return u"hit"_s;
    case LiveOutcome::Missed:
        return u"missed"_s;
    case LiveOutcome::Running:
        break;
    }
    return u"running"_s;
}

QString VerdictName(ChanceVerdict verdict) {
    switch (verdict) {
    case ChanceVerdict::AboveChance:
        return u"above"_s;
    case ChanceVerdict::BelowChance:
        return u"below"_s;
    case ChanceVerdict::NoSignificantDifference:
        break;
    }
    return u"no different"_s;
}

QString EntryJson(const LivePlan& plan) {
    return JsonObject({{u"shown_at"_s, Json(plan.shownAt.toString(Qt::ISODate))},
                       {u"first_period"_s, Json(plan.firstPeriod)},
                       {u"last_period"_s, Json(plan.lastPeriod)},
                       {u"play_type"_s, Json(plan.playType)},
                       {u"code_count"_s, Json(plan.codeCount)},
                       {u"plan_periods"_s, Json(plan.planPeriods)},
                       {u"pool_seed"_s, Json(qint64(plan.poolSeed))},
                       {u"bet_numbers"_s, Json(plan.betNumbers)},
                       {u"bet_count"_s, Json(plan.betCount)},
                       {u"outcome"_s, Json(OutcomeName(plan.outcome))},
                       {u"hit_at_period"_s, Json(plan.hitAtPeriod)},
                       {u"deciding_period"_s, Json(plan.decidingPeriod)},
                       {u"left"_s, Json(plan.left)}});
}

// The figures of each setting present among the plans, in the order of their first plan; a setting that names no
// play type or an impossible count (a damaged record) has none.
QStringList SummaryJson(const QList<LivePlan>& plans) {
    QList<LiveSetting> settings;
    for (const LivePlan& plan : plans) {
        const LiveSetting setting = LiveSettingOf(plan);
        if (!settings.contains(setting))
            settings << setting;
    }
    QStringList summary;
    for (const LiveSetting& setting : std::as_const(settings)) {
        const std::optional<PlayType> type = PlayTypeNamed(setting.playType.toStdString());
        if (!type || setting.codeCount < 1 || setting.codeCount > 11 || setting.planPeriods < 1)
            continue;
        const LiveFigures figures = FiguresOf(plans, *type, setting.codeCount, setting.planPeriods);
        summary << JsonObject({{u"play_type"_s, Json(setting.playType)},
                               {u"code_count"_s, Json(setting.codeCount)},
                               {u"plan_periods"_s, Json(setting.planPeriods)},
                               {u"plans"_s, Json(figures.plans)},
                               {u"hits"_s, Json(figures.hits)},
                               {u"misses"_s, Json(figures.misses)},
                               {u"draw_hit_probability"_s, Json(figures.drawHitProbability)},
                               {u"plan_hit_probability"_s, Json(figures.planHitProbability)},
                               {u"wilson95"_s, JsonList({Json(figures.wilson95.low), Json(figures.wilson95.high)})},
                               {u"verdict"_s, Json(VerdictName(figures.verdict))}});
    }
    return summary;
}

QDate DateOption(const ParsedArguments& parsed, const QString& name) {
    if (!parsed.options.contains(name))
        return {};
    const QString text = parsed.options.value(name);
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd"_s);
    if (!date.isValid())
        throw UsageError(u"选项 --%1 的取值“%2”不是日期（yyyy-MM-dd）"_s.arg(name, text));
    return date;
}

// The record as the draws stored now decide it. The outcomes are written back, as the window would write them after
// its next refresh; a file that takes no writes (a read-only file) is judged for the printing only.
QList<LivePlan> CurrentRecord(const QString& database, const LiveRecordFilter& filter) {
    const DrawHistory history = ReadStoredDraws(database, filter.lottery);
    Connection connection(database);
    connection.open();
    if (connection.takesWrites())
        JudgeUndecided(database, filter.lottery, history);
    QList<LivePlan> plans = LiveRecord(connection.database()).read(filter);
    for (LivePlan& plan : plans)
        plan = JudgedPlan(plan, history);
    return plans;
}

int Record(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s, u"lottery"_s, u"from"_s, u"to"_s}, {u"csv"_s});
    const QString database = parsed.required(u"db"_s);
    LiveRecordFilter filter;
    filter.lottery = RequireLottery(parsed.required(u"lottery"_s));
    filter.from = DateOption(parsed, u"from"_s);
    filter.to = DateOption(parsed, u"to"_s);
    if (!parsed.positional.isEmpty())
        throw UsageError(u"record 不接受参数“%1”"_s.arg(parsed.positional.join(u' ')));
    if (filter.from.isValid() && filter.to.isValid() && filter.from > filter.to)
        throw UsageError(u"--from 的日期晚于 --to 的日期"_s);

    const QList<LivePlan> plans = CurrentRecord(database, filter);
    if (parsed.has(u"csv"_s)) {
        if (!WriteBytesUnchanged(out, LiveRecordCsv(plans)))
            throw StoreError(u"无法写出实盘记录"_s);
        return CliOk;
    }
    QStringList entries;
    for (const LivePlan& plan : plans)
        entries << EntryJson(plan);
    out << JsonObject({{u"lottery"_s, Json(filter.lottery)},
                       {u"entries"_s, JsonList(entries)},
                       {u"summary"_s, JsonList(SummaryJson(plans))}})
        << u'\n';
    return CliOk;
}

} // namespace

bool IsAnalysisCommand(const QString& command) {
    return command == u"stats"_s || command == u"omission"_s || command == u"stake"_s || command == u"record"_s;
}

int RunAnalysisCommand(const QString& command, const QStringList& arguments, QTextStream& out) {
    if (command == u"stats"_s)
        return Stats(arguments, out);
    if (command == u"omission"_s)
        return Omission(arguments, out);
    if (command == u"record"_s)
        return Record(arguments, out);
    return Stake(arguments, out);
}

} // namespace tarvo
