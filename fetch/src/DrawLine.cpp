#include "DrawLine.h"

#include "DrawParts.h"

#include "tarvo/plan/Draw.h"

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The longest digit run a refusal quotes whole; longer ones are cut and marked.
constexpr qsizetype LongestQuotedRun = 12;

bool IsNumberSeparator(QChar c) {
    switch (c.unicode()) {
    case u' ':
    case u'\t':
    case u',':
    case u';':
    case u'+':
    case u'|':
    case u'"':
    case u'\'':
    case u'\u00A0': // no-break space, as text copied from web pages has it
    case u'\u3000': // ideographic space
    case u'\uFF0C': // ，
    case u'\u3001': // 、
        return true;
    default:
        return false;
    }
}

bool IsDateTimeJoiner(QChar c) {
    return c == u'-' || c == u'/' || c == u':';
}

bool JoinsAnotherDigitRun(QStringView line, qsizetype runEnd) {
    return runEnd + 1 < line.size() && IsDateTimeJoiner(line[runEnd]) && IsAsciiDigit(line[runEnd + 1]);
}

std::optional<WrittenPeriod> FirstPeriod(QStringView line) {
    qsizetype i = 0;
    while (i < line.size()) {
        if (!IsAsciiDigit(line[i])) {
            ++i;
            continue;
        }
        const qsizetype end = DigitRunEnd(line, i);
        if (std::optional<WrittenPeriod> period = WrittenPeriodAt(line, i, end))
            return period;
        i = end;
    }
    return std::nullopt;
}

QString PeriodFaultReason(const PeriodReading& period, const QDate& today) {
    switch (period.fault) {
    case PeriodFault::NoSuchDay:
        return u"日期不存在"_s;
    case PeriodFault::Before2000:
        return u"早于2000年"_s;
    case PeriodFault::After2099:
        return u"晚于今天"_s;
    case PeriodFault::None:
        break;
    }
    return period.day > today.addDays(1) ? u"晚于今天"_s : QString();
}

// Where the first number after `from` begins (the line's end when there is none): any text is
// passed over, dates and times too (digit runs joined by '-', '/' or ':').
qsizetype FirstNumberStart(QStringView line, qsizetype from) {
    qsizetype i = from;
    while (i < line.size()) {
        if (!IsAsciiDigit(line[i])) {
            ++i;
            continue;
        }
        qsizetype end = DigitRunEnd(line, i);
        if (!JoinsAnotherDigitRun(line, end))
            return i;
        while (JoinsAnotherDigitRun(line, end))
            end = DigitRunEnd(line, end + 1);
        i = end;
    }
    return i;
}

QString OutOfRangeReason(QStringView written) {
    const QString quoted =
        written.size() > LongestQuotedRun ? written.first(LongestQuotedRun).toString() + u"…"_s : written.toString();
    return u"%1 不在 01–11"_s.arg(quoted);
}

QString TooFewNumbersReason(int count) {
    static const std::array<QString, 5> reasons{u"没有号码"_s, u"只有一个号码"_s, u"只有两个号码"_s, u"只有三个号码"_s,
                                                u"只有四个号码"_s};
    return reasons[std::size_t(count)];
}

std::optional<int> DrawNumberOf(QStringView written) {
    if (written.size() > 2)
        return std::nullopt;
    const int number = DigitsValue(written);
    return IsGameNumber(number) ? std::optional<int>(number) : std::nullopt;
}

// The five numbers written together as ten digits, or why they are not draw numbers.
QString ReadJoinedNumbers(QStringView run, std::array<int, 5>& numbers) {
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const QStringView written = run.sliced(qsizetype(2 * k), 2);
        const std::optional<int> number = DrawNumberOf(written);
        if (!number)
            return OutOfRangeReason(written);
        numbers[k] = *number;
    }
    return {};
}

// The five numbers that follow `from`, or why the line does not hold them.
QString ReadNumbers(QStringView line, qsizetype from, std::array<int, 5>& numbers) {
    int count = 0;
    qsizetype i = FirstNumberStart(line, from);
    while (count < 5 && i < line.size() && IsAsciiDigit(line[i])) {
        const qsizetype end = DigitRunEnd(line, i);
        const QStringView run = line.sliced(i, end - i);
        if (count == 0 && run.size() == 10)
            return ReadJoinedNumbers(run, numbers);
        const std::optional<int> number = DrawNumberOf(run);
        if (!number)
            return OutOfRangeReason(run);
        numbers[std::size_t(count++)] = *number;
        i = end;
        while (i < line.size() && IsNumberSeparator(line[i]))
            ++i;
    }
    return count < 5 ? TooFewNumbersReason(count) : QString();
}

DrawLine Refused(const QString& reason) {
    DrawLine line;
    line.kind = DrawLine::Kind::Refused;
    line.reason = reason;
    return line;
}

} // namespace

DrawLine ReadDrawLine(QStringView line, const QDate& today) {
    const std::optional<WrittenPeriod> written = FirstPeriod(line);
    if (!written)
        return {};
    const PeriodReading period = ReadWrittenPeriod(*written);
    if (const QString reason = PeriodFaultReason(period, today); !reason.isEmpty())
        return Refused(reason);
    std::array<int, 5> numbers{};
    if (const QString reason = ReadNumbers(line, written->end, numbers); !reason.isEmpty())
        return Refused(reason);
    if (!AllDifferent(numbers))
        return Refused(u"号码重复"_s);
    DrawLine draw;
    draw.kind = DrawLine::Kind::Draw;
    draw.row = DrawRowOf(period.stored, numbers);
    return draw;
}

} // namespace tarvo
