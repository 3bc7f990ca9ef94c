#include "AnalysisCommands.h"

#include "CliCommands.h"
#include "CliInputs.h"
#include "tarvo/plan/Plan.h"

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
    return JsonObject({{u"number"_s, Json(u"%1"_s.arg(figures.number, 2, 10, QChar(u'0')))},
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
