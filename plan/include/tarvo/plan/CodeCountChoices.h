#pragma once

#include "tarvo/plan/PlayType.h"

#include <string>
#include <vector>

namespace tarvo {

// The entries of the code-count box for a play type, in order: "9码".."2码" for 前一, "72注".."6注" for
// 前二, and so on. Entries ending in 码 name a code count, entries ending in 注 the bets it yields.
std::vector<std::string> ChoiceList(PlayType type);

// The code count K of the entry at `position` (0-based): the rule's K base minus the position.
// Throws std::invalid_argument for a position outside the type's choice list.
int CodeCountAt(PlayType type, int position);

// The number an entry stands for: its text without the last character ("72注" -> 72, "9码" -> 9).
// Throws std::invalid_argument when the rest is not a positive decimal integer.
int EntryNumber(const std::string& entryText);

// The plan period count proposed when an entry is chosen: q = 3 * candidate count / (entry number *
// weight), rounded to the nearest integer with halves going up (前二 "72注" -> 5, 任二 "3注" -> 6).
int ProposedPlanPeriods(PlayType type, const std::string& entryText);

// The plan period count n typed in the plan period box: a decimal integer (an optional sign, surrounding
// blanks allowed) of at least 1. Anything else throws std::invalid_argument with a Chinese message that
// names the text, e.g. "计划期数“abc”不是整数" or "计划期数必须是正整数（现在是 0）".
int ParsePlanPeriods(const std::string& text);

} // namespace tarvo
