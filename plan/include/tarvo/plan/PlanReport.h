#pragma once

#include "tarvo/plan/PlanResult.h"
#include "tarvo/plan/PlayType.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// The promotional line that closes every plan report.
inline constexpr std::string_view PromotionalLine = "加入Tarvo会员，获取更多精准计划：www.tarvo.example";

// The texts the window shows after a plan run.
struct PlanReport {
    // The plan memo: one line per completed plan, the running plan's line, an empty line, the summary,
    // an empty line and the promotional line (k + 5 lines for k completed plans). Without a running
    // plan (empty history) its line is left out: "", summary with zeros, "", promotional line.
    std::vector<std::string> planLines;
    std::string codeText;  // the current bets, each followed by ",", e.g. "09,01,06," or "01 06,01 09,"
    std::string labelText; // "当前投注：3注"; for 前二 the count has no trailing 注
};

// Builds the report of a result of the given play type. With firstCompleted > 0 the plan lines begin
// at that completed plan: the lines a window already shows for the plans before it are left out.
PlanReport BuildPlanReport(const PlanResult& result, PlayType type, std::size_t firstCompleted = 0);

// Writes the report as the command line prints it, in UTF-8 through `write`, a block of whole lines
// at a time: the plan lines of BuildPlanReport, an empty line, the code text and the label text,
// each line ending in '\n'. Years of draws make megabytes of lines that are never all held at once.
void WritePlanReportText(const PlanResult& result, PlayType type, const std::function<void(std::string_view)>& write);

// The completed-plan line, e.g. "101-103期【前一】102期开03 08 01 10 06  2期 中".
std::string CompletedPlanLine(const PlanRecord& record, PlayType type);

// The running plan's line, e.g. "107-109期【直选】 计划进行中。。。".
std::string RunningPlanLine(const RunningPlan& running, PlayType type);

// The summary line, e.g. "计划成功率66% 中[2]    挂[1]  连挂[0]  连中[1]".
std::string SummaryLine(const PlanResult& result);

} // namespace tarvo
