#include "CliRunner.h"
#include "TestDatabase.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
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

QStringList ImportArguments(const QString& db, const QString& file, const QStringList& switches = {}) {
    return QStringList{u"import"_s, u"--db"_s, db, u"--lottery"_s, u"江西11选5"_s} + switches + QStringList{file};
}

TEST(CliImport, PrintsHowTheFileStandsStoresTheNewDrawsAndSaysWhatWasLeftOut) {
    TestDatabase db;
    db.insertRows(u"江西11选5"_s, {{u"2026120803"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
                                   {u"2026120805"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    QTemporaryDir dir;
    // Saved by a Chinese spreadsheet: GBK (期号,号码1… and 第…期 as their GBK bytes, written out so
    // that the test needs no GBK encoder of its own).
    const QString mixed = WriteFile(dir, u"混合.txt"_s,
                                    "\xC6\xDA\xBA\xC5\x2C\xBA\xC5\xC2\xEB\x31\x2C\xBA\xC5\xC2\xEB\x32\x2C\xBA\xC5\xC2"
                                    "\xEB\x33\x2C\xBA\xC5\xC2\xEB\x34\x2C\xBA\xC5\xC2\xEB\x35\r\n"
                                    "2026120803,05,04,03,02,01\r\n"
                                    "2026120804,01,02,03,04,05\r\n"
                                    "2026120805,01,02,03,04,05\r\n"
                                    "26120806 1 2 3 4 5\r\n"
                                    "2026120807,01,02,03,04,12\r\n"
                                    "2026120808,01,02,03\r\n"
                                    "\r\n"
                                    "\xB5\xDA"
                                    "26120809"
                                    "\xC6\xDA"
                                    " 11 10 09 08 07\r\n"
                                    "2026120809,11,10,09,08,07\r\n");
    const QString disagreeing =
        WriteFile(dir, u"不同.csv"_s, "2026120803,05,04,03,02,01\r\n2026120804,01,02,03,04,05\r\n");
    const QString mixedSaid =
        u"新开奖 3 期；已存且相同 1 期；与已存不同 1 期；无法读取 2 行\n"
        u"第 6 行：12 不在 01–11：2026120807,01,02,03,04,12\n"
        u"第 7 行：只有三个号码：2026120808,01,02,03\n"
        u"2026120803 期与已存不同：已存 01 02 03 04 05（来源未记录），文件第 2 行 05 04 03 02 01，"
        u"保留已存\n"_s;
    const QString disagreementSaid = u"2026120803 期与已存不同：已存 01 02 03 04 05（来源未记录），文件第 1 行 "
                                     u"05 04 03 02 01，"_s;
    const QStringList before{u"2026120803"_s, u"2026120805"_s};
    const QStringList after{u"2026120803"_s, u"2026120804"_s, u"2026120805"_s, u"2026120806"_s, u"2026120809"_s};
    struct Step {
        QStringList switches;
        QString file;
        int status;
        QString out;
        QStringList periods;
        QString numbersOf2026120803;
    };
    const QList<Step> steps{
        {{u"--dry-run"_s}, mixed, 3, mixedSaid + u"试运行：没有存入任何一期\n"_s, before, u"01"_s},
        {{}, mixed, 3, mixedSaid + u"已存入新开奖 3 期，以文件为准改写 0 期\n"_s, after, u"01"_s},
        {{},
         disagreeing,
         3,
         u"新开奖 0 期；已存且相同 1 期；与已存不同 1 期；无法读取 0 行\n"_s + disagreementSaid +
             u"保留已存\n已存入新开奖 0 期，以文件为准改写 0 期\n"_s,
         after,
         u"01"_s},
        {{u"--replace"_s},
         disagreeing,
         0,
         u"新开奖 0 期；已存且相同 1 期；与已存不同 1 期；无法读取 0 行\n"_s + disagreementSaid +
             u"以文件为准\n已存入新开奖 0 期，以文件为准改写 1 期\n"_s,
         after,
         u"05"_s},
        {{},
         disagreeing,
         0,
         u"新开奖 0 期；已存且相同 2 期；与已存不同 0 期；无法读取 0 行\n已存入新开奖 0 期，以文件为准改写 0 期\n"_s,
         after,
         u"05"_s},
    };
    for (const Step& step : steps) {
        const std::string what = (step.switches.join(u' ') + u' ' + step.file).toStdString();
        const CliRun run = RunCli(ImportArguments(db.filePath(), step.file, step.switches));
        EXPECT_EQ(run.status, step.status) << what << '\n' << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(), step.out.toStdString()) << what;
        EXPECT_EQ(db.periods(u"江西11选5"_s), step.periods) << what;
        EXPECT_EQ(db.rows(u"江西11选5"_s).value(0).value(1), step.numbersOf2026120803) << what;
    }

    QFile big(dir.filePath(u"big.csv"_s));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(200LL * 1024 * 1024 + 1));
    big.close();
    const QList<std::pair<QStringList, int>> refused{
        {{u"import"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"北京11选5"_s, disagreeing}, 2},
        {ImportArguments(db.filePath(), dir.filePath(u"missing.csv"_s)), 2},
        {ImportArguments(db.filePath(), dir.path()), 2},
        {ImportArguments(db.filePath(), big.fileName()), 2},
        {ImportArguments(db.filePath(), disagreeing, {u"--merge"_s}), 2},
        {ImportArguments(db.filePath() + u".missing"_s, disagreeing), 1},
    };
    for (const auto& [arguments, status] : refused) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.status, status) << arguments.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty()) << arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(db.periods(u"江西11选5"_s), after);
}

TEST(CliExport, WritesTheDrawsOfTheRangeAsCsvBytes) {
    TestDatabase db;
    db.insertRows(u"江西11选5"_s, {{u"2026120803"_s, u"11"_s, u"10"_s, u"09"_s, u"08"_s, u"07"_s},
                                   {u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
                                   {u"2026120802"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s, u"10"_s},
                                   {u"2026120804"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    const CliRun run = RunCli({u"export"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"江西11选5"_s, u"--from"_s,
                               u"26120802"_s, u"--to"_s, u"2026120803"_s});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.rawOut, "\xEF\xBB\xBF"
                          "期号,号码1,号码2,号码3,号码4,号码5\r\n"
                          "2026120802,06,07,08,09,10\r\n"
                          "2026120803,11,10,09,08,07\r\n");
    const CliRun badBound =
        RunCli({u"export"_s, u"--db"_s, db.filePath(), u"--lottery"_s, u"江西11选5"_s, u"--from"_s, u"2026-12-08"_s});
    EXPECT_EQ(badBound.status, 2);
    EXPECT_TRUE(badBound.rawOut.isEmpty());
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
