#include "tarvo/plan/PlayTypeRule.h"

#include <array>

namespace tarvo {

namespace {

constexpr std::array<PlayTypeRule, PlayTypeCount> Rules{{
    {PlayType::Front1, 9, 0, 1, 1, 1, 11, 1, "前一"},
    {PlayType::Front2, 9, 1, 2, 2, 2, 110, 1, "前二"},
    {PlayType::Front3, 9, 1, 3, 3, 3, 990, 1, "前三"},
    {PlayType::Any1, 2, 1, 5, 1, 1, 11, 5, "任一"},
    {PlayType::Any2, 3, 1, 5, 2, 2, 55, 10, "任二"},
    {PlayType::Any3, 5, 1, 5, 3, 3, 165, 10, "任三"},
    {PlayType::Any4, 7, 1, 5, 4, 4, 330, 5, "任四"},
    {PlayType::Any5, 10, 1, 5, 5, 5, 462, 1, "任五"},
}};

} // namespace

const PlayTypeRule& RuleOf(PlayType type) {
    return Rules.at(static_cast<std::size_t>(type));
}

std::optional<PlayType> PlayTypeNamed(std::string_view name) {
    for (const PlayTypeRule& rule : Rules) {
        if (rule.name == name)
            return rule.type;
    }
    return std::nullopt;
}

} // namespace tarvo
