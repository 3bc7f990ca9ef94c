#include "AnalysisCommands.h"

#include "CliCommands.h"
#include "CliInputs.h"
#include "tarvo/plan/Plan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

template <typename Number> QJsonArray JsonArrayOf(const std::vector<Number>& values) {
    QJsonArray array;
    for (Number value : values)
        array.append(value);
    return array;
}

void PrintJson(const QJsonObject& object, QTextStream& out) {
    out << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) << u'\n';
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
    const PlanChoices& choices = plan.choices;
    const PlanAgainstChance figures =
        ComparePlanWithChance(plan.result, choices.type, choices.codeCount, choices.planPeriods);
    PrintJson({{u"plans"_s, figures.plans},
               {u"hits"_s, figures.hits},
               {u"misses"_s, figures.misses},
               {u"draw_hit_probability"_s, figures.drawHitProbability},
               {u"plan_hit_probability"_s, figures.planHitProbability},
               {u"wilson95"_s, QJsonArray{figures.wilson95.low, figures.wilson95.high}},
               {u"hit_at_period"_s, JsonArrayOf(figures.hitsAtPeriod)},
               {u"expected_hit_at_period"_s, JsonArrayOf(figures.expectedHitsAtPeriod)}},
              out);
    return CliOk;
}

QJsonObject OmissionJson(const NumberOmission& figures) {
    return {{u"number"_s, u"%1"_s.arg(figures.number, 2, 10, QChar(u'0'))},
            {u"hits"_s, figures.hits},
            {u"expected_hits"_s, figures.expectedHits},
            {u"current"_s, figures.current},
            {u"max"_s, figures.longest},
            {u"average"_s, figures.average}};
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
    QJsonArray numbers;
    for (const NumberOmission& figures : table.numbers)
        numbers.append(OmissionJson(figures));
    PrintJson({{u"draws"_s, table.draws}, {u"numbers"_s, numbers}}, out);
    return CliOk;
}

QJsonObject StakeRowJson(const StakeRow& row) {
    return {{u"period"_s, row.period},
            {u"multiplier"_s, qint64(row.multiplier)},
            {u"cost"_s, qint64(row.cost)},
            {u"total_cost"_s, qint64(row.totalCost)},
            {u"return"_s, qint64(row.hitReturn)},
            {u"profit"_s, qint64(row.profit)}};
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
    QJsonArray rows;
    for (const StakeRow& row : schedule.rows)
        rows.append(StakeRowJson(row));
    PrintJson({{u"possible"_s, schedule.possible}, {u"rows"_s, rows}}, out);
    return CliOk;
}

} // namespace

bool IsAnalysisCommand(const QString& command) {
    return command == u"stats"_s || command == u"omission"_s || command == u"stake"_s;
}

int RunAnalysisCommand(const QString& command, const QStringList& arguments, QTextStream& out) {
    if (command == u"stats"_s)
        return Stats(arguments, out);
    if (command == u"omission"_s)
        return Omission(arguments, out);
    return Stake(arguments, out);
}

} // namespace tarvo
