#include "tarvo/plan/PlanReport.h"

#include "tarvo/plan/PlayTypeRule.h"

#include "NumberText.h"

#include <algorithm>
#include <string_view>

namespace tarvo {

namespace {

// The play type's name in brackets that follows the periods of a line: "期【前二】". The running plan
// of 前一 is named 直选 (a straight bet on the first number), its completed plans by the type's name.
std::string Tag(PlayType type, bool running) {
    const std::string_view name = running && type == PlayType::Front1 ? "直选" : RuleOf(type).name;
    return "期【" + std::string(name) + "】";
}

void AppendCompletedLine(std::string& line, const PlanRecord& record, std::string_view tag) {
    line += std::to_string(record.firstPeriod);
    line += '-';
    line += std::to_string(record.lastPeriod);
    line += tag;
    line += std::to_string(record.decidingPeriod);
    line += "期开";
    for (std::int32_t number : record.decidingDraw) {
        AppendNumberText(line, number);
        line += ' ';
    }
    line += ' ';
    line += std::to_string(record.periodsUsed);
    line += record.hit ? "期 中" : "期 挂";
}

std::string CompletedLine(const PlanRecord& record, std::string_view tag) {
    std::string line;
    line.reserve(80);
    AppendCompletedLine(line, record, tag);
    return line;
}

// The label shows the bare count for 前二 and the count followed by 注 for every other type.
bool LabelEndsWithZhu(PlayType type) {
    return type != PlayType::Front2;
}

std::string CodeText(const PlanResult& result) {
    std::string text;
    const CurrentBets& bets = result.currentBets;
    text.reserve(bets.numbers.size() * 3);
    for (int b = 0; b < bets.count(); ++b) {
        const std::span<const std::uint8_t> bet = bets[b];
        for (std::size_t i = 0; i < bet.size(); ++i) {
            if (i > 0)
                text += ' ';
            AppendNumberText(text, bet[i]);
        }
        text += ',';
    }
    return text;
}

std::string LabelText(const PlanResult& result, PlayType type) {
    std::string label = "当前投注：" + std::to_string(result.currentBets.count());
    if (LabelEndsWithZhu(type))
        label += "注";
    return label;
}

// The lines after the completed plans: the running plan's (when there is one), an empty line, the
// summary, an empty line and the promotional line.
std::vector<std::string> ClosingLines(const PlanResult& result, PlayType type);

} // namespace

std::string CompletedPlanLine(const PlanRecord& record, PlayType type) {
    return CompletedLine(record, Tag(type, false));
}

std::string RunningPlanLine(const RunningPlan& running, PlayType type) {
    return std::to_string(running.firstPeriod) + "-" + std::to_string(running.lastPeriod) + Tag(type, true) +
           " 计划进行中。。。";
}

std::string SummaryLine(const PlanResult& result) {
    return "计划成功率" + std::to_string(result.rate) + "% 中[" + std::to_string(result.hits) + "]    挂[" +
           std::to_string(result.misses) + "]  连挂[" + std::to_string(result.missRunFigure) + "]  连中[" +
           std::to_string(result.longestHitRun) + "]";
}

PlanReport BuildPlanReport(const PlanResult& result, PlayType type, std::size_t firstCompleted) {
    PlanReport report;
    firstCompleted = std::min(firstCompleted, result.completed.size());
    report.planLines.reserve(result.completed.size() - firstCompleted + 5);
    const std::string tag = Tag(type, false);
    for (std::size_t i = firstCompleted; i < result.completed.size(); ++i)
        report.planLines.push_back(CompletedLine(result.completed[i], tag));
    for (std::string& line : ClosingLines(result, type))
        report.planLines.push_back(std::move(line));
    report.codeText = CodeText(result);
    report.labelText = LabelText(result, type);
    return report;
}

void WritePlanReportText(const PlanResult& result, PlayType type, const std::function<void(std::string_view)>& write) {
    // Blocks of whole lines, about 64 KiB each: the text of years of draws is never held at once.
    constexpr std::size_t BlockSize = std::size_t(1) << 16;
    std::string block;
    block.reserve(BlockSize + 1024);
    const auto endLine = [&] {
        block += '\n';
        if (block.size() >= BlockSize) {
            write(block);
            block.clear();
        }
    };
    const std::string tag = Tag(type, false);
    for (const PlanRecord& record : result.completed) {
        AppendCompletedLine(block, record, tag);
        endLine();
    }
    for (const std::string& line : ClosingLines(result, type)) {
        block += line;
        endLine();
    }
    endLine();
    block += CodeText(result);
    endLine();
    block += LabelText(result, type);
    endLine();
    if (!block.empty())
        write(block);
}

namespace {

std::vector<std::string> ClosingLines(const PlanResult& result, PlayType type) {
    std::vector<std::string> lines;
    if (result.running)
        lines.push_back(RunningPlanLine(*result.running, type));
    lines.emplace_back();
    lines.push_back(SummaryLine(result));
    lines.emplace_back();
    lines.emplace_back(PromotionalLine);
    return lines;
}

} // namespace

} // namespace tarvo
