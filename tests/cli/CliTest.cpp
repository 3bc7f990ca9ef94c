#include "CliRunner.h"
#include "TestDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::CliRun;
using tarvo::test::RunCli;
using tarvo::test::TestDatabase;

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(content);
    return file.fileName();
}

TEST(CliInitDb, CreatesTheFourTablesAndNeverOverwrites) {
    QTemporaryDir dir;
    const QString db = dir.filePath(u"draws.db"_s);
    EXPECT_EQ(RunCli({u"init-db"_s, u"--db"_s, db}).status, 0);
    ASSERT_TRUE(QFile::exists(db));
    const CliRun again = RunCli({u"init-db"_s, u"--db"_s, db});
    EXPECT_EQ(again.status, 1);
    EXPECT_FALSE(again.err.isEmpty());
}

TEST(CliImport, AddsOnlyNewerWellFormedDrawsAndCountsTheRest) {
    TestDatabase db;
    db.insertRows(u"江西11选5"_s, {{u"2026120805"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    QTemporaryDir dir;
    const QString csv = WriteFile(dir, u"draws.csv"_s,
                                  "2026120804,01,02,03,04,05\n" // not newer
                                  "2026120805,01,02,03,04,05\n" // the newest stored
                                  "2026120806,01,02,03,04,05\n"
                                  "2026120807,1,02,03,04,05\n"  // one-digit number
                                  "2026120808,01,02,03,04,12\n" // out of range
                                  "26120809,01,02,03,04,05\n"   // eight-digit period
                                  "2026120810,01,02,03\n"       // too few fields
                                  "\n"
                                  "2026120811,11,10,09,08,07\n"
                                  "2026120811,11,10,09,08,07\n"); // listed twice
    const CliRun run = RunCli({u"import"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"江西11选5"_s, csv});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"2"_s) && run.out.contains(u"7"_s)) << run.out.toStdString();
    EXPECT_EQ(db.periods(u"江西11选5"_s), (QStringList{u"2026120805"_s, u"2026120806"_s, u"2026120811"_s}));
}

TEST(CliImport, ADatabaseFailurePartWayAddsNoneOfTheFile) {
    TestDatabase db;
    ASSERT_TRUE(tarvo::test::WithDirectConnection(
        db.filePath(), tarvo::test::DirectAccess::ReadWrite, [](QSqlDatabase& connection) {
            QSqlQuery(connection)
                .exec(u"create trigger full before insert on 江西11选5彩票号码表 "
                      u"when (select count(*) from 江西11选5彩票号码表) >= 2 "
                      u"begin select raise(abort, 'disk is full'); end"_s);
        }));
    QTemporaryDir dir;
    const QString csv = WriteFile(dir, u"draws.csv"_s,
                                  "2026120801,01,02,03,04,05\n2026120802,01,02,03,04,05\n2026120803,01,02,03,04,05\n");
    const CliRun run = RunCli({u"import"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"江西11选5"_s, csv});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(u"disk is full"_s)) << run.err.toStdString();
    EXPECT_TRUE(db.periods(u"江西11选5"_s).isEmpty());
}

TEST(CliReport, PrintsTheReportTheBetsAndTheirCount) {
    TestDatabase db;
    QList<QStringList> rows;
    for (int i = 0; i < 30; ++i)
        rows << QStringList{QString::number(2026120801 + i),
                            u"%1"_s.arg(1 + i % 11, 2, 10, QChar(u'0')),
                            u"%1"_s.arg(1 + (i + 4) % 11, 2, 10, QChar(u'0')),
                            u"03"_s,
                            u"06"_s,
                            u"09"_s};
    db.insertRows(u"山东11选5"_s, rows);
    const CliRun run = RunCli({u"report"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"山东11选5"_s, u"--type"_s,
                               u"前二"_s, u"--item"_s, u"72注"_s, u"--seed"_s, u"0"_s});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.nativeLineBreaks);
    const QStringList lines = run.out.split(u'\n');
    ASSERT_GE(lines.size(), 8);
    EXPECT_EQ(lines.back(), QString()) << "the output ends with a line break";
    EXPECT_EQ(lines[lines.size() - 2], u"当前投注：72"_s);
    EXPECT_EQ(lines[lines.size() - 3].count(u','), 72);
    EXPECT_EQ(lines[lines.size() - 4], QString());
    EXPECT_TRUE(lines[lines.size() - 7].startsWith(u"计划成功率"_s));

    const CliRun byIndex = RunCli({u"report"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"山东11选5"_s, u"--type"_s,
                                   u"1"_s, u"--item"_s, u"0"_s, u"--periods"_s, u"5"_s, u"--seed"_s, u"0"_s});
    EXPECT_EQ(byIndex.out, run.out) << "前二 with 72注 proposes 5 periods";
}

TEST(CliReport, BadArgumentsExitWithStatus2AndDatabaseProblemsWith1) {
    TestDatabase db;
    const QString file = db.filePath();
    const QList<QStringList> bad = {
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"北京11选5"_s, u"--type"_s, u"0"_s, u"--item"_s, u"0"_s,
         u"--seed"_s, u"0"_s},
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"8"_s, u"--item"_s, u"0"_s,
         u"--seed"_s, u"0"_s},
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"任一"_s, u"--item"_s, u"3码"_s,
         u"--seed"_s, u"0"_s},
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"0"_s, u"--item"_s, u"0"_s,
         u"--seed"_s, u"86400000"_s},
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"0"_s, u"--item"_s, u"0"_s,
         u"--seed"_s, u"0"_s, u"--periods"_s, u"0"_s},
        {u"report"_s, u"--db"_s, file, u"--lottery"_s, u"山东11选5"_s, u"--type"_s, u"0"_s, u"--item"_s, u"0"_s},
        {u"frobnicate"_s},
        {},
    };
    for (const QStringList& arguments : bad) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    const CliRun missing = RunCli({u"report"_s, u"--db"_s, file + u".missing"_s, u"--lottery"_s, u"山东11选5"_s,
                                   u"--type"_s, u"0"_s, u"--item"_s, u"0"_s, u"--seed"_s, u"0"_s});
    EXPECT_EQ(missing.status, 1);
}

} // namespace
