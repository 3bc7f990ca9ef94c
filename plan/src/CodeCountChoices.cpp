#include "tarvo/plan/CodeCountChoices.h"

#include "tarvo/plan/PlayTypeRule.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvo {

namespace {

bool IsAsciiBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Removes ASCII blanks and ideographic spaces (U+3000, typed by Chinese input methods) at both ends.
std::string_view TrimBlanks(std::string_view text) {
    static constexpr std::string_view IdeographicSpace = "\xE3\x80\x80";
    for (;;) {
        if (!text.empty() && IsAsciiBlank(text.front()))
            text.remove_prefix(1);
        else if (!text.empty() && IsAsciiBlank(text.back()))
            text.remove_suffix(1);
        else if (text.starts_with(IdeographicSpace))
            text.remove_prefix(IdeographicSpace.size());
        else if (text.ends_with(IdeographicSpace))
            text.remove_suffix(IdeographicSpace.size());
        else
            return text;
    }
}

bool IsDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The text without its last UTF-8 character.
std::string_view WithoutLastCharacter(std::string_view text) {
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0u) == 0x80u)
        text.remove_suffix(1);
    if (!text.empty())
        text.remove_suffix(1);
    return text;
}

[[noreturn]] void ThrowNotAnInteger(const std::string& text) {
    throw std::invalid_argument("计划期数“" + text + "”不是整数");
}

} // namespace

std::vector<std::string> ChoiceList(PlayType type) {
    switch (type) {
    case PlayType::Front1:
        return {"9码", "8码", "7码", "6码", "5码", "4码", "3码", "2码"};
    case PlayType::Front2:
        return {"72注", "56注", "42注", "30注", "20注", "12注", "6注"};
    case PlayType::Front3:
        return {"504注", "336注", "210注", "120注", "60注", "24注", "6注"};
    case PlayType::Any1:
        return {"2码", "1码"};
    case PlayType::Any2:
        return {"3注", "1注"};
    case PlayType::Any3:
        return {"10注", "4注"};
    case PlayType::Any4:
        return {"35注", "15注", "5注"};
    case PlayType::Any5:
        return {"252注", "126注", "56注", "21注", "6注"};
    }
    throw std::invalid_argument("未知的玩法");
}

int CodeCountAt(PlayType type, int position) {
    const int entries = static_cast<int>(ChoiceList(type).size());
    if (position < 0 || position >= entries)
        throw std::invalid_argument("号码注数的位置 " + std::to_string(position) + " 不在 0.." +
                                    std::to_string(entries - 1) + " 之内");
    return RuleOf(type).kBase - position;
}

int EntryNumber(const std::string& entryText) {
    const std::string_view digits = WithoutLastCharacter(entryText);
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (!IsDigits(digits) || error != std::errc{} || end != digits.data() + digits.size() || number < 1)
        throw std::invalid_argument("号码注数“" + entryText + "”不是有效的选项");
    return number;
}

int ProposedPlanPeriods(PlayType type, const std::string& entryText) {
    const PlayTypeRule& rule = RuleOf(type);
    const double q = 3.0 * rule.candidateCount / (static_cast<double>(EntryNumber(entryText)) * rule.weight);
    const double whole = std::floor(q);
    return static_cast<int>(whole) + (q - whole >= 0.5 ? 1 : 0);
}

int ParsePlanPeriods(const std::string& text) {
    std::string_view number = TrimBlanks(text);
    const bool negative = number.starts_with('-');
    if (negative || number.starts_with('+'))
        number.remove_prefix(1);
    if (!IsDigits(number))
        ThrowNotAnInteger(text);
    long long value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc{} || end != number.data() + number.size() || value > std::numeric_limits<int>::max())
        throw std::invalid_argument("计划期数“" + text + "”超出范围");
    if (negative)
        value = -value;
    if (value < 1)
        throw std::invalid_argument("计划期数必须是正整数（现在是 " + std::to_string(value) + "）");
    return static_cast<int>(value);
}

} // namespace tarvo
