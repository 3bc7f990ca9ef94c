#include "DrawFileCommands.h"

#include "BinaryOutput.h"
#include "CliCommands.h"
#include "CliInputs.h"
#include "tarvo/fetch/DrawImport.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/StoreError.h"

#include <QDateTime>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The most of a refused line the tool prints; a longer line is cut and marked.
constexpr qsizetype LongestShownLine = 200;

// A line of the player's file as a terminal may show it: control characters (an escape sequence
// would act on the terminal) become U+FFFD, tabs aside.
QString ShownLine(const QString& text) {
    QString shown = text.size() > LongestShownLine ? text.first(LongestShownLine) + u"…"_s : text;
    for (QChar& c : shown) {
        if (c != u'\t' && c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

// Numbers as the player reads them: two digits where the stored text is a number.
QString NumbersText(const std::array<QString, 5>& numbers) {
    QStringList texts;
    for (const QString& number : numbers) {
        bool ok = false;
        const int value = number.trimmed().toInt(&ok);
        texts << (ok ? GameNumberText(value) : number);
    }
    return texts.join(u' ');
}

void PrintCounts(const ImportPreview& preview, QTextStream& out) {
    out << u"新开奖 %1 期；已存且相同 %2 期；与已存不同 %3 期；无法读取 %4 行\n"_s.arg(preview.count(ImportStatus::New))
               .arg(preview.count(ImportStatus::Same))
               .arg(preview.count(ImportStatus::Disagrees))
               .arg(preview.refused.size());
}

void PrintRefused(const ImportPreview& preview, QTextStream& out) {
    for (const RefusedLine& refused : preview.refused)
        out << u"第 %1 行：%2：%3\n"_s.arg(refused.line).arg(refused.reason, ShownLine(refused.text));
}

void PrintDisagreements(const ImportPreview& preview, bool replace, QTextStream& out) {
    const QString decision = replace ? u"以文件为准"_s : u"保留已存"_s;
    for (const ImportedDraw& draw : preview.draws) {
        if (draw.status != ImportStatus::Disagrees)
            continue;
        out << u"%1 期与已存不同：已存 %2（%3），文件第 %4 行 %5，%6\n"_s.arg(
            draw.row.period, NumbersText(draw.storedNumbers), draw.storedOrigin, QString::number(draw.line),
            NumbersText(draw.row.numbers), decision);
    }
}

QSet<QString> DisagreeingPeriods(const ImportPreview& preview) {
    QSet<QString> periods;
    for (const ImportedDraw& draw : preview.draws) {
        if (draw.status == ImportStatus::Disagrees)
            periods.insert(draw.row.period);
    }
    return periods;
}

std::optional<QString> PeriodOption(const ParsedArguments& parsed, const QString& name) {
    if (!parsed.options.contains(name))
        return std::nullopt;
    const QString written = parsed.options.value(name);
    const std::optional<QString> period = ReadTypedPeriod(written);
    if (!period)
        throw UsageError(u"选项 --%1 的取值“%2”不是期号（8 位或 10 位数字）"_s.arg(name, written));
    return period;
}

} // namespace

int ImportDrawFile(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s, u"lottery"_s}, {u"dry-run"_s, u"replace"_s});
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    if (parsed.positional.size() != 1)
        throw UsageError(u"需要且只需要一个开奖文件"_s);
    const QString path = parsed.positional.front();
    QString failure;
    const std::optional<QByteArray> bytes = ReadImportFile(path, &failure);
    if (!bytes)
        throw UsageError(failure);

    const bool replace = parsed.has(u"replace"_s);
    const ImportPreview preview = PreviewImport(database, lottery, *bytes, QDate::currentDate());
    PrintCounts(preview, out);
    PrintRefused(preview, out);
    PrintDisagreements(preview, replace, out);
    if (parsed.has(u"dry-run"_s)) {
        out << u"试运行：没有存入任何一期\n"_s;
    } else {
        const ImportOutcome outcome =
            StoreImport(database, lottery, preview.draws, replace ? DisagreeingPeriods(preview) : QSet<QString>(),
                        DrawOrigin{OriginKind::Import, QFileInfo(path).fileName()}, QDateTime::currentDateTime());
        out << u"已存入新开奖 %1 期，以文件为准改写 %2 期\n"_s.arg(outcome.stored).arg(outcome.replaced);
    }
    const bool disagreementLeftOut = !replace && preview.count(ImportStatus::Disagrees) > 0;
    return preview.refused.isEmpty() && !disagreementLeftOut ? CliOk : CliImportIncomplete;
}

int ExportDrawFile(const QStringList& arguments, QTextStream& out) {
    const ParsedArguments parsed = ParseArguments(arguments, {u"db"_s, u"lottery"_s, u"from"_s, u"to"_s});
    const QString database = parsed.required(u"db"_s);
    const QString lottery = RequireLottery(parsed.required(u"lottery"_s));
    if (!parsed.positional.isEmpty())
        throw UsageError(u"export 不接受文件名：输出写到标准输出，可用 > 文件名 保存"_s);
    const QByteArray csv =
        ExportDrawsCsv(database, lottery, PeriodOption(parsed, u"from"_s), PeriodOption(parsed, u"to"_s));
    if (!WriteBytesUnchanged(out, csv))
        throw StoreError(u"无法写出导出的开奖"_s);
    return CliOk;
}

} // namespace tarvo
