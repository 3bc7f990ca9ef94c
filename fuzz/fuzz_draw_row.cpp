// Feeds arbitrary text to the conversion of a stored row into a draw and to the checks that guard
// appending. The input is read as UTF-8 (the database's text) and split at commas like a line of
// recorded draws: period, then the five numbers; missing fields are empty.
#include "FuzzCheck.h"

#include "tarvo/store/DrawRow.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/StoreError.h"

#include <cstddef>
#include <cstdint>

using namespace Qt::StringLiterals;

namespace tarvo::fuzz {
namespace {

DrawRow RowOf(const QString& line) {
    const QStringList fields = line.split(u',');
    DrawRow row;
    row.period = fields.value(0);
    for (std::size_t k = 0; k < 5; ++k)
        row.numbers[k] = fields.value(qsizetype(k) + 1);
    return row;
}

// A number read back prints as the same number.
void CheckPeriodReading(const QString& text) {
    const std::optional<qint64> period = ParsePeriod(text);
    if (period)
        Require(ParsePeriod(QString::number(*period)) == period, "a period prints and reads back the same");
}

std::optional<Draw> Convert(const DrawRow& row) {
    try {
        return DrawFromStoredRow(row.period, row.numbers, u"fuzz"_s);
    } catch (const StoreError&) {
        return std::nullopt;
    }
}

// A row fit to be stored always loads, and its history line shows the stored texts unchanged.
void CheckStorableRowLoads(const DrawRow& row, const std::optional<Draw>& draw) {
    Require(draw.has_value(), "a storable row loads");
    Require(ParsePeriod(row.period) == row.period.toLongLong(), "a storable period reads as its digits");
    Require((*draw)[0] == row.period.mid(2).toInt(), "the draw's period is the stored period without \"20\"");
    QString line = QString::number((*draw)[0]) + u"期"_s;
    for (std::size_t k = 0; k < 5; ++k) {
        Require((*draw)[k + 1] >= 1 && (*draw)[k + 1] <= 11, "a storable row's numbers lie in 1..11");
        line += row.numbers[k] + u' ';
    }
    Require(DrawHistoryLine(*draw) == line, "the history line shows the stored number texts");
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QString line = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const DrawRow row = fuzz::RowOf(line);
    fuzz::CheckPeriodReading(line);
    fuzz::CheckPeriodReading(row.period);
    const std::optional<Draw> draw = fuzz::Convert(row);
    if (draw)
        DrawHistoryLine(*draw);
    if (IsStorableDrawRow(row))
        fuzz::CheckStorableRowLoads(row, draw);
    return 0;
}
