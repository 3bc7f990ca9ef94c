// The live record over years of play: 100,000 recorded plans, read whole as the window's 实盘记录 tab reads them when
// it opens (target: well under 100 ms), and one more plan recorded as the window records each plan it shows.
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/LiveRecord.h"

#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace tarvo {
namespace {

constexpr int PlanCount = 100'000;

// A plan of one of the four lotteries, as the window would have shown it the k-th time: the settings change now and
// then, the periods move on, and all but the newest plans are decided.
LivePlan ShownPlan(int k) {
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

// A database file in a temporary folder holding the four empty draw tables and the record of PlanCount plans.
struct RecordFile {
    QTemporaryDir dir;
    QString file = dir.filePath(u"彩票数据.mdb"_s);
    Connection connection{file};

    RecordFile() {
        QElapsedTimer timer;
        timer.start();
        CreateDrawDatabase(file);
        connection.open();
        // Years of plans recorded in seconds rather than minutes: nothing here needs to survive a power cut.
        QSqlQuery(connection.database()).exec(u"pragma synchronous = off"_s);
        LiveRecord record(connection.database());
        record.ensureTable();
        for (int k = 0; k < PlanCount; ++k)
            record.record(ShownPlan(k));
        std::printf("%d plans recorded one by one in %.1f s\n", PlanCount, timer.nsecsElapsed() / 1e9);
    }
};

RecordFile& SharedRecord() {
    static RecordFile file;
    return file;
}

void BM_ReadWholeRecord(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    qsizetype plans = 0;
    for (auto _ : state) {
        const QList<LivePlan> read = record.read({});
        plans = read.size();
        benchmark::DoNotOptimize(read);
    }
    state.SetLabel("plans=" + std::to_string(plans));
}
BENCHMARK(BM_ReadWholeRecord)->Unit(benchmark::kMillisecond);

// The plan the window shows again after a refresh: found by its key, the lottery's running plans marked left.
void BM_RecordShownPlanAgain(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    const LivePlan shown = ShownPlan(PlanCount - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(record.record(shown));
}
BENCHMARK(BM_RecordShownPlanAgain)->Unit(benchmark::kMicrosecond);

// What the window does after each refresh: the lottery's undecided plans among the 100,000, judged on no new draw.
void BM_UndecidedPlans(benchmark::State& state) {
    LiveRecord record(SharedRecord().connection.database());
    for (auto _ : state)
        benchmark::DoNotOptimize(record.undecided(u"江西11选5"_s));
}
BENCHMARK(BM_UndecidedPlans)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace tarvo

BENCHMARK_MAIN();
