#pragma once

#include "tarvo/store/DrawRow.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <functional>

class QSqlDatabase;

namespace tarvo::test {

enum class DirectAccess { ReadWrite, ReadOnly };

// Runs `work` on a connection of its own to the file, outside the program's own layer, when the file
// opens; says whether it did.
bool WithDirectConnection(const QString& file, DirectAccess access, const std::function<void(QSqlDatabase&)>& work);

// A program folder in a temporary directory holding a fresh draw database with the four tables.
class TestDatabase {
public:
    TestDatabase();
    QString appDir() const { return dir_.path() + u'/'; }
    QString filePath() const;
    QString path(const QString& fileName) const { return appDir() + fileName; }

    // Appends rows straight into a lottery's table: (period text, five number texts).
    void insertRows(const QString& lottery, const QList<QStringList>& rows) const;
    // The same with values of any type SQLite stores (integer, real, blob, NULL), as another
    // program may have written them.
    void insertValues(const QString& lottery, const QList<QVariantList>& rows) const;
    // Appends `count` valid rows with consecutive periods starting at firstPeriod (ten digits).
    void insertConsecutive(const QString& lottery, qint64 firstPeriod, int count) const;
    // The stored periods of a lottery's table in period order.
    QStringList periods(const QString& lottery) const;
    // The same of any database file (none when it does not open).
    static QStringList PeriodsOf(const QString& file, const QString& lottery);
    // The stored rows of a lottery's table in period order: (period text, five number texts).
    QList<QStringList> rows(const QString& lottery) const;
    // The same as the program's rows.
    QList<DrawRow> drawRows(const QString& lottery) const;
    // Stores a row the way the program does.
    void insert(const QString& lottery, const DrawRow& row) const;
    // From now on the table refuses every insert once it holds `rows` rows, as a full disk would.
    void refuseInsertsBeyond(const QString& lottery, int rows) const;
    void acceptInserts(const QString& lottery) const;

private:
    QTemporaryDir dir_;
};

} // namespace tarvo::test
