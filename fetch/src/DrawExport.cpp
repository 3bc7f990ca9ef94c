#include "tarvo/fetch/DrawImport.h"

#include "tarvo/plan/Draw.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include "DrawParts.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr char ByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char HeaderLine[] = "期号,号码1,号码2,号码3,号码4,号码5\r\n";
constexpr qsizetype DrawLineBytes = 27; // "2026120801,01,02,03,04,05\r\n"

qint64 BoundPeriod(const std::optional<QString>& written, qint64 absent) {
    if (!written)
        return absent;
    const std::optional<QString> period = ReadTypedPeriod(*written);
    if (!period)
        throw StoreError(u"“%1”不是期号：期号应为 8 位或 10 位数字"_s.arg(*written));
    return period->toLongLong();
}

// The five numbers of a stored row when they make a draw (a lost leading zero aside); none otherwise.
std::optional<std::array<int, 5>> DrawNumbersOf(const std::array<QString, 5>& stored) {
    std::array<int, 5> numbers{};
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        bool ok = false;
        numbers[k] = stored[k].trimmed().toInt(&ok);
        if (!ok || !IsGameNumber(numbers[k]))
            return std::nullopt;
    }
    return AllDifferent(numbers) ? std::optional<std::array<int, 5>>(numbers) : std::nullopt;
}

// Whether a stored period reads back as the same period: ten digits naming a real day.
bool ReadsBackAsItself(qint64 period) {
    const QString text = QString::number(period);
    return ReadTypedPeriod(text) == text;
}

void AppendDrawLine(QByteArray& csv, qint64 period, const std::array<int, 5>& numbers) {
    csv += QByteArray::number(period);
    for (int number : numbers) {
        csv += ',';
        csv += char('0' + number / 10);
        csv += char('0' + number % 10);
    }
    csv += "\r\n";
}

} // namespace

QByteArray ExportDrawsCsv(const QString& databaseFile, const QString& lottery, const std::optional<QString>& from,
                          const std::optional<QString>& to) {
    const qint64 lowest = BoundPeriod(from, std::numeric_limits<qint64>::min());
    const qint64 highest = BoundPeriod(to, std::numeric_limits<qint64>::max());
    const QHash<qint64, std::array<QString, 5>> stored = DrawAppender(databaseFile, lottery).storedDraws();
    QList<qint64> periods;
    periods.reserve(stored.size());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        if (it.key() >= lowest && it.key() <= highest)
            periods.append(it.key());
    }
    std::sort(periods.begin(), periods.end());
    QByteArray csv;
    csv.reserve(qsizetype(sizeof(ByteOrderMark) + sizeof(HeaderLine)) + periods.size() * DrawLineBytes);
    csv += ByteOrderMark;
    csv += HeaderLine;
    for (qint64 period : periods) {
        const std::optional<std::array<int, 5>> numbers = DrawNumbersOf(stored.value(period));
        if (numbers && ReadsBackAsItself(period))
            AppendDrawLine(csv, period, *numbers);
    }
    return csv;
}

} // namespace tarvo
