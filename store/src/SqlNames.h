#pragma once

#include <QSqlDatabase>
#include <QSqlRecord>
#include <QStringList>

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

} // namespace tarvo
