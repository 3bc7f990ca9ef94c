#include "CliCommands.h"

#include "tarvo/plan/Plan.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/NewRowFilter.h"
#include "tarvo/store/StoreError.h"

#include <QFile>
#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString kUsage = u"用法：\n"
                       u"  tarvo-cli init-db --db FILE\n"
                       u"  tarvo-cli import --db FILE --lottery NAME CSVFILE\n"
                       u"  tarvo-cli report --db FILE --lottery NAME --type T --item I [--periods N] --seed S\n"
                       u"T：玩法序号 0..7 或名称（前一 … 任五）；I：号码注数的位置（从 0 起）或文字（如 72注）；\n"
                       u"N：计划期数（默认为建议值）；S：公式种子 0 … 86399999。\n"_s;

class UsageError : public std::runtime_error {
public:
    explicit UsageError(const QString& message)
        : std::runtime_error(message.toStdString()) {}
};

// "--name value" options and the remaining plain arguments of one command.
struct ParsedArguments {
    QHash<QString, QString> options;
    QStringList positional;

    QString required(const QString& name) const {
        if (!options.contains(name))
            throw UsageError(u"缺少选项 --%1"_s.arg(name));
        return options.value(name);
    }
};

ParsedArguments ParseArguments(const QStringList& arguments, const QSet<QString>& known) {
    ParsedArguments parsed;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(u"--"_s)) {
            parsed.positional << argument;
            continue;
        }
        const QString name = argument.mid(2);
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

int InitDb(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s});
    const QString file = parsed.required(u"db"_s);
    CreateDrawDatabase(file);
    out << u"已创建数据库 %1\n"_s.arg(file);
    return CliOk;
}

// A line "period,n1,n2,n3,n4,n5" as a row, or none when it has not six fields.
std::optional<DrawRow> ParseCsvLine(const QString& line) {
    const QStringList fields = line.split(u',');
    if (fields.size() != 6)
        return std::nullopt;
    DrawRow row{fields[0].trimmed(), {}};
    for (int k = 0; k < 5; ++k)
        row.numbers[std::size_t(k)] = fields[k + 1].trimmed();
    return row;
}

int Import(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s, u"lottery"_s});
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    if (parsed.positional.size() != 1)
        throw UsageError(u"需要且只需要一个 CSV 文件"_s);
    QFile csv(parsed.positional.front());
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text))
        throw UsageError(u"无法读取 %1：%2"_s.arg(csv.fileName(), csv.errorString()));

    DrawAppender appender(database, lottery);
    NewRowFilter filter(ParsePeriod(appender.lastStoredPeriod()).value_or(0));
    int added = 0;
    int skipped = 0;
    while (!csv.atEnd()) {
        const QString line = QString::fromUtf8(csv.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        const std::optional<DrawRow> row = ParseCsvLine(line);
        if (!row || !filter.admits(*row)) {
            ++skipped;
            continue;
        }
        appender.append(*row);
        ++added;
    }
    out << u"已添加 %1 期，跳过 %2 行\n"_s.arg(added).arg(skipped);
    return CliOk;
}

int Report(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed =
        ParseArguments(arguments, {u"db"_s, u"lottery"_s, u"type"_s, u"item"_s, u"periods"_s, u"seed"_s});
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    const PlayType type = ParsePlayType(parsed.required(u"type"_s));
    const int item = ParseItem(type, parsed.required(u"item"_s));
    const std::uint32_t seed = ParseSeed(parsed.required(u"seed"_s));
    const std::string entry = ChoiceList(type)[std::size_t(item)];
    int periods = ProposedPlanPeriods(type, entry);
    if (parsed.options.contains(u"periods"_s)) {
        try {
            periods = ParsePlanPeriods(parsed.options.value(u"periods"_s).toStdString());
        } catch (const std::invalid_argument& error) {
            throw UsageError(QString::fromUtf8(error.what()));
        }
    }
    if (!QFile::exists(database))
        throw StoreError(u"找不到数据库文件：%1"_s.arg(database));

    const DrawHistory history = ReadDrawHistory(database, lottery);
    const PlanResult result = EvaluatePlan(RuleOf(type), CodeCountAt(type, item), periods, history,
                                           BuildFormulaPool(seed), BuildCombinationTables());
    const PlanReport report = BuildPlanReport(result, type);
    for (const std::string& line : report.planLines)
        out << QString::fromStdString(line) << u'\n';
    out << u'\n' << QString::fromStdString(report.codeText) << u'\n' << QString::fromStdString(report.labelText)
        << u'\n';
    return CliOk;
}

} // namespace

int RunCliCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const QString command = arguments.value(0);
    const QStringList rest = arguments.mid(1);
    try {
        if (command == u"init-db"_s)
            return InitDb(rest, out);
        if (command == u"import"_s)
            return Import(rest, out);
        if (command == u"report"_s)
            return Report(rest, out);
        if (command == u"--help"_s || command == u"-h"_s || command == u"help"_s) {
            out << kUsage;
            return CliOk;
        }
        throw UsageError(command.isEmpty() ? u"缺少命令"_s : u"未知命令“%1”"_s.arg(command));
    } catch (const UsageError& error) {
        err << QString::fromUtf8(error.what()) << u'\n' << kUsage;
        return CliUsageError;
    } catch (const StoreError& error) {
        err << error.message() << u'\n';
        return CliDatabaseError;
    }
}

} // namespace tarvo
