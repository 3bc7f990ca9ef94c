#include "tarvo/fetch/FeedTable.h"

using namespace Qt::StringLiterals;

namespace tarvo {

const QList<FeedEntry>& FeedEntries() {
    static const QList<FeedEntry> entries{
        {u"重庆11选5"_s, u"/static/cq11x5/newlyopenlist.xml"_s, 14, 33},
        {u"广东11选5"_s, u"/static/gd11x5/newlyopenlist.xml"_s, 14, 33},
        {u"山东11选5"_s, u"/static/11yun/newlyopenlist.xml"_s, 12, 31},
        {u"江西11选5"_s, u"/static/jx11x5/newlyopenlist.xml"_s, 14, 33},
    };
    return entries;
}

std::optional<FeedEntry> FindFeedEntry(const QString& lottery) {
    for (const FeedEntry& entry : FeedEntries()) {
        if (entry.lottery == lottery)
            return entry;
    }
    return std::nullopt;
}

} // namespace tarvo
