#include "tarvo/plan/PlanReport.h"
#include "tarvo/plan/EvaluatePlan.h"

#include "PlanTestData.h"
#include "ReferencePlan.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

using test::FormulaStartingWith;
using test::MakeDraw;
using test::RandomHistory;
using test::UniformPool;

using test::Tables;

// A history and pool whose 前一 plans with K = 3 and n = 3 are a hit, a miss, a hit and a running plan
// whose formula begins 09 01 06.
DrawHistory ExampleHistory() {
    return {MakeDraw(101, {1, 2, 4, 5, 6}), MakeDraw(102, {3, 8, 1, 10, 6}), MakeDraw(103, {1, 2, 3, 4, 5}),
            MakeDraw(104, {2, 1, 3, 4, 5}), MakeDraw(105, {7, 2, 9, 4, 1}),  MakeDraw(106, {11, 4, 2, 6, 9}),
            MakeDraw(107, {5, 9, 1, 6, 2})};
}

FormulaPool ExamplePool() {
    FormulaPool pool = UniformPool(FormulaStartingWith({3, 5, 7}));
    pool.replace(2, FormulaStartingWith({9, 10, 11}));
    pool.replace(5, FormulaStartingWith({11, 10, 8}));
    pool.replace(6, FormulaStartingWith({9, 1, 6}));
    return pool;
}

TEST(PlanReport, Front1ExampleReadsLineForLine) {
    const PlanResult result = EvaluatePlan(RuleOf(PlayType::Front1), 3, 3, ExampleHistory(), ExamplePool(), Tables());
    const PlanReport report = BuildPlanReport(result, PlayType::Front1);

    const std::vector<std::string> expected{
        "101-103期【前一】102期开03 08 01 10 06  2期 中",
        "103-105期【前一】105期开07 02 09 04 01  3期 挂",
        "106-108期【前一】106期开11 04 02 06 09  1期 中",
        "107-109期【直选】 计划进行中。。。",
        "",
        "计划成功率66% 中[2]    挂[1]  连挂[0]  连中[1]",
        "",
        std::string(PromotionalLine),
    };
    EXPECT_EQ(report.planLines, expected);
    EXPECT_EQ(report.codeText, "09,01,06,");
    EXPECT_EQ(report.labelText, "当前投注：3注");
}

TEST(PlanReport, Front2AndAny2ShowTheSameBetNumbersAsTableEntries) {
    // One row: the first plan of both types starts after it, with formula 1.
    FormulaPool pool = UniformPool(FormulaStartingWith({2, 3, 4}));
    pool.replace(1, FormulaStartingWith({9, 1, 6}));
    const DrawHistory history{MakeDraw(107, {5, 9, 1, 6, 2})};

    const PlanReport front2 =
        BuildPlanReport(EvaluatePlan(RuleOf(PlayType::Front2), 3, 3, history, pool, Tables()), PlayType::Front2);
    EXPECT_EQ(front2.planLines.front(), "108-110期【前二】 计划进行中。。。");
    EXPECT_EQ(front2.codeText, "01 06,01 09,06 01,06 09,09 01,09 06,");
    EXPECT_EQ(front2.labelText, "当前投注：6");

    const PlanReport any2 =
        BuildPlanReport(EvaluatePlan(RuleOf(PlayType::Any2), 3, 3, history, pool, Tables()), PlayType::Any2);
    EXPECT_EQ(any2.codeText, "01 06,01 09,06 09,");
    EXPECT_EQ(any2.labelText, "当前投注：3注");
}

TEST(PlanReport, EveryLineNamesItsPlayTypeAsTheGroupShowsItAndOnlyFront2sLabelLacksZhu) {
    PlanResult result;
    result.completed.push_back({4, 20, 24, false, 24, {1, 2, 3, 4, 11}, 5});
    result.running = RunningPlan{9, 25, 29};
    result.misses = 1;
    result.currentBets = CurrentBets{2, {1, 2, 3, 4}};
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        const std::string name(RuleOf(type).name);
        SCOPED_TRACE(name);
        // The running plan of 前一 goes by the name of its bet, 直选.
        const std::string runningName = type == PlayType::Front1 ? "直选" : name;
        const PlanReport report = BuildPlanReport(result, type);
        ASSERT_EQ(report.planLines.size(), 6u);
        EXPECT_EQ(report.planLines[0], "20-24期【" + name + "】24期开01 02 03 04 11  5期 挂");
        EXPECT_EQ(report.planLines[1], "25-29期【" + runningName + "】 计划进行中。。。");
        EXPECT_EQ(report.planLines[3], "计划成功率0% 中[0]    挂[1]  连挂[0]  连中[0]");
        EXPECT_EQ(report.codeText, "01 02,03 04,");
        EXPECT_EQ(report.labelText, type == PlayType::Front2 ? "当前投注：2" : "当前投注：2注");
    }
}

TEST(PlanReport, EveryReportEndsWithTheRunningLineSummaryAndPromotionWithKPlusFiveLines) {
    const DrawHistory history = RandomHistory(400, 31);
    const FormulaPool pool = BuildFormulaPool(8);
    for (int position = 0; position < PlayTypeCount; ++position) {
        const PlayType type = PlayTypeAt(position);
        const PlanResult result = EvaluatePlan(RuleOf(type), RuleOf(type).kBase - 1, 4, history, pool, Tables());
        const PlanReport report = BuildPlanReport(result, type);
        const std::size_t k = result.completed.size();
        ASSERT_EQ(report.planLines.size(), k + 5);
        // The summary as a plain walk works it out: the rate truncates, 连挂 is one less than the longest
        // run of misses (never below 0), 连中 is the longest run of hits.
        const test::ReferenceReport expected =
            test::ReferencePlanReport(position, RuleOf(type).kBase - 1, 4, history, pool);
        EXPECT_NE(report.planLines[k].find("计划进行中。。。"), std::string::npos);
        EXPECT_EQ(report.planLines[k + 1], "");
        EXPECT_EQ(report.planLines[k + 2], expected.planLines[expected.planLines.size() - 3]);
        EXPECT_EQ(report.planLines[k + 3], "");
        EXPECT_EQ(report.planLines[k + 4], PromotionalLine);
    }
}

TEST(PlanReport, EmptyHistoryShowsZeroSummaryPromotionAndTheFirstFormulasBets) {
    const PlanResult result =
        EvaluatePlan(RuleOf(PlayType::Front1), 2, 3, {}, UniformPool(FormulaStartingWith({4, 2})), Tables());
    const PlanReport report = BuildPlanReport(result, PlayType::Front1);
    const std::vector<std::string> expected{"", "计划成功率0% 中[0]    挂[0]  连挂[0]  连中[0]", "",
                                            std::string(PromotionalLine)};
    EXPECT_EQ(report.planLines, expected);
    EXPECT_EQ(report.codeText, "04,02,");
    EXPECT_EQ(report.labelText, "当前投注：2注");
}

TEST(PlanReport, CommandLineTextIsTheReportLineForLineInBlocksOfWholeLines) {
    const FormulaPool pool = BuildFormulaPool(8);
    // Several thousand plans make several blocks; an empty history makes a report without a running
    // plan.
    for (const DrawHistory& history : {RandomHistory(6000, 7), DrawHistory{}}) {
        const PlanResult result = EvaluatePlan(RuleOf(PlayType::Front2), 3, 2, history, pool, Tables());
        const PlanReport report = BuildPlanReport(result, PlayType::Front2);
        std::string expected;
        for (const std::string& line : report.planLines)
            expected += line + "\n";
        expected += "\n" + report.codeText + "\n" + report.labelText + "\n";

        std::vector<std::string> blocks;
        WritePlanReportText(result, PlayType::Front2, [&](std::string_view block) { blocks.emplace_back(block); });
        std::string text;
        for (const std::string& block : blocks) {
            EXPECT_EQ(block.back(), '\n') << "a block ends inside a line";
            text += block;
        }
        EXPECT_EQ(text, expected);
        EXPECT_GT(blocks.size(), history.empty() ? 0u : 2u);
        for (const std::string& block : blocks)
            EXPECT_LE(block.size(), 65536u + 200u) << "the text is held in blocks of about 64 KiB";
    }
}

} // namespace
} // namespace tarvo
