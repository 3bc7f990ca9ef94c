#include "tarvo/drawd/SourceLottery.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

const QList<SourceLottery>& SourceLotteries() {
    // As the draw sites publish them. A feed row is written <row NAME="period" numbers="n1,...,n5"/>:
    // 山东's feed names the period "issue", which puts it 12 characters after the "<" of "<row"; the
    // others name it "issueno" (14 characters). Only 江西's pages write the period with its "20".
    static const QList<SourceLottery> lotteries{
        {u"山东11选5"_s, u"11yun"_s, u"/static/11yun/newlyopenlist.xml"_s, u"/lottery/draw/list/20"_s,
         u"/json/sd11x5.json"_s, u"/json/sd11x5/"_s, u"issue"_s, false},
        {u"广东11选5"_s, u"gd11x5"_s, u"/static/gd11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/23"_s,
         u"/json/gd11x5.json"_s, u"/json/gd11x5/"_s, u"issueno"_s, false},
        {u"重庆11选5"_s, u"cq11x5"_s, u"/static/cq11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/558"_s,
         u"/json/cq11x5.json"_s, u"/json/cq11x5/"_s, u"issueno"_s, false},
        {u"江西11选5"_s, u"jx11x5"_s, u"/static/jx11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/22"_s,
         u"/json/jx11x5.json"_s, u"/json/jx11x5/"_s, u"issueno"_s, true},
    };
    return lotteries;
}

const SourceLottery* FindSourceLottery(const QString& name) {
    const QList<SourceLottery>& all = SourceLotteries();
    const auto found =
        std::find_if(all.begin(), all.end(), [&](const SourceLottery& lottery) { return lottery.name == name; });
    return found == all.end() ? nullptr : &*found;
}

} // namespace tarvo
