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

TEST(DrawAppender, AMissingDatabaseIsAnError) {
    QTemporaryDir dir;
    EXPECT_THROW(DrawAppender(dir.filePath(u"彩票数据.mdb"_s), u"广东11选5"_s), StoreError);
    TestDatabase db;
    EXPECT_THROW(DrawAppender(db.filePath(), u"北京11选5"_s), StoreError) << "a lottery without a table";
}

} // namespace
} // namespace tarvo
