#pragma once

#include "tarvo/store/Lottery.h"

#include <QList>
#include <algorithm>

namespace tarvo::fuzz {

// Whether two lotteries cut their feeds, or read their pages, the same way.
inline bool ReadAlike(const FeedLayout& a, const FeedLayout& b) {
    return a.periodOffset == b.periodOffset && a.numbersOffset == b.numbersOffset;
}

inline bool ReadAlike(const PageLayout& a, const PageLayout& b) {
    return a.periodLineLength == b.periodLineLength && a.periodCutStart == b.periodCutStart &&
           a.numbersCutStart == b.numbersCutStart;
}

// The lotteries' feed (&Lottery::feed) or page (&Lottery::page) layouts, those that read alike
// once: most lotteries read alike, and reading an input twice the same way finds nothing new.
template <typename Layout> QList<Layout> DistinctLayouts(Layout Lottery::*kind) {
    QList<Layout> distinct;
    for (const Lottery& lottery : Lotteries()) {
        const Layout& layout = lottery.*kind;
        const auto alike = [&layout](const Layout& seen) { return ReadAlike(seen, layout); };
        if (std::none_of(distinct.cbegin(), distinct.cend(), alike))
            distinct.append(layout);
    }
    return distinct;
}

} // namespace tarvo::fuzz
