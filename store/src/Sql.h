#pragma once

#include "tarvo/store/StoreError.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariantList>

namespace tarvo {

// A table's or column's name as SQL reads a name: in double quotes, inner quotes doubled. Names come
// from the program's own constants and the file's schema, never from fetched text.
inline QString QuotedName(const QString& name) {
    return u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

// The columns of a table in their order; empty when there is no such table.
inline QStringList ColumnsOf(const QSqlDatabase& db, const QString& table) {
    const QSqlRecord record = db.record(table);
    QStringList columns;
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    return columns;
}

// Runs one statement with its values bound in order, read forward only; throws StoreError with the
// engine's words when it cannot be prepared or run.
inline QSqlQuery RunStatement(const QSqlDatabase& db, const QString& statement, const QVariantList& values = {}) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw StoreError(query.lastError().text());
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw StoreError(query.lastError().text());
    return query;
}

} // namespace tarvo
