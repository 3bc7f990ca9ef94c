#pragma once

#include <QList>
#include <QString>

namespace tarvo {

// One lottery as the local draw source publishes it: the addresses of its feed document and of
// its daily pages, and the layout details that differ between lotteries.
struct SourceLottery {
    QString name;            // e.g. 重庆11选5
    QString code;            // short ASCII name, e.g. cq11x5
    QString feedPath;        // e.g. /static/cq11x5/newlyopenlist.xml
    QString pagePath;        // e.g. /lottery/draw/list/558 (the day comes as the query d=YYYY-MM-DD)
    QString periodAttribute; // the feed row's first attribute; its length puts the period in place
    bool longPeriodLines;    // page period lines of ten characters (20YYMMDDNN) instead of eight
};

// The four lotteries: 重庆, 广东, 山东, 江西 11选5.
const QList<SourceLottery>& SourceLotteries();

// The lottery with that name; nullptr for an unknown name.
const SourceLottery* FindSourceLottery(const QString& name);

} // namespace tarvo
