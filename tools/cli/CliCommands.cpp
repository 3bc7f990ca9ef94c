#include "CliCommands.h"

#include "AnalysisCommands.h"
#include "CliInputs.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/NewRowFilter.h"
#include "tarvo/store/StoreError.h"

#include <QFile>
#include <QIODevice>
#include <QSet>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString kUsage = u"用法：\n"
                       u"  tarvo-cli init-db --db FILE\n"
                       u"  tarvo-cli import --db FILE --lottery NAME CSVFILE\n"
                       u"  tarvo-cli report --db FILE --lottery NAME --type T --item I [--periods N] --seed S\n"
                       u"  tarvo-cli stats --db FILE --lottery NAME --type T --item I [--periods N] --seed S\n"
                       u"  tarvo-cli omission --db FILE --lottery NAME [--last N] [--position P]\n"
                       u"  tarvo-cli stake --bets B --prize W --wins w --periods n --min-profit-rate R [--price 2]\n"
                       u"T：玩法序号 0..7 或名称（前一 … 任五）；I：号码注数的位置（从 0 起）或文字（如 72注）；\n"
                       u"N：计划期数（默认为建议值）；S：公式种子 0 … 86399999；P：开奖位置 0（任意）或 1..5；\n"
                       u"R：最低收益率（整数百分比）。stats、omission、stake 输出一个 JSON 对象。\n"_s;

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

    // One transaction for the whole file: fast, and a failure part-way adds none of its draws.
    DrawAppender appender(database, lottery);
    appender.beginPass();
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
    appender.commitPass();
    out << u"已添加 %1 期，跳过 %2 行\n"_s.arg(added).arg(skipped);
    return CliOk;
}

// Writes the report. A stream onto a file or pipe in UTF-8 takes its blocks as they are, instead of
// through UTF-16: a report over years of draws is megabytes long. Any other stream (a Windows
// console) takes them as text.
int Report(const QStringList& arguments, QTextStream& out) {
    const ReplayedPlan plan = ReplayStoredPlan(arguments);
    QIODevice* device = out.device();
    const bool asBytes = device && out.encoding() == QStringConverter::Utf8;
    out.flush();
    WritePlanReportText(plan.result, plan.choices.plan.playType, [&](std::string_view block) {
        if (asBytes)
            device->write(block.data(), qint64(block.size()));
        else
            out << QString::fromUtf8(block.data(), qsizetype(block.size()));
    });
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
        if (IsAnalysisCommand(command))
            return RunAnalysisCommand(command, rest, out);
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
