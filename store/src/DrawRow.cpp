#include "tarvo/store/DrawRow.h"

#include "tarvo/plan/Draw.h"

#include <QStringList>
#include <algorithm>

namespace tarvo {

namespace {

bool IsDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QString GameNumberText(int number) {
    return QStringLiteral("%1").arg(number, 2, 10, QChar(u'0'));
}

QString DrawNumbersText(const std::array<QString, 5>& numbers) {
    return QStringList(numbers.begin(), numbers.end()).join(u' ');
}

bool IsStorableDrawRow(const DrawRow& row) {
    if (row.period.size() != 10 || !IsDigits(row.period))
        return false;
    return std::all_of(row.numbers.begin(), row.numbers.end(), [](const QString& number) {
        if (number.size() != 2 || !IsDigits(number))
            return false;
        const int value = number.toInt();
        return IsGameNumber(value);
    });
}

std::optional<qint64> ParsePeriod(const QString& text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<QDate> DayOfPeriod(qint64 period) {
    if (period < 1'000'000'000 || period > 9'999'999'999)
        return std::nullopt;
    const qint64 day = period / 100;
    const QDate date(int(day / 10000), int(day / 100 % 100), int(day % 100));
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

} // namespace tarvo
