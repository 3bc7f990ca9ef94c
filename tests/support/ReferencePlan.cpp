#include "ReferencePlan.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>

namespace tarvo::test {
namespace {

// How each play type bets, watches and hits, written out from the rules players know.
struct PlayRule {
    const char* name;
    int kBase;          // code count of the box's first choice; each later choice is one fewer
    int firstStartRow;  // 前一 starts at the oldest draw, the others at the second-oldest
    int examined;       // the first N drawn numbers (前N) or all five (任N)
    int hitWhenAtLeast; // how many examined numbers must be bet numbers
    int betSize;        // numbers per bet
    bool ordered;       // 前二/前三 bet ordered tuples; 任N bets sets
};

constexpr PlayRule kRules[] = {
    {"前一", 9, 0, 1, 1, 1, true},  {"前二", 9, 1, 2, 2, 2, true},   {"前三", 9, 1, 3, 3, 3, true},
    {"任一", 2, 1, 5, 1, 1, false}, {"任二", 3, 1, 5, 2, 2, false},  {"任三", 5, 1, 5, 3, 3, false},
    {"任四", 7, 1, 5, 4, 4, false}, {"任五", 10, 1, 5, 5, 5, false},
};

const PlayRule& RuleAt(int playType) {
    if (playType < 0 || playType >= int(std::size(kRules)))
        throw std::invalid_argument(std::string("no play type at ") + std::to_string(playType));
    return kRules[playType];
}

std::string Number(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2d", number);
    return text;
}

// The first codeCount numbers of a formula, read from their two-digit texts.
std::vector<int> BetNumbers(const FormulaPool& pool, std::int64_t startRow, int codeCount) {
    const std::string& formula = pool[static_cast<std::size_t>(startRow % std::int64_t(pool.size()))];
    std::vector<int> numbers;
    for (int j = 0; j < codeCount; ++j)
        numbers.push_back(std::stoi(formula.substr(static_cast<std::size_t>(3 * j), 2)));
    return numbers;
}

bool Contains(const std::vector<int>& numbers, int number) {
    return std::find(numbers.begin(), numbers.end(), number) != numbers.end();
}

bool IsHit(const PlayRule& rule, const Draw& draw, const std::vector<int>& bets) {
    int count = 0;
    for (int p = 1; p <= rule.examined; ++p)
        count += Contains(bets, draw[static_cast<std::size_t>(p)]) ? 1 : 0;
    return count >= rule.hitWhenAtLeast;
}

std::string PlanLine(std::int64_t first, std::int64_t last, const char* name, std::int64_t deciding, const Draw& draw,
                     std::int64_t used, bool hit) {
    std::string line =
        std::to_string(first) + "-" + std::to_string(last) + "期【" + name + "】" + std::to_string(deciding) + "期开";
    for (int p = 1; p <= 5; ++p)
        line += Number(draw[static_cast<std::size_t>(p)]) + " ";
    return line + " " + std::to_string(used) + (hit ? "期 中" : "期 挂");
}

// Every bet of the play type, in the order of its table (first position slowest), whose numbers are
// all bet numbers.
void CollectBets(const PlayRule& rule, const std::vector<int>& bets, std::vector<int>& tuple,
                 std::vector<std::vector<int>>& found) {
    if (int(tuple.size()) == rule.betSize) {
        found.push_back(tuple);
        return;
    }
    const int from = rule.ordered || tuple.empty() ? 1 : tuple.back() + 1;
    for (int number = from; number <= 11; ++number) {
        if (!Contains(bets, number) || Contains(tuple, number))
            continue;
        tuple.push_back(number);
        CollectBets(rule, bets, tuple, found);
        tuple.pop_back();
    }
}

std::vector<std::vector<int>> CurrentBets(int playType, const std::vector<int>& bets) {
    std::vector<std::vector<int>> found;
    if (playType == 0) {
        for (int number : bets)
            found.push_back({number});
        return found;
    }
    std::vector<int> tuple;
    CollectBets(RuleAt(playType), bets, tuple, found);
    return found;
}

std::string CodeText(const std::vector<std::vector<int>>& bets) {
    std::string text;
    for (const std::vector<int>& bet : bets) {
        for (std::size_t i = 0; i < bet.size(); ++i) {
            if (i > 0)
                text += ' ';
            text += Number(bet[i]);
        }
        text += ',';
    }
    return text;
}

} // namespace

int ReferenceCodeCount(int playType, int position) {
    return RuleAt(playType).kBase - position;
}

ReferenceReport ReferencePlanReport(int playType, int codeCount, int planPeriods, const DrawHistory& history,
                                    const FormulaPool& pool) {
    const PlayRule& rule = RuleAt(playType);
    const std::int64_t newest = std::int64_t(history.size()) - 1;
    const std::int64_t n = planPeriods;
    ReferenceReport report;
    int hits = 0, misses = 0, hitRun = 0, missRun = 0, longestHitRun = 0, longestMissRun = 0;

    std::int64_t s = rule.firstStartRow;
    for (;;) {
        const std::vector<int> bets = BetNumbers(pool, s, codeCount);
        std::int64_t hitRow = -1;
        for (std::int64_t i = s; i <= newest && i < s + n && hitRow < 0; ++i) {
            if (IsHit(rule, history[static_cast<std::size_t>(i)], bets))
                hitRow = i;
        }
        const bool hit = hitRow >= 0;
        if (!hit && s + n - 1 > newest)
            break; // the plan is still running at the newest draw
        const std::int64_t decidingRow = hit ? hitRow : s + n - 1;
        const std::int64_t first = history[static_cast<std::size_t>(s)][0];
        const Draw& deciding = history[static_cast<std::size_t>(decidingRow)];
        report.planLines.push_back(PlanLine(first, first + n - 1, rule.name, hit ? deciding[0] : first + n - 1,
                                            deciding, decidingRow - s + 1, hit));
        report.outcomes.push_back(hit ? int(decidingRow - s + 1) : 0);
        hits += hit ? 1 : 0;
        misses += hit ? 0 : 1;
        hitRun = hit ? hitRun + 1 : 0;
        missRun = hit ? 0 : missRun + 1;
        longestHitRun = std::max(longestHitRun, hitRun);
        longestMissRun = std::max(longestMissRun, missRun);
        s = decidingRow + 1;
    }

    if (!history.empty()) {
        const std::int64_t first = history.back()[0] + (s - newest);
        report.planLines.push_back(std::to_string(first) + "-" + std::to_string(first + n - 1) + "期【" +
                                   (playType == 0 ? "直选" : rule.name) + "】 计划进行中。。。");
    }
    const int rate = hits + misses == 0 ? 0 : hits * 100 / (hits + misses);
    report.planLines.push_back("");
    report.planLines.push_back(std::string("计划成功率") + std::to_string(rate) + "% 中[" + std::to_string(hits) +
                               "]    挂[" + std::to_string(misses) + "]  连挂[" +
                               std::to_string(std::max(longestMissRun - 1, 0)) + "]  连中[" +
                               std::to_string(longestHitRun) + "]");
    report.planLines.push_back("");
    report.planLines.push_back("加入Tarvo会员，获取更多精准计划：www.tarvo.example");

    const std::vector<std::vector<int>> current = CurrentBets(playType, BetNumbers(pool, s, codeCount));
    report.codeText = CodeText(current);
    report.labelText = std::string("当前投注：") + std::to_string(current.size()) + (playType == 1 ? "" : "注");
    return report;
}

} // namespace tarvo::test
