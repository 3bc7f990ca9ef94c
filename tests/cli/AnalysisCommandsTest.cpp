#include "CliRunner.h"
#include "TestDatabase.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/LiveRecord.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::CliRun;
using tarvo::test::RunCli;
using tarvo::test::TestDatabase;

namespace {

// The one JSON object a command printed; fails the test when the output is anything else.
QJsonObject JsonOf(const CliRun& run) {
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.endsWith(u'\n'));
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8(), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out.toStdString();
    return document.object();
}

QList<QStringList> RowsOf(const QList<QList<int>>& draws) {
    QList<QStringList> rows;
    for (const QList<int>& draw : draws) {
        QStringList row{QString::number(2026120800LL + draw[0])};
        for (int i = 1; i <= 5; ++i)
            row << u"%1"_s.arg(draw[i], 2, 10, QChar(u'0'));
        rows << row;
    }
    return rows;
}

TEST(CliStats, CountsTheSamePlansAsTheReportAndSetsThemAgainstChance) {
    TestDatabase db;
    QList<QList<int>> draws;
    for (int i = 0; i < 60; ++i)
        draws << QList<int>{i + 1, 1 + i % 11, 1 + (i + 4) % 11, 1 + (i + 7) % 11, 1 + (i + 2) % 11, 1 + (i + 9) % 11};
    db.insertRows(u"广东11选5"_s, RowsOf(draws));
    const QStringList choices{u"--db"_s,   db.filePath(), u"--lottery"_s, u"广东11选5"_s, u"--type"_s,    u"前二"_s,
                              u"--item"_s, u"30注"_s,     u"--seed"_s,    u"7"_s,         u"--periods"_s, u"2"_s};

    const CliRun statsRun = RunCli(QStringList{u"stats"_s} + choices);
    const QJsonObject stats = JsonOf(statsRun);
    // Scripts that read the output by eye or by line see the keys in the documented order.
    qsizetype previous = -1;
    for (const QString& key : {u"plans"_s, u"hits"_s, u"misses"_s, u"draw_hit_probability"_s, u"plan_hit_probability"_s,
                               u"wilson95"_s, u"hit_at_period"_s, u"expected_hit_at_period"_s}) {
        const qsizetype at = statsRun.out.indexOf(u'"' + key + u"\":"_s);
        EXPECT_GT(at, previous) << key.toStdString();
        previous = at;
    }
    const CliRun report = RunCli(QStringList{u"report"_s} + choices);
    const QRegularExpressionMatch summary = QRegularExpression(u"中\\[(\\d+)\\]    挂\\[(\\d+)\\]"_s).match(report.out);
    ASSERT_TRUE(summary.hasMatch()) << report.out.toStdString();
    const int hits = summary.captured(1).toInt();
    const int misses = summary.captured(2).toInt();
    EXPECT_EQ(stats[u"hits"_s].toInt(), hits);
    EXPECT_EQ(stats[u"misses"_s].toInt(), misses);
    EXPECT_EQ(stats[u"plans"_s].toInt(), hits + misses);

    // Six numbers, both of the first two drawn among them: 6·5 of 11·10; two periods per plan.
    const double p = 30.0 / 110.0;
    EXPECT_NEAR(stats[u"draw_hit_probability"_s].toDouble(), p, 1e-12);
    EXPECT_NEAR(stats[u"plan_hit_probability"_s].toDouble(), 1.0 - (1.0 - p) * (1.0 - p), 1e-12);
    const QJsonArray atPeriod = stats[u"hit_at_period"_s].toArray();
    const QJsonArray expected = stats[u"expected_hit_at_period"_s].toArray();
    ASSERT_EQ(atPeriod.size(), 2);
    ASSERT_EQ(expected.size(), 2);
    int counted = 0;
    for (const QJsonValue& count : atPeriod)
        counted += count.toInt();
    EXPECT_EQ(counted, hits);
    EXPECT_NEAR(expected[1].toDouble(), (hits + misses) * p * (1.0 - p), 1e-9);
    const QJsonArray wilson = stats[u"wilson95"_s].toArray();
    ASSERT_EQ(wilson.size(), 2);
    EXPECT_LT(wilson[0].toDouble(), double(hits) / (hits + misses));
    EXPECT_GT(wilson[1].toDouble(), double(hits) / (hits + misses));

    // An empty table: no completed plan, nothing known about the rate.
    const QJsonObject empty = JsonOf(RunCli({u"stats"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"山东11选5"_s,
                                             u"--type"_s, u"任一"_s, u"--item"_s, u"1码"_s, u"--seed"_s, u"0"_s}));
    EXPECT_EQ(empty[u"plans"_s].toInt(-1), 0);
    EXPECT_EQ(empty[u"hits"_s].toInt(-1), 0);
    EXPECT_EQ(empty[u"wilson95"_s].toArray(), (QJsonArray{0, 1}));
    EXPECT_EQ(empty[u"hit_at_period"_s].toArray(), (QJsonArray{0, 0, 0, 0, 0, 0, 0}));
}

TEST(CliOmission, FiguresOfEachNumberOverTheChosenWindowAndPosition) {
    TestDatabase db;
    db.insertRows(u"重庆11选5"_s, RowsOf({{1, 1, 2, 3, 4, 5},
                                          {2, 6, 7, 8, 9, 10},
                                          {3, 2, 1, 6, 7, 3},
                                          {4, 11, 1, 2, 3, 4},
                                          {5, 5, 6, 7, 8, 9},
                                          {6, 2, 10, 11, 4, 3},
                                          {7, 7, 8, 9, 10, 5},
                                          {8, 3, 4, 5, 6, 8}}));
    const QStringList base{u"omission"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"重庆11选5"_s};

    const QJsonObject lastSix = JsonOf(RunCli(base + QStringList{u"--last"_s, u"6"_s}));
    EXPECT_EQ(lastSix[u"draws"_s].toInt(), 6);
    const QJsonArray numbers = lastSix[u"numbers"_s].toArray();
    ASSERT_EQ(numbers.size(), 11);
    // Probabilities and averages come back exactly: the printed digits read back as the same double.
    EXPECT_EQ(numbers[0].toObject(), (QJsonObject{{u"number"_s, u"01"_s},
                                                  {u"hits"_s, 2},
                                                  {u"expected_hits"_s, 30.0 / 11},
                                                  {u"current"_s, 4},
                                                  {u"max"_s, 4},
                                                  {u"average"_s, 4.0 / 3}}));
    EXPECT_EQ(numbers[10].toObject()[u"number"_s].toString(), u"11"_s);

    // 03 leads only the newest of all eight draws.
    const QJsonObject leading = JsonOf(RunCli(base + QStringList{u"--position"_s, u"1"_s}));
    EXPECT_EQ(leading[u"draws"_s].toInt(), 8);
    EXPECT_EQ(leading[u"numbers"_s].toArray()[2].toObject(), (QJsonObject{{u"number"_s, u"03"_s},
                                                                          {u"hits"_s, 1},
                                                                          {u"expected_hits"_s, 8.0 / 11},
                                                                          {u"current"_s, 0},
                                                                          {u"max"_s, 7},
                                                                          {u"average"_s, 3.5}}));
}

TEST(CliStake, PrintsTheHandWorkedScheduleOrNoneWhenTheRateCannotBeReached) {
    const QJsonObject schedule = JsonOf(RunCli({u"stake"_s, u"--bets"_s, u"5"_s, u"--prize"_s, u"13"_s, u"--wins"_s,
                                                u"1"_s, u"--periods"_s, u"4"_s, u"--min-profit-rate"_s, u"10"_s}));
    EXPECT_TRUE(schedule[u"possible"_s].toBool());
    const QJsonArray rows = schedule[u"rows"_s].toArray();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[3].toObject(), (QJsonObject{{u"period"_s, 4},
                                               {u"multiplier"_s, 253},
                                               {u"cost"_s, 2530},
                                               {u"total_cost"_s, 2990},
                                               {u"return"_s, 3289},
                                               {u"profit"_s, 299}}));

    // At 1 yuan a bet the same prize leaves more room: 13 − 1.1 × 5 = 7.5 per multiple.
    const QJsonObject cheaper =
        JsonOf(RunCli({u"stake"_s, u"--bets"_s, u"5"_s, u"--prize"_s, u"13"_s, u"--wins"_s, u"1"_s, u"--periods"_s,
                       u"2"_s, u"--min-profit-rate"_s, u"10"_s, u"--price"_s, u"1"_s}));
    EXPECT_EQ(cheaper[u"rows"_s].toArray()[1].toObject()[u"multiplier"_s].toInt(), 1);

    const QJsonObject impossible = JsonOf(RunCli({u"stake"_s, u"--bets"_s, u"10"_s, u"--prize"_s, u"19"_s, u"--wins"_s,
                                                  u"1"_s, u"--periods"_s, u"5"_s, u"--min-profit-rate"_s, u"10"_s}));
    EXPECT_FALSE(impossible[u"possible"_s].toBool(true));
    EXPECT_EQ(impossible[u"rows"_s].toArray(), QJsonArray());
}

// Five plans the window showed on 山东11选5: three of 前一 with two numbers over three periods (the first judged by
// the window already), one of 任三 and one of 前一 with one number over one period.
QList<tarvo::LivePlan> ShownPlans() {
    const auto plan = [](const QString& first, const QString& last, const QString& type, int periods,
                         const QString& bets, int betCount, const QTime& at, int day) {
        tarvo::LivePlan shown;
        shown.lottery = u"山东11选5"_s;
        shown.firstPeriod = first;
        shown.lastPeriod = last;
        shown.playType = type;
        shown.codeCount = int(bets.split(u' ').size());
        shown.planPeriods = periods;
        shown.poolSeed = 4242;
        shown.betNumbers = bets;
        shown.betCount = betCount;
        shown.shownAt = QDateTime(QDate(2026, 12, day), at);
        return shown;
    };
    return {plan(u"2026120902"_s, u"2026120904"_s, u"前一"_s, 3, u"03 07"_s, 2, QTime(9, 0), 9),
            plan(u"2026120903"_s, u"2026120905"_s, u"前一"_s, 3, u"08 11"_s, 2, QTime(9, 10), 9),
            plan(u"2026120905"_s, u"2026120907"_s, u"前一"_s, 3, u"03 07"_s, 2, QTime(9, 20), 9),
            plan(u"2026120904"_s, u"2026120905"_s, u"任三"_s, 2, u"01 02 03 04 05"_s, 10, QTime(8, 0), 10),
            plan(u"2026120904"_s, u"2026120904"_s, u"前一"_s, 1, u"01"_s, 1, QTime(8, 30, 15), 10)};
}

TEST(CliRecord, JudgesTheRunningPlansWritesTheOutcomesBackAndPrintsTheRecordWithItsFigures) {
    TestDatabase db;
    db.insertRows(u"山东11选5"_s, RowsOf({{101, 3, 8, 9, 10, 11},
                                          {102, 5, 3, 7, 1, 2},
                                          {103, 7, 1, 2, 4, 5},
                                          {104, 1, 6, 2, 7, 8},
                                          {105, 6, 7, 3, 5, 1}}));
    const QList<QStringList> draws = db.rows(u"山东11选5"_s);
    {
        tarvo::Connection connection(db.filePath());
        connection.open();
        tarvo::LiveRecord record(connection.database());
        record.ensureTable();
        for (const tarvo::LivePlan& plan : ShownPlans()) {
            const qint64 id = record.record(plan);
            if (plan.betNumbers == u"03 07"_s && plan.firstPeriod == u"2026120902"_s)
                record.setOutcome(id, tarvo::LiveOutcome::Hit, 2, u"2026120903"_s); // before the next was shown
        }
    }
    const QStringList base{u"record"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"山东11选5"_s};

    const QJsonObject printed = JsonOf(RunCli(base));
    EXPECT_EQ(printed[u"lottery"_s].toString(), u"山东11选5"_s);
    const QJsonArray entries = printed[u"entries"_s].toArray();
    ASSERT_EQ(entries.size(), 5);
    // 08 11 leads none of 03, 04, 05; 05 of the plan from 05 leads with 06; 01 02 and 03 05 01 of 04 and 05 are
    // two and three of 01..05; 01 leads 04.
    EXPECT_EQ(entries[1].toObject(), (QJsonObject{{u"shown_at"_s, u"2026-12-09T09:10:00"_s},
                                                  {u"first_period"_s, u"2026120903"_s},
                                                  {u"last_period"_s, u"2026120905"_s},
                                                  {u"play_type"_s, u"前一"_s},
                                                  {u"code_count"_s, 2},
                                                  {u"plan_periods"_s, 3},
                                                  {u"pool_seed"_s, 4242},
                                                  {u"bet_numbers"_s, u"08 11"_s},
                                                  {u"bet_count"_s, 2},
                                                  {u"outcome"_s, u"missed"_s},
                                                  {u"hit_at_period"_s, 0},
                                                  {u"deciding_period"_s, u"2026120905"_s},
                                                  {u"left"_s, true}}));
    const QList<std::tuple<QString, int, QString, bool>> outcomes{{u"hit"_s, 2, u"2026120903"_s, false},
                                                                  {u"missed"_s, 0, u"2026120905"_s, true},
                                                                  {u"running"_s, 0, QString(), true},
                                                                  {u"hit"_s, 2, u"2026120905"_s, true},
                                                                  {u"hit"_s, 1, u"2026120904"_s, false}};
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const QJsonObject entry = entries[k].toObject();
        const auto& [outcome, hitAt, deciding, left] = outcomes[k];
        EXPECT_EQ(entry[u"outcome"_s].toString(), outcome) << k;
        EXPECT_EQ(entry[u"hit_at_period"_s].toInt(-1), hitAt) << k;
        EXPECT_EQ(entry[u"deciding_period"_s].toString(u"?"_s), deciding) << k;
        EXPECT_EQ(entry[u"left"_s].toBool(!left), left) << k;
    }

    // 前一 with two numbers: p = 2/11, q = 1 − (9/11)³; one hit in two plans: the Wilson interval is centred on 1/2
    // with half-width z/(2 + z²)·√(1/2 + z²/4). 任三 with five numbers: p = (10·15 + 5·6 + 1)/462. One hit in one
    // plan: from 1/(1 + z²) to 1, above 前一's q with one number and one period, 1/11.
    struct Figures {
        QString type;
        int codes, periods, plans, hits;
        double p, q, low, high;
        QString verdict;
    };
    const QList<Figures> expected{
        {u"前一"_s, 2, 3, 2, 1, 2.0 / 11, 602.0 / 1331, 0.0945312057, 0.9054687943, u"no different"_s},
        {u"任三"_s, 5, 2, 1, 1, 181.0 / 462, 1 - (281.0 / 462) * (281.0 / 462), 0.2065493144, 1, u"no different"_s},
        {u"前一"_s, 1, 1, 1, 1, 1.0 / 11, 1.0 / 11, 0.2065493144, 1, u"above"_s}};
    const QJsonArray summary = printed[u"summary"_s].toArray();
    ASSERT_EQ(summary.size(), expected.size());
    for (qsizetype k = 0; k < summary.size(); ++k) {
        const QJsonObject figures = summary[k].toObject();
        const Figures& e = expected[k];
        EXPECT_EQ(figures.keys().size(), 10) << k;
        EXPECT_EQ(figures[u"play_type"_s].toString(), e.type) << k;
        EXPECT_EQ(figures[u"code_count"_s].toInt(), e.codes) << k;
        EXPECT_EQ(figures[u"plan_periods"_s].toInt(), e.periods) << k;
        EXPECT_EQ(figures[u"plans"_s].toInt(), e.plans) << k;
        EXPECT_EQ(figures[u"hits"_s].toInt(), e.hits) << k;
        EXPECT_EQ(figures[u"misses"_s].toInt(-1), e.plans - e.hits) << k;
        EXPECT_NEAR(figures[u"draw_hit_probability"_s].toDouble(), e.p, 1e-12) << k;
        EXPECT_NEAR(figures[u"plan_hit_probability"_s].toDouble(), e.q, 1e-12) << k;
        EXPECT_NEAR(figures[u"wilson95"_s].toArray()[0].toDouble(), e.low, 1e-9) << k;
        EXPECT_NEAR(figures[u"wilson95"_s].toArray()[1].toDouble(), e.high, 1e-9) << k;
        EXPECT_EQ(figures[u"verdict"_s].toString(), e.verdict) << k;
    }

    // The outcomes were written back: the record holds them, the draws are as they were.
    {
        tarvo::Connection connection(db.filePath());
        connection.open();
        const QList<tarvo::LivePlan> stored = tarvo::LiveRecord(connection.database()).read({});
        ASSERT_EQ(stored.size(), 5);
        EXPECT_EQ(stored[1].outcome, tarvo::LiveOutcome::Missed);
        EXPECT_EQ(stored[2].outcome, tarvo::LiveOutcome::Running);
        EXPECT_EQ(stored[3].decidingPeriod, u"2026120905"_s);
    }
    EXPECT_EQ(db.rows(u"山东11选5"_s), draws);

    const QJsonObject lastDay =
        JsonOf(RunCli(base + QStringList{u"--from"_s, u"2026-12-10"_s, u"--to"_s, u"2026-12-10"_s}));
    EXPECT_EQ(lastDay[u"entries"_s].toArray().size(), 2);
    EXPECT_EQ(lastDay[u"summary"_s].toArray().size(), 2);

    const CliRun csv = RunCli(base + QStringList{u"--csv"_s, u"--to"_s, u"2026-12-09"_s});
    EXPECT_EQ(csv.status, 0) << csv.err.toStdString();
    EXPECT_EQ(csv.rawOut, "\xEF\xBB\xBF"
                          "显示时间,彩种,玩法,码数,期数,首期,末期,投注号码,注数,结果,中于第几期,决定期号,已离开\r\n"
                          "2026-12-09 09:00:00,山东11选5,前一,2,3,2026120902,2026120904,03 07,2,中,2,2026120903,否\r\n"
                          "2026-12-09 09:10:00,山东11选5,前一,2,3,2026120903,2026120905,08 11,2,挂,,2026120905,是\r\n"
                          "2026-12-09 09:20:00,山东11选5,前一,2,3,2026120905,2026120907,03 07,2,进行中,,,是\r\n");
}

TEST(CliAnalysis, BadArgumentsExitWithStatus2AndDatabaseProblemsWith1) {
    TestDatabase db;
    const QString file = db.filePath();
    const QStringList stake{u"--bets"_s, u"5"_s, u"--prize"_s, u"13"_s, u"--periods"_s, u"4"_s};
    const QList<QStringList> bad = {
        QStringList{u"stake"_s, u"--wins"_s, u"6"_s, u"--min-profit-rate"_s, u"10"_s} + stake, // wins > bets
        QStringList{u"stake"_s, u"--wins"_s, u"1"_s, u"--min-profit-rate"_s, u"-1"_s} + stake,
        QStringList{u"stake"_s, u"--wins"_s, u"1"_s, u"--min-profit-rate"_s, u"ten"_s} + stake,
        QStringList{u"stake"_s, u"--wins"_s, u"1"_s} + stake, // no rate
        // So many periods at this margin that the amounts pass every real stake.
        {u"stake"_s, u"--bets"_s, u"5"_s, u"--prize"_s, u"13"_s, u"--wins"_s, u"1"_s, u"--periods"_s, u"400"_s,
         u"--min-profit-rate"_s, u"10"_s},
        {u"omission"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--position"_s, u"6"_s},
        {u"omission"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--last"_s, u"0"_s},
        {u"omission"_s, u"--db"_s, file + u".missing"_s, u"--lottery"_s, u"山东11选5"_s, u"--last"_s, u"all"_s},
        {u"stats"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"前二"_s, u"--item"_s, u"2码"_s,
         u"--seed"_s, u"0"_s},
        {u"record"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--from"_s, u"2026-13-01"_s},
        {u"record"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--from"_s, u"2026-12-10"_s, u"--to"_s,
         u"2026-12-09"_s},
        {u"record"_s, u"--db"_s, file, u"--lottery"_s, u"湖北11选5"_s},
        {u"record"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--json"_s},
        {u"record"_s, u"--lottery"_s, u"山东11选5"_s},
    };
    for (const QStringList& arguments : bad) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    for (const QString& command : {u"stats"_s, u"omission"_s, u"record"_s}) {
        QStringList arguments{command, u"--db"_s, file + u".missing"_s, u"--lottery"_s, u"山东11选5"_s};
        if (command == u"stats"_s)
            arguments << u"--type"_s << u"0"_s << u"--item"_s << u"0"_s << u"--seed"_s << u"0"_s;
        EXPECT_EQ(RunCli(arguments).status, 1) << command.toStdString();
    }
}

} // namespace
