#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <optional>

namespace tarvo {

// A published draw: the ten-digit period 20YYMMDDNN and the five numbers (1..11) in draw order.
struct SourceDraw {
    QString period;
    std::array<int, 5> numbers{};
    bool operator==(const SourceDraw&) const = default;
};

// The generated schedule: draw NN (from 01) of a day at 08:40 + (NN − 1) × interval, the last one
// no later than 23:00 and at most 99 a day.
inline constexpr int FirstDrawMinuteOfDay = 8 * 60 + 40;
inline constexpr int LastDrawMinuteOfDay = 23 * 60;

// When a period is drawn on the generated schedule: its day at 08:40 + (NN − 1) × interval, NN its
// draw number; a recorded draw numbered so high that this passes midnight is given 23:59 of its own
// day. None for a period that names no real day.
std::optional<QDateTime> DrawTimeOf(const QString& period, int intervalMinutes);

// Five different numbers 1..11 for a lottery's period, always the same for the same pair.
std::array<int, 5> GeneratedNumbers(const QString& lottery, const QString& period);

// The generated draws of a lottery on a day whose time is not after `now`, newest first.
QList<SourceDraw> GeneratedDrawsOfDay(const QString& lottery, const QDate& date, int intervalMinutes,
                                      const QDateTime& now);

// The period text of draw `number` (from 1) of a day: 20YYMMDDNN.
QString PeriodOf(const QDate& date, int number);

} // namespace tarvo
