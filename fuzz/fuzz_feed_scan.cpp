// Feeds arbitrary bytes to the latest-draw feed scan as a feed text, cut in each way a lottery cuts its feed.
#include "DistinctLayouts.h"
#include "FuzzCheck.h"

#include "tarvo/fetch/FeedScan.h"
#include "tarvo/store/Lottery.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

namespace tarvo::fuzz {
namespace {

qint64 PeriodOf(const DrawRow& row) {
    const std::optional<qint64> period = ParsePeriod(row.period);
    Require(period.has_value(), "an accepted row has a readable period");
    return *period;
}

// Every accepted row is fit to be stored, lies above the bound and is the only one of its period;
// there are never more rows than "<row" marks in the text.
void CheckRows(const QList<DrawRow>& rows, const QByteArray& text, qint64 bound) {
    QSet<QString> periods;
    for (const DrawRow& row : rows) {
        Require(IsStorableDrawRow(row), "an accepted feed row is storable");
        Require(PeriodOf(row) > bound, "an accepted feed row lies above the stored period");
        Require(!periods.contains(row.period), "a period is accepted once");
        periods.insert(row.period);
    }
    Require(rows.size() <= text.count("<row"), "at most one row per <row mark");
}

// Raising the bound only drops the rows at or below it; the others keep their order.
void CheckBoundOnlyFilters(const QList<DrawRow>& allRows, const QByteArray& text, const FeedLayout& feed) {
    if (allRows.isEmpty())
        return;
    const qint64 bound = PeriodOf(allRows[allRows.size() / 2]);
    QList<DrawRow> expected;
    for (const DrawRow& row : allRows) {
        if (PeriodOf(row) > bound)
            expected.append(row);
    }
    Require(ScanFeedText(text, feed, bound) == expected, "a higher bound keeps exactly the rows above it");
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    static const QList<FeedLayout> feeds = fuzz::DistinctLayouts(&Lottery::feed);
    for (const FeedLayout& feed : feeds) {
        const QList<DrawRow> allRows = ScanFeedText(text, feed, -1);
        fuzz::CheckRows(allRows, text, -1);
        fuzz::CheckBoundOnlyFilters(allRows, text, feed);
    }
    return 0;
}
