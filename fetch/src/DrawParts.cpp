#include "DrawParts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

qsizetype DigitRunEnd(QStringView text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size() && IsAsciiDigit(text[end]))
        ++end;
    return end;
}

std::optional<WrittenPeriod> WrittenPeriodAt(QStringView text, qsizetype runStart, qsizetype runEnd) {
    const qsizetype length = runEnd - runStart;
    const QStringView run = text.sliced(runStart, length);
    if ((length == 6 || length == 8) && runEnd < text.size() && text[runEnd] == u'-' &&
        DigitRunEnd(text, runEnd + 1) == runEnd + 3)
        return WrittenPeriod{run.toString() + text.sliced(runEnd + 1, 2).toString(), runEnd + 3};
    if (length == 8 || length == 10)
        return WrittenPeriod{run.toString(), runEnd};
    return std::nullopt;
}

PeriodDigits ReadPeriodDigits(QStringView digits) {
    const QString full = digits.size() == 8 ? u"20"_s + digits.toString() : digits.toString();
    PeriodDigits period;
    const QDate day(full.first(4).toInt(), full.sliced(4, 2).toInt(), full.sliced(6, 2).toInt());
    if (!day.isValid() || full.endsWith(u"00"_s)) {
        period.fault = PeriodFault::NoSuchDay;
        return period;
    }
    period.day = day;
    if (day.year() < 2000)
        period.fault = PeriodFault::Before2000;
    else if (day.year() > 2099)
        period.fault = PeriodFault::After2099;
    else
        period.stored = full;
    return period;
}

bool AllDifferent(const std::array<int, 5>& numbers) {
    std::array<int, 5> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

DrawRow DrawRowOf(const QString& storedPeriod, const std::array<int, 5>& numbers) {
    DrawRow row;
    row.period = storedPeriod;
    for (std::size_t k = 0; k < 5; ++k)
        row.numbers[k] = u"%1"_s.arg(numbers[k], 2, 10, QChar(u'0'));
    return row;
}

} // namespace tarvo
