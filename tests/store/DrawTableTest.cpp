#include "TestDatabase.h"

#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::TestDatabase;

namespace tarvo {
namespace {

const QString kShandong = u"山东11选5"_s;
const QString kGuangdong = u"广东11选5"_s;
const QString kChongqing = u"重庆11选5"_s;
const QString kJiangxi = u"江西11选5"_s;

TEST(TrimDrawTables, KeepsTheNewestRowsOfShandongAndGuangdongOnly) {
    struct Case {
        int shandong, guangdong, chongqing, jiangxi;
    };
    for (const Case c :
         {Case{1200, 1000, 1500, 1500}, Case{1201, 1001, 0, 3}, Case{1500, 2500, 10, 0}, Case{0, 999, 0, 0}}) {
        TestDatabase db;
        db.insertConsecutive(kShandong, 2026000001, c.shandong);
        db.insertConsecutive(kGuangdong, 2026000001, c.guangdong);
        db.insertConsecutive(kChongqing, 2026000001, c.chongqing);
        db.insertConsecutive(kJiangxi, 2026000001, c.jiangxi);
        TrimDrawTables(db.filePath());

        const QStringList shandong = db.periods(kShandong);
        ASSERT_EQ(shandong.size(), std::min(c.shandong, 1200));
        if (!shandong.isEmpty()) {
            EXPECT_EQ(shandong.back(), QString::number(2026000000 + c.shandong));
        }
        const QStringList guangdong = db.periods(kGuangdong);
        ASSERT_EQ(guangdong.size(), std::min(c.guangdong, 1000));
        EXPECT_EQ(guangdong.front(), QString::number(2026000001 + std::max(0, c.guangdong - 1000)));
        EXPECT_EQ(db.periods(kChongqing).size(), c.chongqing);
        EXPECT_EQ(db.periods(kJiangxi).size(), c.jiangxi);
    }
}

TEST(TrimDrawTables, AMissingTableIsReportedAfterTheTablesBeforeItAreTrimmed) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026000001, 1300);
    {
        QSqlDatabase direct = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"drop"_s);
        direct.setDatabaseName(db.filePath());
        direct.open();
        direct.exec(u"drop table \"广东11选5彩票号码表\""_s);
        direct.close();
    }
    QSqlDatabase::removeDatabase(u"drop"_s);
    EXPECT_THROW(TrimDrawTables(db.filePath()), StoreError);
    EXPECT_EQ(db.periods(kShandong).size(), 1200);
}

TEST(TrimDrawTables, ADeletionFailingPartWayLeavesThatTableWhole) {
    TestDatabase db;
    db.insertConsecutive(kShandong, 2026000001, 1300);
    ASSERT_TRUE(
        tarvo::test::WithDirectConnection(db.filePath(), test::DirectAccess::ReadWrite, [](QSqlDatabase& direct) {
            QSqlQuery(direct).exec(u"create trigger locked before delete on 山东11选5彩票号码表 "
                                   u"when old.记录期号 = '2026000050' "
                                   u"begin select raise(abort, 'disk I/O error'); end"_s);
        }));
    EXPECT_THROW(TrimDrawTables(db.filePath()), StoreError);
    EXPECT_EQ(db.periods(kShandong).size(), 1300) << "the 49 oldest rows deleted before the failure come back";
}

TEST(ReadDrawHistory, EmptyTableGivesNoDrawsAndNoError) {
    TestDatabase db;
    EXPECT_TRUE(ReadDrawHistory(db.filePath(), kShandong).empty());
    EXPECT_TRUE(DrawHistoryLines({}).isEmpty());
}

TEST(ReadDrawHistory, MissingOrBrokenDatabaseIsAnError) {
    QTemporaryDir dir;
    const QString appDir = dir.path() + u'/';
    EXPECT_THROW(ReadDrawHistory(DrawDatabasePath(appDir), kShandong), StoreError);
    EXPECT_FALSE(QFile::exists(appDir + u"彩票数据.mdb"_s)) << "the program must never create the file";

    QFile garbage(appDir + u"彩票数据.mdb"_s);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    EXPECT_THROW(ReadDrawHistory(DrawDatabasePath(appDir), kShandong), StoreError);
}

// Players keep the program in folders of every name: the database beside it opens whatever the
// folder is called, and no other file appears.
TEST(ReadDrawHistory, AProgramFolderWithSpacesSignsAndChineseCharactersOpens) {
    QTemporaryDir dir;
    const QString appDir = dir.path() + u"/我的 彩票 #1 %20 & +/"_s;
    ASSERT_TRUE(QDir().mkpath(appDir));
    CreateDrawDatabase(appDir + u"彩票数据.mdb"_s);
    ASSERT_TRUE(
        test::WithDirectConnection(appDir + u"彩票数据.mdb"_s, test::DirectAccess::ReadWrite, [](QSqlDatabase& db) {
            QSqlQuery(db).exec(u"insert into \"山东11选5彩票号码表\" values ('2026120801','01','02','03','04','05')"_s);
        }));
    EXPECT_EQ(ReadDrawHistory(DrawDatabasePath(appDir), kShandong).size(), 1u);
    for (const QString& file : QDir(appDir).entryList(QDir::Files))
        EXPECT_TRUE(file.startsWith(u"彩票数据.mdb"_s)) << file.toStdString(); // the database and its log
}

TEST(ReadDrawHistory, ReadsPeriodsAndNumbersOldestFirst) {
    TestDatabase db;
    db.insertRows(kJiangxi, {{u"2026120802"_s, u"1"_s, u"11"_s, u"07"_s, u"01"_s, u"10"_s},
                             {u"2026120801"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s, u"07"_s},
                             {u"2006120803"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s, u"07"_s}});
    const DrawHistory history = ReadDrawHistory(db.filePath(), kJiangxi);
    ASSERT_EQ(history.size(), 3u);
    EXPECT_EQ(history[0], (Draw{6120803, 3, 4, 5, 6, 7}));
    EXPECT_EQ(history[2], (Draw{26120802, 1, 11, 7, 1, 10}));

    const QStringList lines = DrawHistoryLines(history);
    EXPECT_EQ(lines[0], u"6120803期03 04 05 06 07 "_s) << "a leading zero of the period is not shown";
    EXPECT_EQ(lines[2], u"26120802期01 11 07 01 10 "_s) << "1 and 01 both show as 01";
}

TEST(ReadDrawHistory, AValueThatIsNotAnIntegerIsAnError) {
    const QList<QStringList> badRows = {
        {u"2026120801"_s, u"x1"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
        {u"2026120801"_s, u""_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
        {u"20"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
        {u"20261208A1"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
    };
    for (const QStringList& row : badRows) {
        TestDatabase db;
        db.insertRows(kShandong, {row});
        EXPECT_THROW(ReadDrawHistory(db.filePath(), kShandong), StoreError) << row.join(u',').toStdString();
    }
}

TEST(CreateDrawDatabase, RefusesToOverwriteAnExistingFile) {
    TestDatabase db;
    db.insertConsecutive(u"山东11选5"_s, 2026120801, 2);
    EXPECT_THROW(CreateDrawDatabase(db.filePath()), StoreError);
    EXPECT_EQ(db.periods(u"山东11选5"_s).size(), 2);
}

TEST(CreateDrawDatabase, AFileItCouldNotFinishIsRemoved) {
    // A folder where the engine's write-ahead log must go: the file is made, its tables cannot be.
    QTemporaryDir dir;
    const QString file = dir.filePath(u"彩票数据.mdb"_s);
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"彩票数据.mdb-wal"_s));
    try {
        CreateDrawDatabase(file);
    } catch (const StoreError&) {
        EXPECT_FALSE(QFile::exists(file)) << "a half-made database file stays behind";
        return;
    }
    FAIL() << "the engine made the database despite the folder in its way, so nothing was left to remove";
}

TEST(DrawHistoryLines, OneLinePerDrawInOrder) {
    DrawHistory history;
    for (int i = 0; i < 1200; ++i)
        history.push_back({26000001 + i, 1, 2, 3, 4, 5});
    const QStringList lines = DrawHistoryLines(history);
    ASSERT_EQ(lines.size(), 1200);
    EXPECT_EQ(lines.back(), u"26001200期01 02 03 04 05 "_s);
}

} // namespace
} // namespace tarvo
