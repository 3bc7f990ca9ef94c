#include "TestDatabase.h"

#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::TestDatabase;

namespace tarvo {
namespace {

DrawRow Row(const QString& period, std::array<QString, 5> numbers = {u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}) {
    return {period, numbers};
}

TEST(IsStorableDrawRow, WantsTenDigitPeriodsAndTwoDigitNumbersFrom01To11) {
    EXPECT_TRUE(IsStorableDrawRow(Row(u"2026120801"_s)));
    EXPECT_TRUE(IsStorableDrawRow(Row(u"2026120801"_s, {u"11"_s, u"10"_s, u"09"_s, u"08"_s, u"07"_s})));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"202612080"_s)));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"20261208011"_s)));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"20-6120801"_s)));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"2026120801"_s, {u"00"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s})));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"2026120801"_s, {u"12"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s})));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"2026120801"_s, {u"1"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s})));
    EXPECT_FALSE(IsStorableDrawRow(Row(u"2026120801"_s, {u"0a"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s})));
}

TEST(ParsePeriod, AcceptsSigned64BitWholeNumbersOnly) {
    EXPECT_EQ(ParsePeriod(u"2026120801"_s), 2026120801);
    EXPECT_EQ(ParsePeriod(u"0"_s), 0);
    EXPECT_EQ(ParsePeriod(u"-5"_s), -5);
    EXPECT_EQ(ParsePeriod(u"9223372036854775807"_s), std::numeric_limits<qint64>::max());
    EXPECT_FALSE(ParsePeriod(u"9223372036854775808"_s));
    EXPECT_FALSE(ParsePeriod(u"20261208a1"_s));
    EXPECT_FALSE(ParsePeriod(u" 1"_s));
    EXPECT_FALSE(ParsePeriod(QString()));
}

TEST(DrawAppender, KnowsTheNewestStoredPeriodAndAppendsRows) {
    TestDatabase db;
    {
        DrawAppender appender(db.filePath(), u"广东11选5"_s);
        EXPECT_EQ(appender.lastStoredPeriod(), u"0"_s);
        appender.append(Row(u"2026120803"_s));
        appender.append(Row(u"2026120802"_s));
    }
    DrawAppender again(db.filePath(), u"广东11选5"_s);
    EXPECT_EQ(again.lastStoredPeriod(), u"2026120803"_s);
    EXPECT_EQ(db.periods(u"广东11选5"_s), (QStringList{u"2026120802"_s, u"2026120803"_s}));
}

TEST(DayOfPeriod, ReadsTheDateBeforeTheDrawNumber) {
    EXPECT_EQ(DayOfPeriod(2026120801), QDate(2026, 12, 8));
    EXPECT_EQ(DayOfPeriod(2024022999), QDate(2024, 2, 29));
    EXPECT_FALSE(DayOfPeriod(2026022901)) << "no 29 February in 2026";
    EXPECT_FALSE(DayOfPeriod(2026130101));
    EXPECT_FALSE(DayOfPeriod(202612081)) << "nine digits";
    EXPECT_FALSE(DayOfPeriod(20261208011)) << "eleven digits";
}

TEST(NewRowFilter, TakesNewerDrawsAndDrawsOfThePassMissingBetweenTheOldestAndNewestStored) {
    const StoredPeriods stored{2026120850, 2026120810, {2026120810, 2026120820, 2026120850}};
    NewRowFilter filter(stored, [](qint64 period) { return period != 2026120833; });
    EXPECT_TRUE(filter.admits(Row(u"2026120851"_s))) << "newer than the newest";
    EXPECT_FALSE(filter.admits(Row(u"2026120851"_s))) << "a period once only";
    EXPECT_TRUE(filter.admits(Row(u"2026120830"_s))) << "a gap";
    EXPECT_FALSE(filter.admits(Row(u"2026120820"_s))) << "held";
    EXPECT_FALSE(filter.admits(Row(u"2026120850"_s))) << "the newest itself";
    EXPECT_FALSE(filter.admits(Row(u"2026120810"_s))) << "the oldest itself";
    EXPECT_FALSE(filter.admits(Row(u"2026120809"_s))) << "before the oldest: trimmed, or before the table began";
    EXPECT_FALSE(filter.admits(Row(u"2026120833"_s))) << "not vouched for by the pass";
    EXPECT_FALSE(filter.admits(Row(u"2026120840"_s, {u"12"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}))) << "unfit";

    NewRowFilter newerOnly(2026120850);
    EXPECT_FALSE(newerOnly.admits(Row(u"2026120830"_s)));
    EXPECT_TRUE(newerOnly.admits(Row(u"2026120851"_s)));
}

TEST(DrawAppender, APassStoresWholeOnItsCommitAndNothingOtherwise) {
    TestDatabase db;
    {
        DrawAppender appender(db.filePath(), u"广东11选5"_s);
        appender.beginPass();
        appender.append(Row(u"2026120801"_s));
        appender.append(Row(u"2026120802"_s));
    }
    EXPECT_TRUE(db.periods(u"广东11选5"_s).isEmpty()) << "ended before its commit";
    DrawAppender appender(db.filePath(), u"广东11选5"_s);
    appender.beginPass();
    appender.append(Row(u"2026120801"_s));
    appender.commitPass();
    appender.beginPass();
    appender.append(Row(u"2026120802"_s));
    appender.rollbackPass();
    EXPECT_EQ(db.periods(u"广东11选5"_s), QStringList{u"2026120801"_s});
}

TEST(DrawAppender, TellsTheRowsTheTableLacksFromWhatItHoldsWhenThePassBegins) {
    TestDatabase db;
    db.insertRows(u"重庆11选5"_s, {{u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
                                   {u"2026120803"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    DrawAppender appender(db.filePath(), u"重庆11选5"_s);
    db.insertRows(u"重庆11选5"_s, {{u"2026120805"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    appender.beginPass();
    const QList<DrawRow> candidates{Row(u"2026120806"_s), Row(u"2026120805"_s), Row(u"2026120804"_s),
                                    Row(u"2026120802"_s), Row(u"2026120801"_s), Row(u"2026120731"_s)};
    EXPECT_EQ(appender.rowsTheTableLacks(candidates, [](qint64) { return true; }),
              (QList<DrawRow>{Row(u"2026120806"_s), Row(u"2026120804"_s), Row(u"2026120802"_s)}));
}

TEST(DrawAppender, AStoredPeriodThatIsNotANumberLetsNoRowIn) {
    TestDatabase db;
    db.insertRows(u"重庆11选5"_s, {{u"x026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}});
    DrawAppender appender(db.filePath(), u"重庆11选5"_s);
    appender.beginPass();
    EXPECT_TRUE(appender.rowsTheTableLacks({Row(u"2026120806"_s)}, [](qint64) { return true; }).isEmpty());
}

TEST(DrawAppender, AMissingDatabaseIsAnError) {
    QTemporaryDir dir;
    EXPECT_THROW(DrawAppender(dir.filePath(u"彩票数据.mdb"_s), u"广东11选5"_s), StoreError);
    TestDatabase db;
    EXPECT_THROW(DrawAppender(db.filePath(), u"北京11选5"_s), StoreError) << "a lottery without a table";
}

} // namespace
} // namespace tarvo
