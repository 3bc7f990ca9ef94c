#include "FetchTestSupport.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace tarvo::test {

ProgramFolder::ProgramFolder() {
    CreateDrawDatabase(appDir() + DrawDatabaseFileName());
}

QList<DrawRow> ProgramFolder::rows(const QString& lottery) const {
    Connection connection(path(DrawDatabaseFileName()));
    connection.open();
    Dataset dataset;
    dataset.setConnection(&connection);
    dataset.setQuery(DrawTableQuery(lottery));
    dataset.open();
    QList<DrawRow> rows;
    for (dataset.first(); !dataset.eof(); dataset.next()) {
        DrawRow row;
        row.period = dataset.field(0);
        for (int k = 0; k < 5; ++k)
            row.numbers[std::size_t(k)] = dataset.field(k + 1);
        rows.append(row);
    }
    return rows;
}

QStringList ProgramFolder::periods(const QString& lottery) const {
    QStringList periods;
    for (const DrawRow& row : rows(lottery))
        periods.append(row.period);
    return periods;
}

void ProgramFolder::insert(const QString& lottery, const DrawRow& row) const {
    DrawAppender(path(DrawDatabaseFileName()), lottery).append(row);
}

namespace {

void ExecuteDirectly(const QString& databaseFile, const QString& statement) {
    const QString name = u"fetch-test-direct"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(databaseFile);
        QSqlQuery query(db);
        if (!db.open() || !query.exec(statement))
            throw std::runtime_error("cannot run " + statement.toStdString() + ": " +
                                     query.lastError().text().toStdString());
    }
    QSqlDatabase::removeDatabase(name);
}

QString RefusingTrigger(const QString& lottery) {
    return u"\"refuse %1\""_s.arg(lottery);
}

} // namespace

void ProgramFolder::refuseInsertsBeyond(const QString& lottery, int rows) const {
    const QString table = u'"' + DrawTableName(lottery) + u'"';
    ExecuteDirectly(path(DrawDatabaseFileName()),
                    u"create trigger %1 before insert on %2 when (select count(*) from %2) >= %3 "
                    u"begin select raise(abort, 'database or disk is full'); end"_s.arg(RefusingTrigger(lottery), table)
                        .arg(rows));
}

void ProgramFolder::acceptInserts(const QString& lottery) const {
    ExecuteDirectly(path(DrawDatabaseFileName()), u"drop trigger %1"_s.arg(RefusingTrigger(lottery)));
}

const Lottery& Known(const QString& lottery) {
    const Lottery* known = FindLottery(lottery);
    if (!known)
        throw std::invalid_argument("no lottery is named " + lottery.toStdString());
    return *known;
}

DrawRow Row(const QString& period, std::initializer_list<int> numbers) {
    DrawRow row;
    row.period = period;
    std::size_t k = 0;
    for (int number : numbers)
        row.numbers[k++] = u"%1"_s.arg(number, 2, 10, QChar(u'0'));
    return row;
}

} // namespace tarvo::test

namespace tarvo {

void PrintTo(const DrawRow& row, std::ostream* out) {
    *out << row.period.toStdString();
    for (const QString& number : row.numbers)
        *out << ' ' << number.toStdString();
}

} // namespace tarvo
