#include "FaultFixture.h"
#include "TestDatabase.h"

#include "tarvo/store/Lottery.h"

#include <QPlainTextEdit>
#include <QSqlDatabase>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo::test {

namespace {

QString RowText(const DrawRow& row) {
    QStringList parts{row.period};
    for (const QString& number : row.numbers)
        parts << number;
    return parts.join(u',');
}

} // namespace

DatabaseLook LookAt(const QString& databaseFile, const QString& lottery) {
    DatabaseLook look;
    WithDirectConnection(databaseFile, DirectAccess::ReadOnly, [&](QSqlDatabase& db) {
        QSqlQuery integrity(u"pragma integrity_check"_s, db);
        while (integrity.next())
            look.integrity += integrity.value(0).toString();
        const QString table = DrawTableName(lottery);
        look.tableExists = db.tables().contains(table);
        if (!look.tableExists)
            return;
        QSqlQuery rows(u"select 记录期号, [1], [2], [3], [4], [5] from \"%1\" order by 记录期号"_s.arg(table), db);
        while (rows.next()) {
            DrawRow row{rows.value(0).toString(), {}};
            for (int i = 0; i < 5; ++i)
                row.numbers[size_t(i)] = rows.value(i + 1).toString();
            look.rows << row;
        }
        QSqlQuery twice(u"select 记录期号 from \"%1\" group by 记录期号 having count(*) > 1"_s.arg(table), db);
        while (twice.next())
            look.duplicatePeriods << twice.value(0).toString();
    });
    return look;
}

QStringList MalformedRows(const QList<DrawRow>& rows) {
    QStringList malformed;
    for (const DrawRow& row : rows) {
        if (!IsStorableDrawRow(row))
            malformed << RowText(row);
    }
    return malformed;
}

DrawRow StoredForm(const SourceDraw& draw) {
    DrawRow row{draw.period, {}};
    for (size_t i = 0; i < 5; ++i)
        row.numbers[i] = u"%1"_s.arg(draw.numbers[i], 2, 10, QChar(u'0'));
    return row;
}

QHash<QString, DrawRow> PublishedInTenDays(const DrawSource& source, const QString& lottery, const QDate& today) {
    QHash<QString, DrawRow> published;
    for (int day = 0; day < 10; ++day) {
        for (const SourceDraw& draw : source.drawsOfDay(lottery, today.addDays(-day)))
            published.insert(draw.period, StoredForm(draw));
    }
    return published;
}

void FaultFixture::startSource(DrawSourceOptions options) {
    if (!options.now && options.csvFile.isEmpty())
        options.now = kFaultNow;
    options.port = source_ ? source_->port() : 0;
    options_ = options;
    WindowFixture::startSource(options);
    environment().today = [] { return kFaultNow.date(); };
}

void FaultFixture::mendSource() {
    DrawSourceOptions options = options_;
    options.failRules.clear();
    startSource(options);
}

QList<DrawRow> FaultFixture::feedRows(const QString& lottery) const {
    QList<DrawRow> rows;
    for (const SourceDraw& draw : source_->latestDraws(lottery))
        rows.prepend(StoredForm(draw));
    return rows;
}

void FaultFixture::expectOnlyPublishedRows(const QList<DrawRow>& extra) {
    for (const QString& lottery : LotteryNames()) {
        SCOPED_TRACE(lottery.toStdString());
        const DatabaseLook look = LookAt(databaseFile(), lottery);
        EXPECT_EQ(look.integrity, u"ok"_s);
        EXPECT_TRUE(look.duplicatePeriods.isEmpty()) << look.duplicatePeriods.join(u' ').toStdString();
        EXPECT_TRUE(MalformedRows(look.rows).isEmpty()) << MalformedRows(look.rows).join(u' ').toStdString();
        QHash<QString, DrawRow> published = PublishedInTenDays(*source_, lottery, kFaultNow.date());
        for (const DrawRow& row : feedRows(lottery))
            published.insert(row.period, row);
        for (const DrawRow& row : look.rows) {
            const bool known = published.value(row.period) == row || extra.contains(row);
            EXPECT_TRUE(known) << "a stored row the source never published: " << RowText(row).toStdString();
        }
    }
}

void FaultFixture::expectWindowShowsStoredRows() {
    const DatabaseLook look = LookAt(databaseFile(), window().state().CurrentLottery);
    EXPECT_EQ(window().state().DrawCount, look.rows.size());
    const QString shown = text("memkj");
    EXPECT_EQ(shown.isEmpty() ? 0 : shown.count(u'\n') + 1, look.rows.size());
    EXPECT_FALSE(window().runGoing());
}

} // namespace tarvo::test
