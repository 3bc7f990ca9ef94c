#include "CliCommands.h"

#include "AnalysisCommands.h"
#include "CliInputs.h"
#include "DrawFileCommands.h"
#include "tarvo/plan/Plan.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/StoreError.h"

#include <QIODevice>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

const QString kUsage =
    u"用法：\n"
    u"  tarvo-cli init-db --db FILE\n"
    u"  tarvo-cli import --db FILE --lottery NAME [--dry-run] [--replace] DRAWFILE\n"
    u"  tarvo-cli export --db FILE --lottery NAME [--from PERIOD] [--to PERIOD] > FILE.csv\n"
    u"  tarvo-cli report --db FILE --lottery NAME --type T --item I [--periods N] --seed S\n"
    u"  tarvo-cli stats --db FILE --lottery NAME --type T --item I [--periods N] --seed S\n"
    u"  tarvo-cli omission --db FILE --lottery NAME [--last N] [--position P]\n"
    u"  tarvo-cli stake --bets B --prize W --wins w --periods n --min-profit-rate R [--price 2]\n"
    u"  tarvo-cli record --db FILE --lottery NAME [--from DATE] [--to DATE] [--csv]\n"
    u"T：玩法序号 0..7 或名称（前一 … 任五）；I：号码注数的位置（从 0 起）或文字（如 72注）；\n"
    u"N：计划期数（默认为建议值）；S：公式种子 0 … 86399999；P：开奖位置 0（任意）或 1..5；\n"
    u"R：最低收益率（整数百分比）；DATE：yyyy-MM-dd。stats、omission、stake、record 输出一个 JSON 对象。\n"
    u"import 读入 CSV、TXT 或粘贴保存的开奖（UTF-8 或 GBK），先列出新开奖、已存且相同、与已存不同\n"
    u"和无法读取的行，再存入新开奖；--replace 以文件为准改写与已存不同的期，--dry-run 只列出不存入。\n"
    u"有行无法读取或有不同的期未改写时退出码为 3。export 按期号顺序输出 CSV（UTF-8，带 BOM）。\n"
    u"record 输出实盘记录（程序显示过的进行中计划及其结果，按显示日期筛选）和各设置的成绩；输出前先按已存开奖\n"
    u"判定尚在进行的计划并写回数据库；--csv 输出 CSV（UTF-8，带 BOM）。\n"_s;

int InitDb(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s});
    const QString file = parsed.required(u"db"_s);
    CreateDrawDatabase(file);
    out << u"已创建数据库 %1\n"_s.arg(file);
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
            return ImportDrawFile(rest, out);
        if (command == u"export"_s)
            return ExportDrawFile(rest, out);
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
