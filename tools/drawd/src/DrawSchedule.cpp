#include "tarvo/drawd/DrawSchedule.h"

#include <QCryptographicHash>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

quint64 SplitMix64(quint64& state) {
    quint64 z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

quint64 SeedOf(const QString& lottery, const QString& period) {
    const QByteArray digest = QCryptographicHash::hash((lottery + u'|' + period).toUtf8(), QCryptographicHash::Sha256);
    quint64 seed = 0;
    for (int i = 0; i < 8; ++i)
        seed = (seed << 8) | quint8(digest[i]);
    return seed;
}

// The last minute of a day a draw can be given.
constexpr qint64 LatestMinuteOfDay = 24 * 60 - 1;

int DrawsPerDay(int intervalMinutes) {
    const int step = std::max(1, intervalMinutes);
    return std::min(99, (LastDrawMinuteOfDay - FirstDrawMinuteOfDay) / step + 1);
}

QDateTime ScheduledTime(const QDate& date, int number, int intervalMinutes) {
    const qint64 minute = FirstDrawMinuteOfDay + qint64(number - 1) * std::max(1, intervalMinutes);
    return QDateTime(date, QTime(0, 0).addSecs(std::min(minute, LatestMinuteOfDay) * 60));
}

} // namespace

std::optional<QDateTime> DrawTimeOf(const QString& period, int intervalMinutes) {
    const QDate date = QDate::fromString(period.left(8), u"yyyyMMdd"_s);
    bool ok = false;
    const int number = period.mid(8).toInt(&ok);
    if (period.size() != 10 || !date.isValid() || !ok || number < 1)
        return std::nullopt;
    return ScheduledTime(date, number, intervalMinutes);
}

std::array<int, 5> GeneratedNumbers(const QString& lottery, const QString& period) {
    std::array<int, 11> pool{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    quint64 state = SeedOf(lottery, period);
    std::array<int, 5> numbers{};
    for (int i = 0; i < 5; ++i) {
        const int pick = i + int(SplitMix64(state) % quint64(11 - i));
        std::swap(pool[std::size_t(i)], pool[std::size_t(pick)]);
        numbers[std::size_t(i)] = pool[std::size_t(i)];
    }
    return numbers;
}

QString PeriodOf(const QDate& date, int number) {
    return date.toString(u"yyyyMMdd"_s) + u"%1"_s.arg(number, 2, 10, QChar(u'0'));
}

QList<SourceDraw> GeneratedDrawsOfDay(const QString& lottery, const QDate& date, int intervalMinutes,
                                      const QDateTime& now) {
    QList<SourceDraw> draws;
    for (int number = 1; number <= DrawsPerDay(intervalMinutes); ++number) {
        if (ScheduledTime(date, number, intervalMinutes) > now)
            break;
        const QString period = PeriodOf(date, number);
        draws.prepend(SourceDraw{period, GeneratedNumbers(lottery, period)});
    }
    return draws;
}

} // namespace tarvo
