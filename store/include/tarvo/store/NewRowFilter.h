#pragma once

#include "tarvo/store/DrawRow.h"

#include <QSet>

namespace tarvo {

// Decides which rows one pass over a source of draws may store: rows newer than the newest period
// stored before the pass (the bound is not raised while the pass runs), fit to be stored, and each
// period only once.
class NewRowFilter {
public:
    explicit NewRowFilter(qint64 lastStoredPeriod)
        : lastStoredPeriod_(lastStoredPeriod) {}

    bool admits(const DrawRow& row) {
        const std::optional<qint64> period = ParsePeriod(row.period);
        if (!period || *period <= lastStoredPeriod_ || !IsStorableDrawRow(row) || kept_.contains(row.period))
            return false;
        kept_.insert(row.period);
        return true;
    }

private:
    qint64 lastStoredPeriod_;
    QSet<QString> kept_;
};

} // namespace tarvo
