#pragma once

#include <QList>
#include <QString>

namespace tarvo {

// One lottery as the local draw source publishes it: the addresses of its feed document, of its
// daily pages and of its JSON draw lists, and the layout details that differ between lotteries. The
// source writes them as the draw sites do, on its own and not from what the program knows of the
// lotteries (Lotteries()), so that a program that reads the source reads the sites.
struct SourceLottery {
    QString name;            // the lottery's name
    QString code;            // the folder of its feed path, named in its feed document
    QString feedPath;        // e.g. /static/<code>/newlyopenlist.xml
    QString pagePath;        // e.g. /lottery/draw/list/<id> (the day comes as the query d=YYYY-MM-DD)
    QString jsonPath;        // the newest draws as JSON: /json/<code>.json, code as Lottery::code (sd11x5, …)
    QString dayJsonFolder;   // a day's draws as JSON: this folder, /json/<code>/, and YYYY-MM-DD.json
    QString periodAttribute; // the feed row's first attribute; its length puts the period in place
    bool longPeriodLines;    // page period lines of ten characters (20YYMMDDNN) instead of eight
};

// The lotteries, in the order of the program's lottery group (山东, 广东, 重庆, 江西).
const QList<SourceLottery>& SourceLotteries();

// The lottery with that name; nullptr for an unknown name.
const SourceLottery* FindSourceLottery(const QString& name);

} // namespace tarvo
