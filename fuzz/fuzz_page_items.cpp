// Feeds arbitrary bytes to the daily history page pass, read in each way a lottery reads its pages. A form
// feed (byte 12) in the input separates pages, so one input can stand for a whole pass over several days.
#include "DistinctLayouts.h"
#include "FuzzCheck.h"

#include "tarvo/fetch/PageCollector.h"
#include "tarvo/fetch/PageItems.h"
#include "tarvo/store/Lottery.h"

#include <QSet>
#include <cstddef>
#include <cstdint>

namespace tarvo::fuzz {
namespace {

// Items are non-empty pieces of the text, in text order, none starting with a blank.
void CheckItems(const QList<QByteArray>& items, const QByteArray& text) {
    qsizetype from = 0;
    for (const QByteArray& item : items) {
        Require(!item.isEmpty(), "no empty item");
        Require(item[0] != ' ' && item[0] != '\r' && item[0] != '\n', "an item does not start with a blank");
        const qsizetype at = text.indexOf(item, from);
        Require(at >= 0, "an item is a piece of the collected text, in order");
        from = at + item.size();
    }
}

void CheckRows(const QList<DrawRow>& rows, qint64 bound) {
    QSet<QString> periods;
    for (const DrawRow& row : rows) {
        Require(IsStorableDrawRow(row), "an accepted page row is storable");
        const std::optional<qint64> period = ParsePeriod(row.period);
        Require(period && *period > bound, "an accepted page row lies above the stored period");
        Require(!periods.contains(row.period), "a period is accepted once");
        periods.insert(row.period);
    }
}

// Reading the pages one by one collects the same text as reading them as one page, line after line.
void CheckPagesCollectLikeOneText(const QList<QByteArray>& pages, const PageLayout& layout,
                                  const QByteArray& collected) {
    PageCollector whole(layout.periodLineLength);
    whole.addPage(pages.join('\n'));
    Require(whole.collectedText() == collected, "pages collect like their lines read in one text");
}

void CheckPass(const QList<QByteArray>& pages, const PageLayout& layout) {
    PageCollector collector(layout.periodLineLength);
    for (const QByteArray& page : pages)
        collector.addPage(page);
    const QByteArray& collected = collector.collectedText();
    CheckPagesCollectLikeOneText(pages, layout, collected);

    const QList<QByteArray> items = SplitItems(collected);
    CheckItems(items, collected);
    const QList<DrawRow> rows = RowsFromPages(pages, layout, -1);
    Require(rows == RowsFromItems(items, layout, -1), "a pass reads the rows of its collected items");
    CheckRows(rows, -1);
}

} // namespace
} // namespace tarvo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tarvo;
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QList<QByteArray> pages = input.split('\f');
    static const QList<PageLayout> layouts = fuzz::DistinctLayouts(&Lottery::page);
    for (const PageLayout& layout : layouts)
        fuzz::CheckPass(pages, layout);
    fuzz::CheckItems(SplitItems(input), input);
    return 0;
}
