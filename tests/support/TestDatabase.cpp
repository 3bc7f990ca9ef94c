#include "TestDatabase.h"

#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/Lottery.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace tarvo::test {

bool WithDirectConnection(const QString& file, DirectAccess access, const std::function<void(QSqlDatabase&)>& work) {
    const QString name = u"test-direct"_s;
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        if (access == DirectAccess::ReadOnly)
            db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        opened = db.open();
        if (opened)
            work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return opened;
}

TestDatabase::TestDatabase() {
    CreateDrawDatabase(filePath());
}

QString TestDatabase::filePath() const {
    return appDir() + DrawDatabaseFileName();
}

void TestDatabase::insertRows(const QString& lottery, const QList<QStringList>& rows) const {
    QList<QVariantList> values;
    for (const QStringList& row : rows)
        values << QVariantList(row.begin(), row.end());
    insertValues(lottery, values);
}

void TestDatabase::insertValues(const QString& lottery, const QList<QVariantList>& rows) const {
    WithDirectConnection(filePath(), DirectAccess::ReadWrite, [&](QSqlDatabase& db) {
        db.transaction();
        QSqlQuery query(db);
        query.prepare(u"insert into \"%1\" values (?,?,?,?,?,?)"_s.arg(DrawTableName(lottery)));
        for (const QVariantList& row : rows) {
            for (const QVariant& value : row)
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
    return PeriodsOf(filePath(), lottery);
}

QStringList TestDatabase::PeriodsOf(const QString& file, const QString& lottery) {
    QStringList result;
    WithDirectConnection(file, DirectAccess::ReadWrite, [&](QSqlDatabase& db) {
        QSqlQuery query(u"select 记录期号 from \"%1\" order by 记录期号"_s.arg(DrawTableName(lottery)), db);
        while (query.next())
            result << query.value(0).toString();
    });
    return result;
}

QList<QStringList> TestDatabase::rows(const QString& lottery) const {
    QList<QStringList> result;
    WithDirectConnection(filePath(), DirectAccess::ReadOnly, [&](QSqlDatabase& db) {
        QSqlQuery query(u"select * from \"%1\" order by 记录期号"_s.arg(DrawTableName(lottery)), db);
        while (query.next()) {
            QStringList row;
            for (int column = 0; column < 6; ++column)
                row << query.value(column).toString();
            result << row;
        }
    });
    return result;
}

QList<DrawRow> TestDatabase::drawRows(const QString& lottery) const {
    QList<DrawRow> result;
    for (const QStringList& values : rows(lottery)) {
        DrawRow row;
        row.period = values[0];
        for (std::size_t k = 0; k < row.numbers.size(); ++k)
            row.numbers[k] = values[qsizetype(k) + 1];
        result.append(row);
    }
    return result;
}

void TestDatabase::insert(const QString& lottery, const DrawRow& row) const {
    DrawAppender(filePath(), lottery).append(row);
}

namespace {

void ExecuteDirectly(const QString& databaseFile, const QString& statement) {
    QString error;
    const bool opened = WithDirectConnection(databaseFile, DirectAccess::ReadWrite, [&](QSqlDatabase& db) {
        QSqlQuery query(db);
        if (!query.exec(statement))
            error = query.lastError().text();
    });
    if (!opened || !error.isEmpty())
        throw std::runtime_error("cannot run " + statement.toStdString() + ": " + error.toStdString());
}

QString RefusingTrigger(const QString& lottery) {
    return u"\"refuse %1\""_s.arg(lottery);
}

} // namespace

void TestDatabase::refuseInsertsBeyond(const QString& lottery, int rows) const {
    const QString table = u'"' + DrawTableName(lottery) + u'"';
    ExecuteDirectly(filePath(),
                    u"create trigger %1 before insert on %2 when (select count(*) from %2) >= %3 "
                    u"begin select raise(abort, 'database or disk is full'); end"_s.arg(RefusingTrigger(lottery), table)
                        .arg(rows));
}

void TestDatabase::acceptInserts(const QString& lottery) const {
    ExecuteDirectly(filePath(), u"drop trigger %1"_s.arg(RefusingTrigger(lottery)));
}

} // namespace tarvo::test
