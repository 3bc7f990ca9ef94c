#include "tarvo/fetch/DrawImport.h"

#include "DrawLine.h"
#include "DrawParts.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The longest typed number a refusal quotes whole, as the text reader quotes digit runs.
constexpr qsizetype LongestQuotedNumber = 12;

const QString PeriodShapeReason = u"期号应为 8 位或 10 位数字（如 26120801 或 2026120801），或在开奖序号前加“-”"_s;

// The written period when the text is exactly one, as the text reader finds periods in a line.
std::optional<WrittenPeriod> WholeWrittenPeriod(QStringView text) {
    std::optional<WrittenPeriod> written = WrittenPeriodAt(text, 0, DigitRunEnd(text, 0));
    return written && written->end == text.size() ? written : std::nullopt;
}

bool IsDigits(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), IsAsciiDigit);
}

// Why a typed number field cannot stand in a line of draw text as one number, or nothing.
QString NumberFieldFault(const QString& field) {
    if (field.size() <= 2 && IsDigits(field))
        return {};
    const QString quoted = field.size() > LongestQuotedNumber ? field.first(LongestQuotedNumber) + u"…"_s : field;
    return u"%1 不在 01–11"_s.arg(quoted);
}

} // namespace

std::optional<QString> ReadTypedPeriod(const QString& period) {
    const QString text = period.trimmed();
    const std::optional<WrittenPeriod> written = WholeWrittenPeriod(text);
    if (!written)
        return std::nullopt;
    PeriodReading reading = ReadWrittenPeriod(*written);
    if (reading.fault != PeriodFault::None)
        return std::nullopt;
    return std::move(reading.stored);
}

// The typed fields become one line of draw text, read as any line of a file is read.
std::variant<DrawRow, QString> ReadTypedDraw(const QString& period, const QStringList& numbers, const QDate& today) {
    const QString periodText = period.trimmed();
    if (!WholeWrittenPeriod(periodText))
        return PeriodShapeReason;
    QStringList fields;
    for (const QString& number : numbers) {
        const QString field = number.trimmed();
        if (field.isEmpty())
            continue;
        if (const QString fault = NumberFieldFault(field); !fault.isEmpty())
            return fault;
        fields.append(field);
    }
    if (fields.size() > 5)
        return u"号码多于五个"_s;
    DrawLine line = ReadDrawLine(QString(periodText + u' ' + fields.join(u' ')), today);
    switch (line.kind) {
    case DrawLine::Kind::Draw:
        return std::move(line.row);
    case DrawLine::Kind::Refused:
        return std::move(line.reason);
    case DrawLine::Kind::NoPeriod:
        break;
    }
    return PeriodShapeReason;
}

QString NextPeriod(const std::optional<QString>& newestStored, const QDate& today) {
    const QString firstOfToday = today.toString(u"yyyyMMdd"_s) + u"01"_s;
    const std::optional<qint64> newest = newestStored ? ParsePeriod(*newestStored) : std::nullopt;
    const std::optional<QDate> day = newest ? DayOfPeriod(*newest) : std::nullopt;
    if (!day || day->year() < 2000 || day->year() > 2099)
        return firstOfToday;
    if (*newest % 100 < 99)
        return QString::number(*newest + 1);
    return day->addDays(1).toString(u"yyyyMMdd"_s) + u"01"_s;
}

} // namespace tarvo
