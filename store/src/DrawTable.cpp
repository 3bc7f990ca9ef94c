#include "tarvo/store/DrawTable.h"

#include "tarvo/store/DrawRow.h"
#include "tarvo/store/DrawTableReader.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"
#include "tarvo/store/Transaction.h"

#include "Sql.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

void TrimTable(const QSqlDatabase& db, const QString& lottery, int rowsKept) {
    const QString table = QuotedName(DrawTableName(lottery));
    Transaction transaction(db, Transaction::Kind::Write);
    QSqlQuery count = RunStatement(db, u"select count(*) from %1"_s.arg(table));
    const qint64 surplus = (count.next() ? count.value(0).toLongLong() : 0) - rowsKept;
    if (surplus <= 0)
        return;
    RunStatement(db,
                 u"delete from %1 where rowid in (select rowid from %1 order by %2 limit ?)"_s.arg(
                     table, QuotedName(PeriodColumn())),
                 {surplus});
    transaction.commit();
}

qint32 ToInteger(const QString& text, const QString& what) {
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok);
    if (!ok)
        throw StoreError(u"“%1”不是有效的整数（%2）"_s.arg(text, what));
    return value;
}

} // namespace

void TrimDrawTables(const QString& databaseFile) {
    Connection connection(databaseFile);
    connection.open();
    for (const Lottery& lottery : Lotteries()) {
        if (lottery.rowsKeptAtExit)
            TrimTable(connection.database(), lottery.name, *lottery.rowsKeptAtExit);
    }
}

Draw DrawFromStoredRow(const QString& period, const std::array<QString, 5>& numbers, const QString& where) {
    if (period.size() < 3)
        throw StoreError(u"“%1”不是有效的期号（%2）"_s.arg(period, where));
    Draw draw;
    draw[0] = ToInteger(period.mid(2), where + u" 记录期号"_s);
    for (int k = 1; k <= 5; ++k)
        draw[std::size_t(k)] = ToInteger(numbers[std::size_t(k - 1)], where + u" 号码%1"_s.arg(k));
    return draw;
}

DrawHistory ReadDrawHistory(const QString& databaseFile, const QString& lottery) {
    DrawTableReader reader(databaseFile, lottery);
    TableMark mark;
    return reader.readAll(mark);
}

QString DrawHistoryLine(const Draw& draw) {
    QString line = QString::number(draw[0]) + u"期"_s;
    for (int k = 1; k <= 5; ++k)
        line += GameNumberText(draw[k]) + u' ';
    return line;
}

QStringList DrawHistoryLines(const DrawHistory& history) {
    QStringList lines;
    lines.reserve(qsizetype(history.size()));
    for (const Draw& draw : history)
        lines << DrawHistoryLine(draw);
    return lines;
}

} // namespace tarvo
