#include "tarvo/drawd/SourceLottery.h"

#include "tarvo/store/Lottery.h"

#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// A feed row is written <row NAME="period" numbers="n1,n2,n3,n4,n5"/>: the period begins after
// "<row ", the name and '="', and the numbers eleven characters after the period's end. The name
// is "issueno" cut to the length that puts the period where the lottery's feed is read.
QString PeriodAttributeFor(const FeedLayout& feed) {
    const QString name = u"issueno"_s.left(feed.periodOffset - 7);
    if (name.size() != feed.periodOffset - 7 || name.size() < 1 || feed.numbersOffset != feed.periodOffset + 19)
        throw std::logic_error("the draw source cannot write a feed row with these offsets");
    return name;
}

SourceLottery SourceLotteryOf(const Lottery& lottery) {
    SourceLottery source;
    source.name = lottery.name;
    source.code = lottery.feed.path.section(u'/', -2, -2);
    source.feedPath = lottery.feed.path;
    source.pagePath = lottery.page.pathAndQueryKey.section(u'?', 0, 0);
    source.jsonPath = u"/json/%1.json"_s.arg(lottery.code);
    source.dayJsonFolder = u"/json/%1/"_s.arg(lottery.code);
    source.periodAttribute = PeriodAttributeFor(lottery.feed);
    source.longPeriodLines = lottery.page.periodLineLength == 10;
    return source;
}

} // namespace

const QList<SourceLottery>& SourceLotteries() {
    static const QList<SourceLottery> lotteries = [] {
        QList<SourceLottery> all;
        for (const Lottery& lottery : Lotteries())
            all << SourceLotteryOf(lottery);
        return all;
    }();
    return lotteries;
}

const SourceLottery* FindSourceLottery(const QString& name) {
    const QList<SourceLottery>& all = SourceLotteries();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const SourceLottery& lottery) { return lottery.name == name; });
    return found == all.end() ? nullptr : &*found;
}

} // namespace tarvo
