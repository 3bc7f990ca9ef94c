#include "tarvo/store/DrawAppender.h"

#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include "SqlNames.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr int RowWidth = 6; // the period and the five numbers

} // namespace

DrawAppender::DrawAppender(const QString& databaseFile, const QString& lottery)
    : connection_(databaseFile)
    , table_(DrawTableName(lottery)) {
    connection_.open();
    columns_ = ColumnsOf(connection_.database(), table_);
    if (columns_.isEmpty())
        throw StoreError(u"找不到数据表：%1"_s.arg(table_));
    if (!columns_.contains(PeriodColumn()))
        throw StoreError(u"数据表 %1 没有字段 %2"_s.arg(table_, PeriodColumn()));
    lastStoredPeriod_ = newestStoredPeriod();
}

QString DrawAppender::newestStoredPeriod() {
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    // The first column of the last row in period order: where the writers put the period.
    if (!query.exec(u"select %1 from %2 order by %3 desc limit 1"_s.arg(
            QuotedName(columns_.front()), QuotedName(table_), QuotedName(PeriodColumn()))))
        throw StoreError(query.lastError().text());
    return query.next() ? query.value(0).toString() : u"0"_s;
}

void DrawAppender::append(const DrawRow& row) {
    if (columns_.size() < RowWidth)
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(table_).arg(RowWidth));
    QStringList names;
    for (int i = 0; i < RowWidth; ++i)
        names << QuotedName(columns_[i]);
    QSqlQuery query(connection_.database());
    query.prepare(u"insert into %1 (%2) values (?,?,?,?,?,?)"_s.arg(QuotedName(table_), names.join(u',')));
    query.addBindValue(row.period);
    for (const QString& number : row.numbers)
        query.addBindValue(number);
    if (!query.exec())
        throw StoreError(query.lastError().text());
}

} // namespace tarvo
