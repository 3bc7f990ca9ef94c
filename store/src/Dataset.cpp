#include "tarvo/store/Dataset.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/StoreError.h"

#include "SqlNames.h"

#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

namespace tarvo {

QString TableQuery::text() const {
    return u"select * from "_s + table + u" order by "_s + orderColumn;
}

Dataset::~Dataset() {
    setConnection(nullptr);
}

void Dataset::setConnection(Connection* connection) {
    close();
    if (connection_)
        connection_->detach(this);
    connection_ = connection;
    if (connection_)
        connection_->attach(this);
}

void Dataset::open() {
    close();
    if (!connection_ || !connection_->connected())
        throw StoreError(u"数据库连接没有打开"_s);
    QSqlDatabase db = connection_->database();
    const QStringList columns = ColumnsOf(db, query_.table);
    if (columns.isEmpty())
        throw StoreError(u"找不到数据表：%1"_s.arg(query_.table));
    if (!columns.contains(query_.orderColumn))
        throw StoreError(u"数据表 %1 没有字段 %2"_s.arg(query_.table, query_.orderColumn));

    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(
            u"select rowid, * from %1 order by %2"_s.arg(QuotedName(query_.table), QuotedName(query_.orderColumn))))
        throw StoreError(u"%1：%2"_s.arg(commandText(), query.lastError().text()));
    const int width = int(columns.size());
    while (query.next()) {
        rowIds_.append(query.value(0).toLongLong());
        QVector<QVariant> row(width);
        for (int i = 0; i < width; ++i)
            row[i] = query.value(i + 1);
        rows_.append(std::move(row));
    }
    columns_ = columns;
    current_ = 0;
    open_ = true;
}

void Dataset::close() {
    open_ = false;
    appending_ = false;
    pending_.clear();
    rows_.clear();
    rowIds_.clear();
    columns_.clear();
    current_ = 0;
}

void Dataset::requireOpen() const {
    if (!open_)
        throw StoreError(u"数据集没有打开"_s);
}

const QVector<QVariant>& Dataset::currentRow() const {
    requireOpen();
    if (eof())
        throw StoreError(u"数据集没有当前记录"_s);
    return rows_[current_];
}

QString Dataset::fieldByName(const QString& column) const {
    requireOpen();
    const int position = int(columns_.indexOf(column));
    if (position < 0)
        throw StoreError(u"数据表 %1 没有字段 %2"_s.arg(query_.table, column));
    return currentRow()[position].toString();
}

QString Dataset::field(int position) const {
    requireOpen();
    if (position < 0 || position >= columns_.size())
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(query_.table).arg(position + 1));
    return currentRow()[position].toString();
}

void Dataset::append() {
    requireOpen();
    appending_ = true;
    pending_ = QVector<QVariant>(columns_.size());
}

void Dataset::setField(int position, const QString& value) {
    if (!appending_)
        throw StoreError(u"没有正在追加的记录"_s);
    if (position < 0 || position >= columns_.size())
        throw StoreError(u"数据表 %1 没有第 %2 个字段"_s.arg(query_.table).arg(position + 1));
    pending_[position] = value;
}

void Dataset::post() {
    if (!appending_)
        throw StoreError(u"没有正在追加的记录"_s);
    QStringList names;
    QStringList placeholders;
    for (int i = 0; i < columns_.size(); ++i) {
        if (pending_[i].isNull())
            continue;
        names << QuotedName(columns_[i]);
        placeholders << u"?"_s;
    }
    QSqlQuery query(connection_->database());
    query.prepare(
        u"insert into %1 (%2) values (%3)"_s.arg(QuotedName(query_.table), names.join(u','), placeholders.join(u',')));
    for (const QVariant& value : std::as_const(pending_))
        if (!value.isNull())
            query.addBindValue(value);
    appending_ = false;
    if (!query.exec())
        throw StoreError(query.lastError().text());
    rowIds_.append(query.lastInsertId().toLongLong());
    rows_.append(pending_);
    current_ = int(rows_.size()) - 1;
    pending_.clear();
}

void Dataset::deleteCurrent() {
    currentRow();
    QSqlQuery query(connection_->database());
    query.prepare(u"delete from %1 where rowid = ?"_s.arg(QuotedName(query_.table)));
    query.addBindValue(rowIds_[current_]);
    if (!query.exec())
        throw StoreError(query.lastError().text());
    rows_.remove(current_);
    rowIds_.remove(current_);
}

} // namespace tarvo
