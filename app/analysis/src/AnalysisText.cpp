#include "tarvo/app/AnalysisText.h"

#include "tarvo/plan/PlanAgainstChance.h"

#include "tarvo/plan/PlayTypeRule.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <string>

using namespace Qt::StringLiterals;

namespace tarvo {

QString PercentText(double fraction) {
    const double percent = fraction * 100.0;
    if (percent == 0.0)
        return u"0%"_s;
    const int integerDigits = int(std::floor(std::log10(std::fabs(percent)))) + 1;
    const int decimals = std::clamp(4 - integerDigits, 0, 10);
    return QString::number(percent, 'f', decimals) + u'%';
}

QString ProbabilityText(double probability) {
    return QString::number(probability, 'g', 9);
}

QString YuanText(qint64 yuan) {
    return QLocale(QLocale::English).toString(yuan) + u"元"_s;
}

QString PlayTypeName(PlayType type) {
    return QString::fromStdString(std::string(RuleOf(type).name));
}

QString ChanceVerdictText(ChanceVerdict verdict) {
    switch (verdict) {
    case ChanceVerdict::BelowChance:
        return u"显著低于随机投注：随机投注的计划命中概率高于本计划命中率的95%置信区间"_s;
    case ChanceVerdict::AboveChance:
        return u"显著高于随机投注：随机投注的计划命中概率低于本计划命中率的95%置信区间（长期回报不会因此改变）"_s;
    case ChanceVerdict::NoSignificantDifference:
        break;
    }
    return u"与随机投注无显著差异：随机投注的计划命中概率落在本计划命中率的95%置信区间内"_s;
}

QString ResponsibilityLine() {
    return u"理性购彩，量力而行；未成年人不得购买彩票。"_s;
}

} // namespace tarvo
