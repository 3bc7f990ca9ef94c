#pragma once
// A live record of years of play for the benchmarks: 100,000 plans the window showed, recorded one by one
// as the window records them, in a database file in a temporary folder.
#include "BriefRun.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/LiveRecord.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <cstdio>

namespace tarvo::bench {

using namespace Qt::StringLiterals;

inline const int PlanCount = BenchSize(100'000);

// A plan of one of the four lotteries, as the window would have shown it the k-th time: the settings change now and
// then, the periods move on, and all but the newest plans are decided.
inline LivePlan ShownPlan(int k) {
    static const QStringList lotteries{u"山东11选5"_s, u"广东11选5"_s, u"重庆11选5"_s, u"江西11选5"_s};
    static const QStringList types{u"前一"_s, u"前二"_s, u"任三"_s, u"任五"_s};
    static const QStringList bets{u"01 09"_s, u"01 09 10 04"_s, u"01 09 10 04 07"_s, u"01 09 10 04 07 02 11"_s};
    const QDateTime start(QDate(2020, 1, 1), QTime(9, 0));
    LivePlan plan;
    plan.lottery = lotteries[k % 4];
    const qint64 first = 2020010101LL + (k / 4) % 80 + (k / 320) * 100;
    plan.firstPeriod = QString::number(first);
    plan.lastPeriod = QString::number(first + 4);
    plan.playType = types[(k / 40) % 4];
    plan.betNumbers = bets[(k / 40) % 4];
    plan.codeCount = int(plan.betNumbers.size() + 1) / 3;
    plan.planPeriods = 5;
    plan.poolSeed = quint32(k / 1000);
    plan.betCount = plan.codeCount;
    plan.shownAt = start.addSecs(qint64(k) * 600);
    if (k < PlanCount - 4) {
        plan.outcome = k % 3 == 0 ? LiveOutcome::Missed : LiveOutcome::Hit;
        plan.hitAtPeriod = plan.outcome == LiveOutcome::Hit ? 1 + k % 5 : 0;
        plan.decidingPeriod = QString::number(first + (plan.outcome == LiveOutcome::Hit ? k % 5 : 4));
    }
    return plan;
}

// Records PlanCount plans in the database file's live record, one by one as the window does.
inline void RecordYearsOfPlans(Connection& connection) {
    QElapsedTimer timer;
    timer.start();
    // Years of plans recorded in seconds rather than minutes: nothing here needs to survive a power cut.
    QSqlQuery(connection.database()).exec(u"pragma synchronous = off"_s);
    LiveRecord record(connection.database());
    record.ensureTable();
    for (int k = 0; k < PlanCount; ++k)
        record.record(ShownPlan(k));
    std::printf("%d plans recorded one by one in %.1f s\n", PlanCount, double(timer.nsecsElapsed()) / 1e9);
}

// A database file in a temporary folder holding the four empty draw tables and the record of PlanCount plans.
struct RecordFile {
    QTemporaryDir dir;
    QString file = dir.filePath(u"彩票数据.mdb"_s);
    Connection connection{file};

    RecordFile() {
        CreateDrawDatabase(file);
        connection.open();
        RecordYearsOfPlans(connection);
    }
};

} // namespace tarvo::bench
