#include "tarvo/fetch/JsonDraws.h"

#include "DrawParts.h"
#include "tarvo/fetch/HttpGet.h"
#include "tarvo/plan/Draw.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

JsonDrawsRead FailedRead(const QString& failure, int skipped = 0) {
    JsonDrawsRead read;
    read.failure = failure;
    read.skipped = skipped;
    return read;
}

std::optional<qint64> WholeNumberOf(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::trunc(number) != number || std::fabs(number) > 1e15)
        return std::nullopt;
    return qint64(number);
}

std::optional<QString> PeriodOfExpect(const QJsonValue& expect) {
    if (expect.isString())
        return StoredPeriodOfExpect(expect.toString());
    const std::optional<qint64> number = WholeNumberOf(expect);
    const bool eightDigits = number && *number >= 10'000'000 && *number <= 99'999'999;
    const bool tenDigits = number && *number >= 1'000'000'000 && *number <= 9'999'999'999;
    if (!eightDigits && !tenDigits)
        return std::nullopt;
    return StoredPeriodOfExpect(QString::number(*number));
}

bool IsOpencodeSeparator(QChar c) {
    return c == u',' || c == u' ' || c == u'+' || c == u'|';
}

std::optional<int> DrawNumberOfText(QStringView text) {
    if (text.isEmpty() || text.size() > 2 || DigitRunEnd(text, 0) != text.size())
        return std::nullopt;
    const int number = DigitsValue(text);
    return IsGameNumber(number) ? std::optional<int>(number) : std::nullopt;
}

std::optional<int> DrawNumberOf(const QJsonValue& value) {
    if (value.isString())
        return DrawNumberOfText(value.toString());
    const std::optional<qint64> number = WholeNumberOf(value);
    return number && IsGameNumber(*number) ? std::optional<int>(int(*number)) : std::nullopt;
}

std::optional<std::array<int, 5>> NumbersOfOpencodeText(const QString& opencode) {
    std::array<int, 5> numbers{};
    std::size_t count = 0;
    qsizetype i = 0;
    while (i < opencode.size()) {
        if (IsOpencodeSeparator(opencode[i])) {
            ++i;
            continue;
        }
        const qsizetype end = DigitRunEnd(opencode, i);
        const std::optional<int> number = DrawNumberOfText(QStringView(opencode).sliced(i, end - i));
        if (!number || count == numbers.size())
            return std::nullopt;
        numbers[count++] = *number;
        i = end;
    }
    return count == numbers.size() ? std::optional(numbers) : std::nullopt;
}

std::optional<std::array<int, 5>> NumbersOfOpencodeArray(const QJsonArray& opencode) {
    std::array<int, 5> numbers{};
    if (opencode.size() != qsizetype(numbers.size()))
        return std::nullopt;
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const std::optional<int> number = DrawNumberOf(opencode[qsizetype(k)]);
        if (!number)
            return std::nullopt;
        numbers[k] = *number;
    }
    return numbers;
}

std::optional<std::array<int, 5>> NumbersOfOpencode(const QJsonValue& opencode) {
    const std::optional<std::array<int, 5>> numbers =
        opencode.isArray() ? NumbersOfOpencodeArray(opencode.toArray()) : NumbersOfOpencodeText(opencode.toString());
    return numbers && AllDifferent(*numbers) ? numbers : std::nullopt;
}

std::optional<DrawRow> DrawOfItem(const QJsonValue& item) {
    const QJsonObject object = item.toObject();
    const std::optional<QString> period = PeriodOfExpect(object.value(u"expect"_s));
    if (!period)
        return std::nullopt;
    const std::optional<std::array<int, 5>> numbers = NumbersOfOpencode(object.value(u"opencode"_s));
    if (!numbers)
        return std::nullopt;
    return DrawRowOf(*period, *numbers);
}

std::optional<QJsonArray> DrawItemsOf(const QJsonDocument& json) {
    if (json.isArray())
        return json.array();
    const QJsonValue data = json.object().value(u"data"_s);
    return data.isArray() ? std::optional(data.toArray()) : std::nullopt;
}

// Some services begin their answer with the UTF-8 byte order mark, which the JSON parser refuses.
QByteArray WithoutByteOrderMark(const QByteArray& document) {
    return document.startsWith("\xEF\xBB\xBF") ? document.sliced(3) : document;
}

} // namespace

std::optional<QString> StoredPeriodOfExpect(const QString& expect) {
    const QStringView text = QStringView(expect).trimmed();
    const std::optional<WrittenPeriod> written = WrittenPeriodAt(text, 0, DigitRunEnd(text, 0));
    if (!written || written->end != text.size())
        return std::nullopt;
    const PeriodReading period = ReadWrittenPeriod(*written);
    return period.fault == PeriodFault::None ? std::optional(period.stored) : std::nullopt;
}

JsonDrawsRead ReadJsonDraws(const QByteArray& document) {
    if (document.size() > LargestAnswerBytes)
        return FailedRead(u"文档过大"_s);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(WithoutByteOrderMark(document), &error);
    if (error.error == QJsonParseError::DeepNesting)
        return FailedRead(u"JSON 嵌套过深"_s);
    if (error.error != QJsonParseError::NoError)
        return FailedRead(u"不是 JSON 文档"_s);
    const std::optional<QJsonArray> items = DrawItemsOf(json);
    if (!items)
        return FailedRead(u"没有开奖数据"_s);
    if (items->isEmpty()) {
        JsonDrawsRead empty = FailedRead(u"没有开奖数据"_s);
        empty.listsNoItem = true;
        return empty;
    }

    JsonDrawsRead read;
    QList<DrawRow> draws;
    QHash<QString, qsizetype> firstOfPeriod;
    QSet<QString> inDoubt;
    for (const QJsonValue& item : *items) {
        const std::optional<DrawRow> draw = DrawOfItem(item);
        if (!draw) {
            ++read.skipped;
            continue;
        }
        const auto first = firstOfPeriod.constFind(draw->period);
        if (first == firstOfPeriod.constEnd())
            firstOfPeriod.insert(draw->period, draws.size());
        else if (draws[*first] != *draw)
            inDoubt.insert(draw->period);
        draws.append(*draw);
    }
    for (qsizetype i = 0; i < draws.size(); ++i) {
        if (inDoubt.contains(draws[i].period))
            ++read.skipped;
        else if (firstOfPeriod.value(draws[i].period) == i)
            read.rows.append(draws[i]);
    }
    if (read.rows.isEmpty())
        return FailedRead(u"没有有效的开奖数据"_s, read.skipped);
    return read;
}

} // namespace tarvo
