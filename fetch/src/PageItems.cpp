#include "tarvo/fetch/PageItems.h"

#include "ByteText.h"
#include "tarvo/fetch/PageCollector.h"
#include "tarvo/store/NewRowFilter.h"

namespace tarvo {

namespace {

bool IsQuote(char c) {
    return c == '\'' || c == '"';
}

bool IsItemSeparator(char c) {
    return c == '*' || c == '\r' || c == '\n' || IsQuote(c);
}

bool IsItemBlank(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

DrawRow CutItem(const QByteArray& item, const PageLayout& layout) {
    DrawRow row;
    row.period = QStringLiteral("20") + QString::fromLatin1(CutBytes(item, layout.periodCutStart - 1, 8));
    const QByteArrayView numbers = CutBytes(item, layout.numbersCutStart - 1, 10);
    for (qsizetype k = 0; k < 5; ++k)
        row.numbers[std::size_t(k)] = QString::fromLatin1(CutBytes(numbers, 2 * k, 2));
    return row;
}

} // namespace

QList<QByteArray> SplitItems(const QByteArray& text) {
    QList<QByteArray> items;
    const qsizetype size = text.size();
    char quote = 0;
    qsizetype i = 0;
    while (i < size) {
        while (i < size && IsItemBlank(text[i]))
            ++i;
        const qsizetype head = i;
        for (;;) {
            while (i < size && (quote ? text[i] != quote : !IsItemSeparator(text[i])))
                ++i;
            if (i >= size || !IsQuote(text[i]))
                break;
            quote = quote == text[i] ? 0 : (quote ? quote : text[i]);
            ++i;
        }
        if (i > head)
            items.append(text.sliced(head, i - head));
        ++i;
    }
    return items;
}

QList<DrawRow> RowsFromItems(const QList<QByteArray>& items, const PageLayout& layout, qint64 lastStoredPeriod) {
    QList<DrawRow> rows;
    NewRowFilter filter(lastStoredPeriod);
    for (auto item = items.crbegin(); item != items.crend(); ++item) {
        const DrawRow row = CutItem(*item, layout);
        if (filter.admits(row))
            rows.append(row);
    }
    return rows;
}

QList<DrawRow> RowsFromPages(const QList<QByteArray>& pages, const PageLayout& layout, qint64 lastStoredPeriod) {
    PageCollector collector(layout.periodLineLength);
    for (const QByteArray& page : pages)
        collector.addPage(page);
    return RowsFromItems(SplitItems(collector.collectedText()), layout, lastStoredPeriod);
}

} // namespace tarvo
