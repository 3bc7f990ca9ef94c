#include "TestDatabase.h"

#include "tarvo/store/DrawTableReader.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace Qt::StringLiterals;
using tarvo::test::DirectAccess;
using tarvo::test::TestDatabase;
using tarvo::test::WithDirectConnection;

namespace tarvo {
namespace {

const QString kJiangxi = u"江西11选5"_s;

// A table whose columns have no declared type, as a file made by another program may have: values
// keep the type they were stored with (text, integer, real, blob or NULL). The periods may be
// compared by another rule than their bytes, such as "collate nocase".
void MakeUntypedTable(const TestDatabase& db, const QString& periodCollation = {}) {
    WithDirectConnection(db.filePath(), DirectAccess::ReadWrite, [&](QSqlDatabase& direct) {
        const QString table = DrawTableName(kJiangxi);
        QSqlQuery(u"drop table \"%1\""_s.arg(table), direct);
        QSqlQuery(
            u"create table \"%1\" (\"记录期号\" %2, \"1\", \"2\", \"3\", \"4\", \"5\")"_s.arg(table, periodCollation),
            direct);
    });
}

// A stored value as a whole number, the plain way: the text SQLite gives for it, blanks around it
// dropped, an optional sign, then digits.
std::int32_t WholeNumber(const QString& stored) {
    const QString text = stored.trimmed();
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    EXPECT_TRUE(ok) << "not a whole number: " << text.toStdString();
    return value;
}

// A reading of the whole table the plain way, one value per column, with the mark worked out from
// what it read: a draw is the period without its first two characters (the century) and the five
// numbers, each as a whole number.
struct PlainReading {
    DrawHistory history;
    TableMark mark;
};

PlainReading ReadByColumns(const TestDatabase& db) {
    PlainReading reading;
    WithDirectConnection(db.filePath(), DirectAccess::ReadOnly, [&](QSqlDatabase& direct) {
        QSqlQuery query(
            u"select rowid, \"记录期号\", \"1\", \"2\", \"3\", \"4\", \"5\" from \"%1\" order by \"记录期号\""_s.arg(
                DrawTableName(kJiangxi)),
            direct);
        TableMark& mark = reading.mark;
        while (query.next()) {
            QStringList values;
            for (int i = 1; i <= 6; ++i)
                values << query.value(i).toString();
            ++mark.rowCount;
            Draw draw{};
            draw[0] = WholeNumber(values[0].mid(2));
            for (std::size_t k = 1; k <= 5; ++k)
                draw[k] = WholeNumber(values[qsizetype(k)]);
            reading.history.push_back(draw);
            const qint64 rowId = query.value(0).toLongLong();
            if (mark.rowCount == 1 || rowId > mark.maxRowId) {
                mark.maxRowId = rowId;
                mark.maxRow = {values[0], {values[1], values[2], values[3], values[4], values[5]}};
            }
            if (values[0] > mark.newestPeriod)
                mark.newestPeriod = values[0];
        }
    });
    return reading;
}

void ExpectSameMark(const TableMark& actual, const TableMark& expected) {
    EXPECT_EQ(actual.rowCount, expected.rowCount);
    EXPECT_EQ(actual.maxRowId, expected.maxRowId);
    EXPECT_EQ(actual.newestPeriod, expected.newestPeriod);
    EXPECT_EQ(actual.maxRow, expected.maxRow);
}

// Rows of unique periods from `firstPeriod` on, in shuffled order, each number written in one of the
// ways a table may hold it: plain or padded text, spaces, a sign, more than nine digits, an
// integer, a blob and, with `withReals`, a real such as 7.0, which SQLite and Qt spell differently.
QList<QVariantList> MixedRows(std::mt19937& random, qint64 firstPeriod, int count, bool withReals) {
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i) {
        const qint64 period = firstPeriod + i;
        QVariantList row{QString::number(period)};
        for (int k = 1; k <= 5; ++k) {
            const int number = int(random() % 11) + 1;
            const QString padded = u"%1"_s.arg(number, 2, 10, QChar(u'0'));
            const QVariantList ways{
                QString::number(number), u" "_s + padded + u" "_s, u"+"_s + padded, u"00000000"_s + padded,
                qint64(number),          padded.toUtf8(),          padded,          double(number)};
            row << ways[qsizetype(random() % std::uint32_t(ways.size() - (withReals ? 0 : 1)))];
        }
        rows << row;
    }
    std::shuffle(rows.begin(), rows.end(), random);
    return rows;
}

TEST(DrawTableReader, ReadsEveryKindOfStoredValueAndMarkAsAReadingByColumnsDoes) {
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        std::mt19937 random(seed);
        const bool withReals = seed > 2;
        TestDatabase db;
        MakeUntypedTable(db);
        db.insertValues(kJiangxi, MixedRows(random, 2026000001, 300, withReals));
        DrawTableReader reader(db.filePath(), kJiangxi);

        TableMark mark;
        const PlainReading whole = ReadByColumns(db);
        EXPECT_EQ(reader.readAll(mark), whole.history) << "seed " << seed;
        ExpectSameMark(mark, whole.mark);

        db.insertValues(kJiangxi, MixedRows(random, 2026000301, 40, withReals));
        const std::optional<DrawHistory> newer = reader.readNewer(mark);
        ASSERT_TRUE(newer.has_value()) << "seed " << seed;
        const PlainReading grown = ReadByColumns(db);
        EXPECT_EQ(*newer, DrawHistory(grown.history.end() - 40, grown.history.end())) << "seed " << seed;
        ExpectSameMark(mark, grown.mark);
    }
}

TEST(DrawTableReader, PutsRowsInTheOrderSqliteGivesThem) {
    const auto row = [](const QVariant& period, int first) {
        return QVariantList{period, u"%1"_s.arg(first, 2, 10, QChar(u'0')), u"02"_s, u"03"_s, u"04"_s, u"05"_s};
    };
    struct Table {
        QList<QVariantList> rows;
        QString periodCollation = {};
    };
    const QList<Table> tables{
        // Periods of different lengths go in the order of their texts, not of their numbers.
        {{row(u"2099"_s, 1), row(u"20100"_s, 2), row(u"209"_s, 3), row(u"2026120801"_s, 4), row(u"200"_s, 5)}},
        // A period stored as a number comes before every period stored as text.
        {{row(u"2026120802"_s, 1), row(qint64(2026120803), 2), row(u"2026120801"_s, 3)}},
        // Two rows of one period, and periods with other characters than digits.
        {{row(u"2026120802"_s, 1), row(u"2026120801"_s, 2), row(u"2026120802"_s, 3), row(u"2026120800"_s, 4)}},
        {{row(u"ab123"_s, 1), row(u"AB124"_s, 2), row(u"2026120801"_s, 3), row(u" 2026120800"_s, 4)}},
        // Stored in the order of their bytes, but the table compares them without case.
        {{row(u"AB124"_s, 1), row(u"ab123"_s, 2)}, u"collate nocase"_s},
    };
    for (const auto& [rows, periodCollation] : tables) {
        TestDatabase db;
        MakeUntypedTable(db, periodCollation);
        db.insertValues(kJiangxi, rows);
        DrawTableReader reader(db.filePath(), kJiangxi);
        TableMark mark;
        const PlainReading expected = ReadByColumns(db);
        EXPECT_EQ(reader.readAll(mark), expected.history) << rows.front().front().toString().toStdString();
        ExpectSameMark(mark, expected.mark);
    }
}

TEST(DrawTableReader, ARowThatIsNotADrawIsNamedAsAReadingByColumnsNamesIt) {
    // Three sound rows around the one that is not a draw, which is the third in period order.
    const QVariantList good{u"2026120801"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s};
    struct Case {
        QVariantList row;
        QString message;
    };
    const QString separator(QChar(0x1f));
    const QVariant null(QMetaType::fromType<QString>());
    const QList<Case> cases{
        {{u"2026120803"_s, u"01"_s, null, u"03"_s, u"04"_s, u"05"_s}, u"“”不是有效的整数（第 3 行 号码2）"_s},
        {{u"2026120803"_s, u"01"_s, u"02"_s, u"03"_s, u"0"_s + separator + u"7"_s, u"05"_s},
         u"“0"_s + separator + u"7”不是有效的整数（第 3 行 号码4）"_s},
        {{u"2026120803"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s + separator},
         u"“05"_s + separator + u"”不是有效的整数（第 3 行 号码5）"_s},
        {{null, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}, u"“”不是有效的期号（第 1 行）"_s},
        {{u"2026120803"_s, QByteArray("x1"), u"02"_s, u"03"_s, u"04"_s, u"05"_s},
         u"“x1”不是有效的整数（第 3 行 号码1）"_s},
        {{u"2026120803"_s, 7.5, u"02"_s, u"03"_s, u"04"_s, u"05"_s}, u"“7.5”不是有效的整数（第 3 行 号码1）"_s},
    };
    for (const Case& c : cases) {
        TestDatabase db;
        MakeUntypedTable(db);
        QVariantList second = good;
        second[0] = u"2026120802"_s;
        QVariantList fourth = good;
        fourth[0] = u"2026120804"_s;
        db.insertValues(kJiangxi, {c.row, fourth, good, second});
        DrawTableReader reader(db.filePath(), kJiangxi);
        TableMark mark;
        try {
            reader.readAll(mark);
            ADD_FAILURE() << "no error for " << c.message.toStdString();
        } catch (const StoreError& error) {
            EXPECT_EQ(error.message(), c.message);
        }
    }
}

} // namespace
} // namespace tarvo
