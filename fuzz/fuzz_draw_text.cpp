// Feeds arbitrary bytes to the reader of draw text, as a file a player brings.
#include "FuzzCheck.h"

#include "tarvo/fetch/DrawText.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

namespace tarvo::fuzz {
namespace {

const QDate Today(2026, 12, 9);

// The lines of the text, counted as \n, \r\n and \r end them.
int LineCount(const QString& text) {
    int lines = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        if (text[i] == u'\n' || text[i] == u'\r')
            ++lines;
    }
    const bool unendedLast = !text.isEmpty() && text.back() != u'\n' && text.back() != u'\r';
    return lines + (unendedLast ? 1 : 0);
}

// Every draw is storable, of five different numbers, of a real day from 2000 to tomorrow, and the
// only one of its period.
void CheckDraws(const QList<TextDraw>& draws) {
    QSet<QString> periods;
    for (const TextDraw& draw : draws) {
        const DrawRow& row = draw.row;
        Require(IsStorableDrawRow(row), "a read draw is storable");
        const std::optional<qint64> period = ParsePeriod(row.period);
        const std::optional<QDate> day = period ? DayOfPeriod(*period) : std::nullopt;
        Require(day && *period % 100 != 0, "a read draw's period names a real day and draw");
        Require(day->year() >= 2000 && *day <= Today.addDays(1), "a read draw's day lies from 2000 to tomorrow");
        Require(QSet<QString>(row.numbers.begin(), row.numbers.end()).size() == 5, "five different numbers");
        Require(!periods.contains(row.period), "a period is read once");
        periods.insert(row.period);
    }
}

// Draws and refused lines each come in increasing line order, within the text's lines, and no line
// is both.
void CheckLines(const DrawTextRead& read, int lineCount) {
    QSet<int> lines;
    int previous = 0;
    for (const TextDraw& draw : read.draws) {
        Require(draw.line > previous && draw.line <= lineCount, "draw lines increase within the text");
        previous = draw.line;
        lines.insert(draw.line);
    }
    previous = 0;
    for (const RefusedLine& refused : read.refused) {
        Require(refused.line > previous && refused.line <= lineCount, "refused lines increase within the text");
        Require(!refused.reason.isEmpty(), "a refused line has its reason");
        Require(!lines.contains(refused.line), "no line is both a draw and refused");
        previous = refused.line;
    }
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const DrawTextRead read = ReadDrawText(bytes, fuzz::Today);
    QString encoding;
    const QString text = DecodeDrawFile(bytes, &encoding);
    fuzz::Require(read.encoding == encoding, "the read names the encoding of the decoded text");
    fuzz::Require(encoding == QStringLiteral("UTF-8") || encoding == QStringLiteral("GB18030"), "UTF-8 or GB18030");
    fuzz::CheckDraws(read.draws);
    fuzz::CheckLines(read, fuzz::LineCount(text));
    return 0;
}
