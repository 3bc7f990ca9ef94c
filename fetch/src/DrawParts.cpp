#include "DrawParts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

int DigitsValue(QStringView digits) {
    int value = 0;
    for (QChar digit : digits)
        value = value * 10 + (digit.unicode() - u'0');
    return value;
}

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
        return WrittenPeriod{run, text.sliced(runEnd + 1, 2), runEnd + 3};
    if (length == 8 || length == 10)
        return WrittenPeriod{run.first(length - 2), run.last(2), runEnd};
    return std::nullopt;
}

PeriodReading ReadWrittenPeriod(const WrittenPeriod& written) {
    QString full;
    full.reserve(10);
    if (written.date.size() == 6)
        full += u"20"_s;
    full += written.date;
    full += written.drawNumber;
    PeriodReading period;
    const QStringView digits(full);
    const QDate day(DigitsValue(digits.first(4)), DigitsValue(digits.sliced(4, 2)), DigitsValue(digits.sliced(6, 2)));
    if (!day.isValid() || DigitsValue(written.drawNumber) == 0) {
        period.fault = PeriodFault::NoSuchDay;
        return period;
    }
    period.day = day;
    if (day.year() < 2000)
        period.fault = PeriodFault::Before2000;
    else if (day.year() > 2099)
        period.fault = PeriodFault::After2099;
    else
        period.stored = std::move(full);
    return period;
}

bool AllDifferent(const std::array<int, 5>& numbers) {
    std::array<int, 5> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

DrawRow DrawRowOf(const QString& storedPeriod, const std::array<int, 5>& numbers) {
    static const std::array<QString, 12> twoDigits{u"00"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s,
                                                   u"06"_s, u"07"_s, u"08"_s, u"09"_s, u"10"_s, u"11"_s};
    DrawRow row;
    row.period = storedPeriod;
    for (std::size_t k = 0; k < 5; ++k)
        row.numbers[k] = twoDigits.at(std::size_t(numbers[k]));
    return row;
}

} // namespace tarvo
