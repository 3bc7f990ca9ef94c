#include "CliInputs.h"

#include "tarvo/plan/CandidateTables.h"
#include "tarvo/plan/CodeCountChoices.h"
#include "tarvo/plan/EvaluatePlan.h"
#include "tarvo/plan/FormulaPool.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

PlayType ParsePlayType(const QString& text) {
    if (const std::optional<PlayType> named = PlayTypeNamed(text.toStdString()))
        return *named;
    const std::optional<int> position = WholeNumber(text);
    if (position && *position >= 0 && *position < PlayTypeCount)
        return PlayTypeAt(*position);
    QStringList names;
    for (int p = 0; p < PlayTypeCount; ++p)
        names << QString::fromStdString(std::string(RuleOf(PlayTypeAt(p)).name));
    throw UsageError(u"未知玩法“%1”，可选 0..%2 或 %3"_s.arg(text).arg(PlayTypeCount - 1).arg(names.join(u' ')));
}

int ParseItem(PlayType type, const QString& text) {
    QStringList entries;
    for (const std::string& entry : ChoiceList(type))
        entries << QString::fromStdString(entry);
    std::optional<int> position = WholeNumber(text);
    if (!position && entries.contains(text))
        position = int(entries.indexOf(text));
    if (!position || *position < 0 || *position >= entries.size())
        throw UsageError(u"号码注数“%1”不在这个玩法的选项中：%2"_s.arg(text, entries.join(u' ')));
    return *position;
}

std::uint32_t ParseSeed(const QString& text) {
    bool ok = false;
    const qlonglong seed = text.toLongLong(&ok);
    if (!ok || seed < 0 || seed > 86'399'999)
        throw UsageError(u"种子“%1”必须是 0 … 86399999 的整数"_s.arg(text));
    return std::uint32_t(seed);
}

} // namespace

QString ParsedArguments::required(const QString& name) const {
    if (!options.contains(name))
        throw UsageError(u"缺少选项 --%1"_s.arg(name));
    return options.value(name);
}

ParsedArguments ParseArguments(const QStringList& arguments, const QSet<QString>& known,
                               const QSet<QString>& knownSwitches) {
    ParsedArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(u"--"_s)) {
            parsed.positional << argument;
            continue;
        }
        const QString name = argument.mid(2);
        if (knownSwitches.contains(name)) {
            parsed.switches.insert(name);
            continue;
        }
        if (!known.contains(name))
            throw UsageError(u"未知选项 %1"_s.arg(argument));
        if (i + 1 >= arguments.size())
            throw UsageError(u"选项 %1 缺少取值"_s.arg(argument));
        parsed.options.insert(name, arguments[++i]);
    }
    return parsed;
}

QString RequireLottery(const QString& name) {
    if (!LotteryNames().contains(name))
        throw UsageError(u"未知彩种“%1”，可选：%2"_s.arg(name, LotteryNames().join(u"、"_s)));
    return name;
}

std::optional<int> WholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

int WholeNumberOption(const ParsedArguments& parsed, const QString& name) {
    const QString text = parsed.required(name);
    const std::optional<int> value = WholeNumber(text);
    if (!value)
        throw UsageError(u"选项 --%1 的取值“%2”不是整数"_s.arg(name, text));
    return *value;
}

ReplayChoices ParseReplayChoices(const ParsedArguments& parsed) {
    const PlayType type = ParsePlayType(parsed.required(u"type"_s));
    const int item = ParseItem(type, parsed.required(u"item"_s));
    const std::uint32_t seed = ParseSeed(parsed.required(u"seed"_s));
    int periods = ProposedPlanPeriods(type, ChoiceList(type)[std::size_t(item)]);
    if (parsed.options.contains(u"periods"_s)) {
        try {
            periods = ParsePlanPeriods(parsed.options.value(u"periods"_s).toStdString());
        } catch (const std::invalid_argument& error) {
            throw UsageError(QString::fromUtf8(error.what()));
        }
    }
    return {{type, CodeCountAt(type, item), periods}, seed};
}

QSet<QString> ReplayChoiceOptions(const QSet<QString>& others) {
    return QSet<QString>{u"type"_s, u"item"_s, u"periods"_s, u"seed"_s}.unite(others);
}

DrawHistory ReadStoredDraws(const QString& database, const QString& lottery) {
    if (!QFile::exists(database))
        throw StoreError(u"找不到数据库文件：%1"_s.arg(database));
    return ReadDrawHistory(database, lottery);
}

ReplayedPlan ReplayStoredPlan(const QStringList& arguments) {
    const ParsedArguments parsed = ParseArguments(arguments, ReplayChoiceOptions({u"db"_s, u"lottery"_s}));
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    const ReplayChoices choices = ParseReplayChoices(parsed);
    const PlanChoices& plan = choices.plan;
    const DrawHistory history = ReadStoredDraws(database, lottery);
    return {choices, EvaluatePlan(RuleOf(plan.playType), plan.codeCount, plan.planPeriods, history,
                                  BuildFormulaPool(choices.seed), BuildCombinationTables())};
}

} // namespace tarvo
