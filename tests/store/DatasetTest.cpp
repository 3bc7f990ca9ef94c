#include "TestDatabase.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::TestDatabase;

namespace tarvo {
namespace {

TEST(Dataset, AppendsReadsAndDeletesThroughBoundValues) {
    TestDatabase db;
    Connection connection(db.filePath());
    connection.open();
    Dataset dataset;
    dataset.setConnection(&connection);
    dataset.setQuery({u"重庆11选5彩票号码表"_s, u"记录期号"_s});
    dataset.open();
    EXPECT_EQ(dataset.rowCount(), 0);

    // A hostile value is stored as plain text, not run as SQL.
    const QString hostile = u"01'); drop table \"重庆11选5彩票号码表\"; --"_s;
    for (const QString& period : {u"2026120802"_s, u"2026120801"_s}) {
        dataset.append();
        dataset.setField(0, period);
        dataset.setField(1, hostile);
        dataset.post();
    }
    dataset.open();
    ASSERT_EQ(dataset.rowCount(), 2);
    EXPECT_EQ(dataset.fieldByName(u"记录期号"_s), u"2026120801"_s);
    EXPECT_EQ(dataset.fieldByName(u"1"_s), hostile);
    EXPECT_EQ(dataset.field(2), QString());
    EXPECT_THROW(dataset.fieldByName(u"6"_s), StoreError);

    dataset.first();
    dataset.deleteCurrent();
    EXPECT_EQ(dataset.field(0), u"2026120802"_s);
    EXPECT_EQ(db.periods(u"重庆11选5"_s), QStringList{u"2026120802"_s});

    connection.close();
    EXPECT_FALSE(dataset.isOpen()) << "closing the connection closes its datasets";
}

TEST(Dataset, RefusesMissingTablesAndColumns) {
    TestDatabase db;
    Connection connection(db.filePath());
    connection.open();
    Dataset dataset;
    dataset.setConnection(&connection);
    for (const TableQuery& query :
         {TableQuery{u"北京11选5彩票号码表"_s, u"记录期号"_s}, TableQuery{u"重庆11选5彩票号码表"_s, u"期号"_s}}) {
        dataset.setQuery(query);
        EXPECT_THROW(dataset.open(), StoreError) << query.text().toStdString();
    }
}

TEST(Dataset, OutlivingItsConnectionLeavesItClosedAndAttachedToNone) {
    TestDatabase db;
    Dataset dataset;
    {
        Connection connection(db.filePath());
        connection.open();
        dataset.setConnection(&connection);
        dataset.setQuery({u"重庆11选5彩票号码表"_s, u"记录期号"_s});
        dataset.open();
    }
    EXPECT_FALSE(dataset.isOpen());
    EXPECT_THROW(dataset.open(), StoreError);
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

} // namespace
} // namespace tarvo
