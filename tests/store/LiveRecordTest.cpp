#include "TestDatabase.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/StoreError.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

#include <thread>
#include <tuple>

using namespace Qt::StringLiterals;
using tarvo::test::DirectAccess;
using tarvo::test::TestDatabase;
using tarvo::test::WithDirectConnection;

namespace tarvo {
namespace {

const QString Shandong = u"山东11选5"_s;
const QString Guangdong = u"广东11选5"_s;

LivePlan Plan(const QString& lottery, const QString& firstPeriod, const QString& playType, int codeCount,
              const QDateTime& shownAt) {
    LivePlan plan;
    plan.lottery = lottery;
    plan.firstPeriod = firstPeriod;
    plan.lastPeriod = QString::number(firstPeriod.toLongLong() + 2);
    plan.playType = playType;
    plan.codeCount = codeCount;
    plan.planPeriods = 3;
    plan.poolSeed = 86399999;
    plan.betNumbers = u"01 09 10 04 07 02"_s.first(3 * codeCount - 1);
    plan.betCount = codeCount;
    plan.shownAt = shownAt;
    return plan;
}

QDateTime At(int day, int hour, int minute, int second = 0, int millisecond = 0) {
    return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second, millisecond));
}

QStringList TablesOf(const QString& file) {
    QStringList tables;
    WithDirectConnection(file, DirectAccess::ReadOnly, [&](QSqlDatabase& db) { tables = db.tables(); });
    tables.sort();
    return tables;
}

TEST(LiveRecord, KeepsEachShownPlanOnceMarksThePlansLeftBehindAndReadsThemBack) {
    TestDatabase db;
    db.insertConsecutive(Shandong, 2026120901, 3);
    Connection first(db.filePath());
    Connection second(db.filePath());
    first.open();
    second.open();
    LiveRecord record(first.database());
    LiveRecord other(second.database());
    EXPECT_EQ(record.ensureTable(), QString());
    EXPECT_EQ(other.ensureTable(), QString());

    LivePlan frontTwo = Plan(Shandong, u"2026120904"_s, u"前二"_s, 3, At(9, 9, 30, 15, 250));
    frontTwo.id = record.record(frontTwo);
    EXPECT_GT(frontTwo.id, 0);
    EXPECT_EQ(other.record(frontTwo), frontTwo.id) << "shown again, by another run of the program";
    LivePlan seedChanged = Plan(Shandong, u"2026120904"_s, u"前二"_s, 3, At(9, 9, 29));
    seedChanged.poolSeed = 0;
    seedChanged.id = other.record(seedChanged);
    frontTwo.left = true;
    EXPECT_NE(seedChanged.id, frontTwo.id);

    // Two runs of the program showing the same plans at the same moment keep each once.
    QList<LivePlan> shownByBoth;
    for (int k = 0; k < 20; ++k)
        shownByBoth << Plan(Guangdong, QString::number(2026120901LL + k), u"任三"_s, 5, At(9, 10, k));
    QList<qint64> idsOf[2];
    const auto show = [&](QList<qint64>& ids) {
        Connection connection(db.filePath());
        connection.open();
        LiveRecord run(connection.database());
        for (const LivePlan& plan : shownByBoth)
            ids << run.record(plan);
    };
    std::thread a(show, std::ref(idsOf[0]));
    std::thread b(show, std::ref(idsOf[1]));
    a.join();
    b.join();
    EXPECT_EQ(idsOf[0], idsOf[1]);
    const QList<LivePlan> stored = record.read({Guangdong, {}, {}, {}, 0, 0});
    ASSERT_EQ(stored.size(), shownByBoth.size());
    for (qsizetype k = 0; k < shownByBoth.size(); ++k) {
        shownByBoth[k].id = idsOf[0][k];
        shownByBoth[k].left = k + 1 < shownByBoth.size() || stored.back().left; // the last: as the runs met
    }

    // A decided plan is not left by the next one; a plan once left stays so when shown again.
    record.setOutcome(seedChanged.id, LiveOutcome::Hit, 1, u"2026120904"_s);
    seedChanged.outcome = LiveOutcome::Hit;
    seedChanged.hitAtPeriod = 1;
    seedChanged.decidingPeriod = u"2026120904"_s;
    LivePlan anyOne = Plan(Shandong, u"2026120905"_s, u"任一"_s, 1, At(10, 0, 0));
    anyOne.id = record.record(anyOne);
    EXPECT_EQ(record.record(frontTwo), frontTwo.id);
    anyOne.left = true;
    EXPECT_THROW(record.setOutcome(anyOne.id + 1000, LiveOutcome::Missed, 0, u"2026120907"_s), StoreError);

    // In the order shown, though the plan of the other seed was recorded second.
    EXPECT_EQ(record.read({}), (QList<LivePlan>{seedChanged, frontTwo} + shownByBoth + QList<LivePlan>{anyOne}));
    EXPECT_EQ(other.undecided(Shandong), (QList<LivePlan>{frontTwo, anyOne})) << "left plans are still judged";

    struct Case {
        LiveRecordFilter filter;
        QList<LivePlan> expected;
    };
    const QList<Case> cases{
        {{Shandong, {}, {}, {}, 0, 0}, {seedChanged, frontTwo, anyOne}},
        {{Shandong, QDate(2026, 12, 10), QDate(2026, 12, 10), {}, 0, 0}, {anyOne}},
        {{{}, {}, QDate(2026, 12, 9), u"前二"_s, 3, 3}, {seedChanged, frontTwo}},
        {{{}, QDate(2026, 12, 9), {}, {}, 5, 0}, shownByBoth},
        {{Shandong, {}, {}, {}, 0, 4}, {}},
    };
    for (qsizetype k = 0; k < cases.size(); ++k)
        EXPECT_EQ(record.read(cases[k].filter), cases[k].expected) << "filter " << k;

    // What the window's tab reads instead of the whole record: counts, settings, the newest plans in the
    // order they were recorded (the plan of the other seed second, after the first 前二).
    const auto tallies = record.tallyBySetting(cases[0].filter);
    ASSERT_EQ(tallies.size(), 2);
    EXPECT_EQ(tallies[0].first, (LiveSetting{u"前二"_s, 3, 3}));
    EXPECT_EQ(std::tuple(tallies[0].second.recorded, tallies[0].second.decided, tallies[0].second.hits),
              std::tuple(2, 1, 1));
    EXPECT_EQ(tallies[1].first, (LiveSetting{u"任一"_s, 1, 3}));
    EXPECT_EQ(std::tuple(tallies[1].second.recorded, tallies[1].second.decided, tallies[1].second.hits),
              std::tuple(1, 0, 0));
    EXPECT_TRUE(record.tallyBySetting(cases[4].filter).isEmpty());
    EXPECT_EQ(record.readNewest(cases[0].filter, 2), (QList<LivePlan>{seedChanged, anyOne}));
    EXPECT_EQ(record.readNewest(cases[3].filter, 100), shownByBoth);
    EXPECT_EQ(db.periods(Shandong), (QStringList{u"2026120901"_s, u"2026120902"_s, u"2026120903"_s}));
}

// The window hands over only the newest draws; a plan that began before them is judged on the stored
// draws, which it alone would get wrong (at 2026120902 it hit; the handed draws would make it a miss).
TEST(LiveRecord, JudgesFromTheNewestDrawsAndAPlanBeganBeforeThemFromTheStoredDraws) {
    TestDatabase db;
    const QStringList none{u"02"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s};
    QList<QStringList> rows;
    for (int day = 1; day <= 6; ++day)
        rows << (QStringList{QString::number(2026120900 + day)} +
                 (day == 2 ? QStringList{u"01"_s} + none.mid(1) : none));
    db.insertRows(Shandong, rows);
    Connection connection(db.filePath());
    connection.open();
    LiveRecord record(connection.database());
    record.ensureTable();
    LivePlan began = Plan(Shandong, u"2026120902"_s, u"任一"_s, 1, At(9, 9, 0));
    began.id = record.record(began);
    LivePlan running = Plan(Shandong, u"2026120905"_s, u"任一"_s, 1, At(9, 9, 1));
    running.betNumbers = u"09"_s;
    running.id = record.record(running);

    const DrawHistory stored = ReadDrawHistory(db.filePath(), Shandong);
    const DrawHistory newest(stored.begin() + 3, stored.end()); // 2026120904 on
    const JudgedRecord judged = JudgeUndecidedFrom(db.filePath(), Shandong, newest, false);
    ASSERT_EQ(judged.decided.size(), 1);
    EXPECT_EQ(judged.decided[0].id, began.id);
    EXPECT_EQ(judged.decided[0].outcome, LiveOutcome::Hit);
    EXPECT_EQ(judged.decided[0].decidingPeriod, u"2026120902"_s);
    EXPECT_EQ(judged.oldestUndecided, std::optional<std::int32_t>(26120905));
    EXPECT_EQ(record.undecided(Shandong), (QList<LivePlan>{running}));
}

// The page of the file where a table begins.
int RootPageOf(const QString& file, const QString& table) {
    int page = 0;
    WithDirectConnection(file, DirectAccess::ReadOnly, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        query.prepare(u"select rootpage from sqlite_master where name = ?"_s);
        query.addBindValue(table);
        if (query.exec() && query.next())
            page = query.value(0).toInt();
    });
    return page;
}

// Overwrites one page of a database file that no connection holds open.
void Scribble(const QString& file, int page) {
    int pageSize = 0;
    WithDirectConnection(file, DirectAccess::ReadOnly, [&](QSqlDatabase& db) {
        QSqlQuery query(u"pragma page_size"_s, db);
        pageSize = query.next() ? query.value(0).toInt() : 0;
    });
    ASSERT_GT(page, 1);
    ASSERT_GT(pageSize, 0);
    QFile bytes(file);
    ASSERT_TRUE(bytes.open(QIODevice::ReadWrite));
    ASSERT_TRUE(bytes.seek(qint64(page - 1) * pageSize));
    ASSERT_EQ(bytes.write(QByteArray(pageSize, '\xa5')), pageSize);
}

TEST(LiveRecord, SetsAsideARecordOfAnotherShapeOrOneDamagedAndStartsAnewBesideUntouchedDraws) {
    TestDatabase db;
    db.insertConsecutive(Shandong, 2026120901, 50);
    const QList<QStringList> draws = db.rows(Shandong);
    WithDirectConnection(db.filePath(), DirectAccess::ReadWrite, [](QSqlDatabase& sql) {
        QSqlQuery(u"create table 实盘记录 (彩种 text, 首期 text)"_s, sql);
        QSqlQuery(u"insert into 实盘记录 values ('山东11选5', '2026120901')"_s, sql);
    });
    {
        Connection connection(db.filePath());
        connection.open();
        LiveRecord record(connection.database());
        const QString told = record.ensureTable();
        EXPECT_TRUE(told.contains(u"其他版本"_s)) << told.toStdString();
        EXPECT_EQ(record.ensureTable(), QString()) << "told once";
        EXPECT_EQ(record.read({}), QList<LivePlan>());
        for (int k = 0; k < 400; ++k)
            record.record(Plan(Guangdong, QString::number(2026120901LL + k), u"任五"_s, 5, At(9, 8, 0, k % 60)));
    }
    QStringList tables = TablesOf(db.filePath());
    const QStringList setAside = tables.filter(u"实盘记录_旧_"_s);
    ASSERT_EQ(setAside.size(), 1);
    int oldRows = 0;
    WithDirectConnection(db.filePath(), DirectAccess::ReadOnly, [&](QSqlDatabase& sql) {
        QSqlQuery query(u"select count(*) from \"%1\""_s.arg(setAside.front()), sql);
        oldRows = query.next() ? query.value(0).toInt() : -1;
    });
    EXPECT_EQ(oldRows, 1) << "kept as it was";

    Scribble(db.filePath(), RootPageOf(db.filePath(), u"实盘记录"_s));
    Connection connection(db.filePath());
    connection.open();
    LiveRecord record(connection.database());
    const QString told = record.ensureTable();
    EXPECT_TRUE(told.contains(u"损坏"_s)) << told.toStdString();
    EXPECT_EQ(TablesOf(db.filePath()).filter(u"实盘记录_旧_"_s).size(), 2);
    const LivePlan plan = Plan(Shandong, u"2026120951"_s, u"前一"_s, 2, At(9, 12, 0));
    EXPECT_EQ(record.read({}), QList<LivePlan>());
    EXPECT_GT(record.record(plan), 0);
    EXPECT_EQ(record.read({}).size(), 1);
    EXPECT_EQ(db.rows(Shandong), draws);
}

} // namespace
} // namespace tarvo
