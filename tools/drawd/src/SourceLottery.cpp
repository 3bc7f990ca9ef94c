#include "tarvo/drawd/SourceLottery.h"

using namespace Qt::StringLiterals;

namespace tarvo {

const QList<SourceLottery>& SourceLotteries() {
    // "<row issueno=" puts the period 14 characters after "<", "<row issue=" 12; "numbers" follows.
    static const QList<SourceLottery> lotteries{
        {u"重庆11选5"_s, u"cq11x5"_s, u"/static/cq11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/558"_s, u"issueno"_s,
         false},
        {u"广东11选5"_s, u"gd11x5"_s, u"/static/gd11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/23"_s, u"issueno"_s,
         false},
        {u"山东11选5"_s, u"sd11x5"_s, u"/static/11yun/newlyopenlist.xml"_s, u"/lottery/draw/list/20"_s, u"issue"_s,
         false},
        {u"江西11选5"_s, u"jx11x5"_s, u"/static/jx11x5/newlyopenlist.xml"_s, u"/lottery/draw/list/22"_s, u"issueno"_s,
         true},
    };
    return lotteries;
}

const SourceLottery* FindSourceLottery(const QString& name) {
    for (const SourceLottery& lottery : SourceLotteries()) {
        if (lottery.name == name)
            return &lottery;
    }
    return nullptr;
}

} // namespace tarvo
