#include "TestDatabase.h"

#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/Lottery.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo::test {

namespace {

// Runs `work` on a direct connection to the file, outside the program's own layer.
template <typename Work> void WithDatabase(const QString& file, Work work) {
    const QString name = u"test-direct"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        db.open();
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

TestDatabase::TestDatabase() {
    CreateDrawDatabase(filePath());
}

QString TestDatabase::filePath() const {
    return appDir() + DrawDatabaseFileName();
}

void TestDatabase::insertRows(const QString& lottery, const QList<QStringList>& rows) const {
    WithDatabase(filePath(), [&](QSqlDatabase& db) {
        db.transaction();
        QSqlQuery query(db);
        query.prepare(u"insert into \"%1\" values (?,?,?,?,?,?)"_s.arg(DrawTableName(lottery)));
        for (const QStringList& row : rows) {
            for (const QString& value : row)
                query.addBindValue(value);
            query.exec();
        }
        db.commit();
    });
}

void TestDatabase::insertConsecutive(const QString& lottery, qint64 firstPeriod, int count) const {
    QList<QStringList> rows;
    for (int i = 0; i < count; ++i)
        rows << QStringList{QString::number(firstPeriod + i), u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s};
    insertRows(lottery, rows);
}

QStringList TestDatabase::periods(const QString& lottery) const {
    QStringList result;
    WithDatabase(filePath(), [&](QSqlDatabase& db) {
        QSqlQuery query(u"select 记录期号 from \"%1\" order by 记录期号"_s.arg(DrawTableName(lottery)), db);
        while (query.next())
            result << query.value(0).toString();
    });
    return result;
}

} // namespace tarvo::test
