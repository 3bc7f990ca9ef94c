#pragma once

#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"

#include <QByteArray>
#include <QList>

namespace tarvo {

// Splits collected text into items at "*": empty items are dropped, blanks at the start of an item
// are skipped, and a quotation mark (' or ") makes the split pass over "*" until the same mark
// comes again; the marks stay in the items.
QList<QByteArray> SplitItems(const QByteArray& collectedText);

// The rows to append from a pass's items, taken from the last item to the first: period "20" +
// the period cut, numbers the five two-byte pieces of the numbers cut. An item is kept when its
// period is greater than lastStoredPeriod (the bound stays where it was before the pass) and the
// row is fit to be stored; others, and repeats of a period already kept, are skipped.
QList<DrawRow> RowsFromItems(const QList<QByteArray>& items, const PageLayout& layout, qint64 lastStoredPeriod);

// The rows one lottery's pass appends from its pages (today's page first).
QList<DrawRow> RowsFromPages(const QList<QByteArray>& pages, const PageLayout& layout, qint64 lastStoredPeriod);

} // namespace tarvo
