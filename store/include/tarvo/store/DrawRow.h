#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>

namespace tarvo {

// A draw as the sources deliver it and the tables store it, in text: the ten-digit period ("20" +
// eight characters) and the five two-character numbers in draw order.
struct DrawRow {
    QString period;
    std::array<QString, 5> numbers;
    bool operator==(const DrawRow&) const = default;
};

// A drawn number as the tables, the sources and the window write it: two digits, 01 to 11.
QString GameNumberText(int number);

// A row's five numbers as the program shows them, a space between two: "03 07 01 11 05".
QString DrawNumbersText(const std::array<QString, 5>& numbers);

// Whether a row is fit to be stored: a period of ten decimal digits and five numbers each written
// with two digits, 01 to 11. A row that fails this would break every later load of the table.
bool IsStorableDrawRow(const DrawRow& row);

// A whole number as the sources compare periods (signed 64-bit, optional sign, no blanks), or none.
std::optional<qint64> ParsePeriod(const QString& text);

// The day a period names: ten digits, the date as yyyyMMdd and the draw's two-digit number in that
// day. None for a number that is not such a period.
std::optional<QDate> DayOfPeriod(qint64 period);

} // namespace tarvo
