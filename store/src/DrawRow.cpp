#include "tarvo/store/DrawRow.h"

#include <algorithm>

namespace tarvo {

namespace {

bool IsDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

bool IsStorableDrawRow(const DrawRow& row) {
    if (row.period.size() != 10 || !IsDigits(row.period))
        return false;
    return std::all_of(row.numbers.begin(), row.numbers.end(), [](const QString& number) {
        if (number.size() != 2 || !IsDigits(number))
            return false;
        const int value = number.toInt();
        return value >= 1 && value <= 11;
    });
}

std::optional<qint64> ParsePeriod(const QString& text) {
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return std::nullopt;
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace tarvo
