#include "tarvo/plan/PlanReport.h"

#include "NumberText.h"

#include <array>
#include <string_view>

namespace tarvo {

namespace {

struct ReportLiterals {
    std::string_view completedTag; // after the last period of a completed plan
    std::string_view runningTail;  // after the last period of the running plan
    bool labelEndsWithZhu;         // whether the bet count in the label is followed by 注
};

// Indexed by PlayType. 前一 calls its running plan 直选; 前二's label shows the bare count.
constexpr std::array<ReportLiterals, PlayTypeCount> Literals{{
    {"期【前一】", "期【直选】 计划进行中。。。", true},
    {"期【前二】", "期【前二】 计划进行中。。。", false},
    {"期【前三】", "期【前三】 计划进行中。。。", true},
    {"期【任一】", "期【任一】 计划进行中。。。", true},
    {"期【任二】", "期【任二】 计划进行中。。。", true},
    {"期【任三】", "期【任三】 计划进行中。。。", true},
    {"期【任四】", "期【任四】 计划进行中。。。", true},
    {"期【任五】", "期【任五】 计划进行中。。。", true},
}};

const ReportLiterals& LiteralsOf(PlayType type) {
    return Literals.at(static_cast<std::size_t>(type));
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
    if (LiteralsOf(type).labelEndsWithZhu)
        label += "注";
    return label;
}

} // namespace

std::string CompletedPlanLine(const PlanRecord& record, PlayType type) {
    std::string line;
    line.reserve(80);
    line += std::to_string(record.firstPeriod);
    line += '-';
    line += std::to_string(record.lastPeriod);
    line += LiteralsOf(type).completedTag;
    line += std::to_string(record.decidingPeriod);
    line += "期开";
    for (std::int32_t number : record.decidingDraw) {
        AppendNumberText(line, number);
        line += ' ';
    }
    line += ' ';
    line += std::to_string(record.periodsUsed);
    line += record.hit ? "期 中" : "期 挂";
    return line;
}

std::string RunningPlanLine(const RunningPlan& running, PlayType type) {
    return std::to_string(running.firstPeriod) + "-" + std::to_string(running.lastPeriod) +
           std::string(LiteralsOf(type).runningTail);
}

std::string SummaryLine(const PlanResult& result) {
    return "计划成功率" + std::to_string(result.rate) + "% 中[" + std::to_string(result.hits) + "]    挂[" +
           std::to_string(result.misses) + "]  连挂[" + std::to_string(result.missRunFigure) + "]  连中[" +
           std::to_string(result.longestHitRun) + "]";
}

PlanReport BuildPlanReport(const PlanResult& result, PlayType type) {
    PlanReport report;
    report.planLines.reserve(result.completed.size() + 5);
    for (const PlanRecord& record : result.completed)
        report.planLines.push_back(CompletedPlanLine(record, type));
    if (result.running)
        report.planLines.push_back(RunningPlanLine(*result.running, type));
    report.planLines.emplace_back();
    report.planLines.push_back(SummaryLine(result));
    report.planLines.emplace_back();
    report.planLines.emplace_back(PromotionalLine);
    report.codeText = CodeText(result);
    report.labelText = LabelText(result, type);
    return report;
}

} // namespace tarvo
