#pragma once

#include "tarvo/store/DrawRow.h"

#include <QDate>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace tarvo {

// The pieces of a draw as players' files and public draw services write them: periods in their
// written shapes and the five numbers. Shared by the readers of draw text and of JSON documents.

inline bool IsAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The value of a few ASCII digits (at most nine).
int DigitsValue(QStringView digits);

// The end of the run of ASCII digits that begins at `start` (`start` itself when there is none).
qsizetype DigitRunEnd(QStringView text, qsizetype start);

// A period as written, found at the digit run [runStart, runEnd) of `text`: the run itself when it
// has eight (yymmddNN) or ten (yyyymmddNN) digits, or, when it has six or eight and is followed by
// '-' and a run of exactly two digits, the run and those two ("261208-01", "20261208-01").
struct WrittenPeriod {
    QStringView date;       // six digits yymmdd or eight yyyymmdd
    QStringView drawNumber; // two digits
    qsizetype end = 0;      // where the written period ends in `text`
};
std::optional<WrittenPeriod> WrittenPeriodAt(QStringView text, qsizetype runStart, qsizetype runEnd);

// Why a written period cannot be stored.
enum class PeriodFault {
    None,
    NoSuchDay,  // no real calendar day, or draw number 00
    Before2000, // a year before 2000
    After2099,  // a year after 2099: the table keeps two digits of the year
};

// What a written period names (yymmdd meaning the year 20yy): the table's ten-digit period
// "20yymmddNN" and its day, or the fault that keeps it from being stored.
struct PeriodReading {
    QString stored;
    QDate day;
    PeriodFault fault = PeriodFault::None;
};
PeriodReading ReadWrittenPeriod(const WrittenPeriod& written);

// Whether five draw numbers are all different.
bool AllDifferent(const std::array<int, 5>& numbers);

// The row of a stored period and five numbers 1..11, each written with two digits.
DrawRow DrawRowOf(const QString& storedPeriod, const std::array<int, 5>& numbers);

} // namespace tarvo
