#pragma once

#include "tarvo/store/DrawRow.h"

#include <QSet>
#include <functional>
#include <optional>

namespace tarvo {

// What a draw table held when a pass over a source began, as far as the pass needs to know which of
// its rows the table lacks.
struct StoredPeriods {
    qint64 newest = 0;            // the newest stored period; 0 for an empty table
    std::optional<qint64> oldest; // the oldest stored period; none for an empty table
    QSet<qint64> held;            // the stored periods, at least those from the pass's oldest row up
};

// Decides which rows one pass over a source of draws may store: rows fit to be stored, each period
// only once, and
// - every row newer than the newest period stored before the pass (the bound is not raised while
//   the pass runs), as the sources have always been read;
// - a row older than that but newer than the oldest stored period, whose period the table lacks
//   and that the pass vouches for as one of its own draws (isDrawOfThePass): a draw an earlier pass
//   missed, for instance because a page came cut short. The table's history before its oldest row
//   is not filled in: trimming removed it, or the table began there.
class NewRowFilter {
public:
    // Only rows newer than lastStoredPeriod.
    explicit NewRowFilter(qint64 lastStoredPeriod)
        : stored_{lastStoredPeriod, std::nullopt, {}} {}

    NewRowFilter(StoredPeriods stored, std::function<bool(qint64 period)> isDrawOfThePass)
        : stored_(std::move(stored))
        , isDrawOfThePass_(std::move(isDrawOfThePass)) {}

    bool admits(const DrawRow& row) {
        const std::optional<qint64> period = ParsePeriod(row.period);
        if (!period || !IsStorableDrawRow(row) || kept_.contains(row.period) || !isMissing(*period))
            return false;
        kept_.insert(row.period);
        return true;
    }

private:
    bool isMissing(qint64 period) const {
        if (period > stored_.newest)
            return true;
        return stored_.oldest && period > *stored_.oldest && !stored_.held.contains(period) && isDrawOfThePass_ &&
               isDrawOfThePass_(period);
    }

    StoredPeriods stored_;
    std::function<bool(qint64)> isDrawOfThePass_;
    QSet<QString> kept_;
};

} // namespace tarvo
