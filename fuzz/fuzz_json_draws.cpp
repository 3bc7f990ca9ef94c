// Feeds arbitrary bytes to the reader of JSON draw lists, and the same bytes, read as UTF-8, to the
// reading of a period text.
#include "FuzzCheck.h"

#include "tarvo/fetch/JsonDraws.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace tarvo::fuzz {
namespace {

// A stored period: ten digits, a real day of the years 2000 to 2099 and a draw number from 01.
void CheckStoredPeriod(const QString& period) {
    Require(period.size() == 10 && period.startsWith(QStringLiteral("20")), "a stored period is 20yymmddNN");
    const std::optional<qint64> number = ParsePeriod(period);
    Require(number && DayOfPeriod(*number).has_value(), "a stored period names a real day");
    Require(*number % 100 != 0, "a stored period's draw number is not 00");
}

void CheckRows(const QList<DrawRow>& rows) {
    QSet<QString> periods;
    for (const DrawRow& row : rows) {
        Require(IsStorableDrawRow(row), "a read draw is storable");
        CheckStoredPeriod(row.period);
        QSet<QString> numbers(row.numbers.begin(), row.numbers.end());
        Require(numbers.size() == 5, "a read draw has five different numbers");
        Require(!periods.contains(row.period), "a period is read once");
        periods.insert(row.period);
    }
}

// The items of the document as the JSON parser alone sees them; -1 when it gives no list.
qsizetype ItemCount(const QByteArray& document) {
    const QByteArray json = document.startsWith("\xEF\xBB\xBF") ? document.sliced(3) : document;
    const QJsonDocument parsed = QJsonDocument::fromJson(json);
    if (parsed.isArray())
        return parsed.array().size();
    const QJsonValue data = parsed.object().value(QStringLiteral("data"));
    return data.isArray() ? data.toArray().size() : -1;
}

// Every item is a draw, a skipped one or a repeat of a draw: never more draws and skips than items.
void CheckCounts(const JsonDrawsRead& read, const QByteArray& document) {
    Require(read.answered() || read.rows.isEmpty(), "a failed read gives no draw");
    Require(!read.answered() || !read.rows.isEmpty(), "an answered read gives a draw");
    Require(read.skipped >= 0, "the skipped count is not negative");
    if (read.answered())
        Require(read.rows.size() + read.skipped <= ItemCount(document), "draws and skips are items of the list");
}

void CheckExpectText(const QString& text) {
    if (const std::optional<QString> period = StoredPeriodOfExpect(text))
        CheckStoredPeriod(*period);
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QByteArray document(reinterpret_cast<const char*>(data), qsizetype(size));
    const JsonDrawsRead read = ReadJsonDraws(document);
    fuzz::CheckRows(read.rows);
    fuzz::CheckCounts(read, document);
    fuzz::CheckExpectText(QString::fromUtf8(document.left(64)));
    return 0;
}
