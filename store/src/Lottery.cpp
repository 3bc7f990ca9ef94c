#include "tarvo/store/Lottery.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

const QList<Lottery>& Lotteries() {
    // Feeds put the period 12 characters after "<row" for the first lottery and 14 for the others;
    // only the last one writes the leading "20" of the period on its pages.
    static const QList<Lottery> lotteries{
        {u"山东11选5"_s,
         u"sd11x5"_s,
         {u"/static/11yun/newlyopenlist.xml"_s, 12, 31},
         {u"/lottery/draw/list/20?d="_s, 8, 1, 9},
         2,
         1200},
        {u"广东11选5"_s,
         u"gd11x5"_s,
         {u"/static/gd11x5/newlyopenlist.xml"_s, 14, 33},
         {u"/lottery/draw/list/23?d="_s, 8, 1, 9},
         1,
         1000},
        {u"重庆11选5"_s,
         u"cq11x5"_s,
         {u"/static/cq11x5/newlyopenlist.xml"_s, 14, 33},
         {u"/lottery/draw/list/558?d="_s, 8, 1, 9},
         0,
         std::nullopt},
        {u"江西11选5"_s,
         u"jx11x5"_s,
         {u"/static/jx11x5/newlyopenlist.xml"_s, 14, 33},
         {u"/lottery/draw/list/22?d="_s, 10, 3, 11},
         3,
         std::nullopt},
    };
    return lotteries;
}

QList<Lottery> LotteriesInDownloadOrder() {
    QList<Lottery> ordered = Lotteries();
    std::sort(ordered.begin(), ordered.end(),
              [](const Lottery& a, const Lottery& b) { return a.downloadTurn < b.downloadTurn; });
    return ordered;
}

const Lottery* FindLottery(const QString& name) {
    for (const Lottery& lottery : Lotteries()) {
        if (lottery.name == name)
            return &lottery;
    }
    return nullptr;
}

const Lottery* FindLotteryByCode(const QString& code) {
    for (const Lottery& lottery : Lotteries()) {
        if (lottery.code == code)
            return &lottery;
    }
    return nullptr;
}

QStringList LotteryNames() {
    QStringList names;
    for (const Lottery& lottery : Lotteries())
        names << lottery.name;
    return names;
}

QString DrawTableName(const QString& lottery) {
    return lottery + u"彩票号码表"_s;
}

QString PeriodColumn() {
    return u"记录期号"_s;
}

QString DrawDatabaseFileName() {
    return u"彩票数据.mdb"_s;
}

QString DrawDatabasePath(const QString& appDir) {
    return appDir + DrawDatabaseFileName();
}

} // namespace tarvo
