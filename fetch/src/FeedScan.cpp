#include "tarvo/fetch/FeedScan.h"

#include "ByteText.h"
#include "tarvo/store/NewRowFilter.h"

namespace tarvo {

namespace {

DrawRow CutFeedRow(const QByteArray& feedText, qsizetype rowStart, const FeedLayout& layout) {
    DrawRow row;
    row.period = QStringLiteral("20") + QString::fromLatin1(CutBytes(feedText, rowStart + layout.periodOffset, 8));
    const QByteArrayView numbers = CutBytes(feedText, rowStart + layout.numbersOffset, 14);
    for (qsizetype k = 0; k < 5; ++k)
        row.numbers[std::size_t(k)] = QString::fromLatin1(CutBytes(numbers, 3 * k, 2));
    return row;
}

} // namespace

QList<DrawRow> ScanFeedText(const QByteArray& feedText, const FeedLayout& layout, qint64 lastStoredPeriod) {
    QList<DrawRow> rows;
    NewRowFilter filter(lastStoredPeriod);
    for (qsizetype i = feedText.indexOf("<row"); i >= 0 && i + 4 < feedText.size();
         i = feedText.indexOf("<row", i + 1)) {
        const DrawRow row = CutFeedRow(feedText, i, layout);
        if (filter.admits(row))
            rows.append(row);
    }
    return rows;
}

} // namespace tarvo
