#include "tarvo/store/DrawDatabase.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include "Sql.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo {

void CreateDrawDatabase(const QString& filePath) {
    if (QFile::exists(filePath))
        throw StoreError(u"数据库文件已经存在，不会覆盖：%1"_s.arg(filePath));
    {
        QFile file(filePath);
        if (!file.open(QIODevice::WriteOnly))
            throw StoreError(u"无法创建数据库文件 %1：%2"_s.arg(filePath, file.errorString()));
    }
    try {
        Connection connection(filePath);
        connection.open();
        QSqlDatabase db = connection.database();
        for (const QString& lottery : LotteryNames()) {
            QSqlQuery query(db);
            const QString statement = u"create table \"%1\" (\"%2\" text, \"1\" text, \"2\" text, \"3\" text, "
                                      u"\"4\" text, \"5\" text)"_s.arg(DrawTableName(lottery), PeriodColumn());
            if (!query.exec(statement))
                throw StoreError(query.lastError().text());
        }
    } catch (...) {
        QFile::remove(filePath);
        throw;
    }
}

bool HoldsAnyDraw(const QString& filePath) {
    Connection connection(filePath);
    connection.open();
    QSqlDatabase db = connection.database();
    for (const QString& lottery : LotteryNames()) {
        if (ColumnsOf(db, DrawTableName(lottery)).isEmpty())
            continue;
        QSqlQuery query(db);
        if (!query.exec(u"select 1 from %1 limit 1"_s.arg(QuotedName(DrawTableName(lottery)))))
            throw StoreError(query.lastError().text());
        if (query.next())
            return true;
    }
    return false;
}

} // namespace tarvo
