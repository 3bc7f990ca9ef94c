#include "FetchTestSupport.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"
#include "tarvo/store/DrawDatabase.h"
#include "tarvo/store/DrawTable.h"
#include "tarvo/store/Lottery.h"

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
