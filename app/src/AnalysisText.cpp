#include "tarvo/app/AnalysisText.h"

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

QString TwoDigits(int number) {
    return u"%1"_s.arg(number, 2, 10, QChar(u'0'));
}

QString PlayTypeName(PlayType type) {
    return QString::fromStdString(std::string(RuleOf(type).name));
}

} // namespace tarvo
