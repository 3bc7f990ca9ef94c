#include "tarvo/plan/CodeCountChoices.h"
#include "tarvo/plan/EvaluatePlan.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarvo {
namespace {

struct ChoiceRow {
    PlayType type;
    std::string entry;
    int position;
    int codeCount;
    int bets;
    int proposedPeriods;
};

// Every entry of the code-count box: its code count, the bets it yields and the proposed plan periods.
const std::vector<ChoiceRow> AllChoices{
    {PlayType::Front1, "9码", 0, 9, 9, 4},      {PlayType::Front1, "8码", 1, 8, 8, 4},
    {PlayType::Front1, "7码", 2, 7, 7, 5},      {PlayType::Front1, "6码", 3, 6, 6, 6},
    {PlayType::Front1, "5码", 4, 5, 5, 7},      {PlayType::Front1, "4码", 5, 4, 4, 8},
    {PlayType::Front1, "3码", 6, 3, 3, 11},     {PlayType::Front1, "2码", 7, 2, 2, 17},
    {PlayType::Front2, "72注", 0, 9, 72, 5},    {PlayType::Front2, "56注", 1, 8, 56, 6},
    {PlayType::Front2, "42注", 2, 7, 42, 8},    {PlayType::Front2, "30注", 3, 6, 30, 11},
    {PlayType::Front2, "20注", 4, 5, 20, 17},   {PlayType::Front2, "12注", 5, 4, 12, 28},
    {PlayType::Front2, "6注", 6, 3, 6, 55},     {PlayType::Front3, "504注", 0, 9, 504, 6},
    {PlayType::Front3, "336注", 1, 8, 336, 9},  {PlayType::Front3, "210注", 2, 7, 210, 14},
    {PlayType::Front3, "120注", 3, 6, 120, 25}, {PlayType::Front3, "60注", 4, 5, 60, 50},
    {PlayType::Front3, "24注", 5, 4, 24, 124},  {PlayType::Front3, "6注", 6, 3, 6, 495},
    {PlayType::Any1, "2码", 0, 2, 2, 3},        {PlayType::Any1, "1码", 1, 1, 1, 7},
    {PlayType::Any2, "3注", 0, 3, 3, 6},        {PlayType::Any2, "1注", 1, 2, 1, 17},
    {PlayType::Any3, "10注", 0, 5, 10, 5},      {PlayType::Any3, "4注", 1, 4, 4, 12},
    {PlayType::Any4, "35注", 0, 7, 35, 6},      {PlayType::Any4, "15注", 1, 6, 15, 13},
    {PlayType::Any4, "5注", 2, 5, 5, 40},       {PlayType::Any5, "252注", 0, 10, 252, 6},
    {PlayType::Any5, "126注", 1, 9, 126, 11},   {PlayType::Any5, "56注", 2, 8, 56, 25},
    {PlayType::Any5, "21注", 3, 7, 21, 66},     {PlayType::Any5, "6注", 4, 6, 6, 231},
};

TEST(CodeCountChoices, EveryEntryGivesItsCodeCountBetCountAndProposedPlanPeriods) {
    const CandidateTables tables = BuildCombinationTables();
    const FormulaPool pool = BuildFormulaPool(0);
    for (const ChoiceRow& row : AllChoices) {
        SCOPED_TRACE(std::string(RuleOf(row.type).name) + " " + row.entry);
        const std::vector<std::string> list = ChoiceList(row.type);
        ASSERT_LT(row.position, static_cast<int>(list.size()));
        EXPECT_EQ(list[static_cast<std::size_t>(row.position)], row.entry);
        EXPECT_EQ(CodeCountAt(row.type, row.position), row.codeCount);
        EXPECT_EQ(ProposedPlanPeriods(row.type, row.entry), row.proposedPeriods);
        const PlanResult result = EvaluatePlan(RuleOf(row.type), row.codeCount, 3, {}, pool, tables);
        EXPECT_EQ(result.currentBets.count(), row.bets);
    }
}

TEST(CodeCountChoices, ListsHoldExactlyTheKnownEntries) {
    std::size_t total = 0;
    for (int position = 0; position < PlayTypeCount; ++position)
        total += ChoiceList(PlayTypeAt(position)).size();
    EXPECT_EQ(total, AllChoices.size());
    EXPECT_EQ(ChoiceList(PlayType::Any5).size(), 5u);
    EXPECT_EQ(ChoiceList(PlayType::Any5).front(), "252注");
}

TEST(CodeCountChoices, PositionsOutsideTheListAreRefused) {
    EXPECT_THROW(CodeCountAt(PlayType::Front1, -1), std::invalid_argument);
    EXPECT_THROW(CodeCountAt(PlayType::Front1, 8), std::invalid_argument);
    EXPECT_THROW(CodeCountAt(PlayType::Any1, 2), std::invalid_argument);
    EXPECT_THROW(PlayTypeAt(8), std::invalid_argument);
}

TEST(CodeCountChoices, EntryNumberDropsTheLastCharacterAndRefusesTheRest) {
    EXPECT_EQ(EntryNumber("72注"), 72);
    EXPECT_EQ(EntryNumber("9码"), 9);
    for (const char* bad : {"", "注", "x注", "0注", "-3注", "9"})
        EXPECT_THROW(EntryNumber(bad), std::invalid_argument) << bad;
}

TEST(ParsePlanPeriods, AcceptsPositiveIntegersWithSurroundingBlanks) {
    const std::vector<std::pair<std::string, int>> accepted{
        {"3", 3},
        {" 12 ", 12},
        {"\t5\r\n", 5},
        {"+7", 7},
        {"007", 7},
        {"\xE3\x80\x80"
         "8",
         8},
        {"2147483647", 2147483647},
    };
    for (const auto& [text, value] : accepted)
        EXPECT_EQ(ParsePlanPeriods(text), value) << text;
}

TEST(ParsePlanPeriods, RefusesEverythingElseNamingTheText) {
    for (const char* bad : {"", "  ", "abc", "3.5", "1e3", "3 4", "0x10", "--2", "+", "2147483648", "99999999999"})
        EXPECT_THROW(ParsePlanPeriods(bad), std::invalid_argument) << bad;
    try {
        ParsePlanPeriods("abc");
        FAIL();
    } catch (const std::invalid_argument& error) {
        EXPECT_STREQ(error.what(), "计划期数“abc”不是整数");
    }
    for (const auto& [text, shown] : {std::pair{"0", "0"}, std::pair{" -2", "-2"}}) {
        try {
            ParsePlanPeriods(text);
            FAIL() << text;
        } catch (const std::invalid_argument& error) {
            EXPECT_EQ(std::string(error.what()), std::string("计划期数必须是正整数（现在是 ") + shown + "）");
        }
    }
}

} // namespace
} // namespace tarvo
