#pragma once

#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/PlayType.h"

#include <QString>

namespace tarvo {

// How the analysis window writes its figures.

// A fraction as a percentage with four significant digits ("81.82%", "0.01804%").
QString PercentText(double fraction);

// A probability with nine significant digits, for the figures a player may want to check by hand.
QString ProbabilityText(double probability);

// Whole yuan with thousands separators ("12,345元").
QString YuanText(qint64 yuan);

// The play type's name as the main window shows it (前一 .. 任五).
QString PlayTypeName(PlayType type);

// The verdict of a record of plans against betting at random, in words.
QString ChanceVerdictText(ChanceVerdict verdict);

// The line shown wherever money is: 理性购彩，量力而行；未成年人不得购买彩票。
QString ResponsibilityLine();

} // namespace tarvo
