#pragma once

#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"

#include <QByteArray>
#include <QList>

namespace tarvo {

// The rows of a feed text to append, in feed order. Every "<row" that begins at least four bytes
// before the end is cut at the lottery's feed offsets: period "20" + eight bytes, five two-byte numbers.
// A row is kept when its period is greater than lastStoredPeriod (the bound stays where it was
// before the scan) and the row is fit to be stored; a row that is not, or that repeats a period
// already kept, is skipped and the scan goes on.
QList<DrawRow> ScanFeedText(const QByteArray& feedText, const FeedLayout& layout, qint64 lastStoredPeriod);

} // namespace tarvo
