#pragma once

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"
#include "tarvo/store/DrawRow.h"

#include <QString>

namespace tarvo {

// The private connection and dataset of one acquisition call over one lottery's table: tells the
// newest stored period and appends rows. Opening throws StoreError; so does a failing append.
class DrawAppender {
public:
    DrawAppender(const QString& appDir, const QString& lottery);
    // The same over a database file of any name (the companion tool's --db).
    struct DatabaseFile {
        QString path;
    };
    DrawAppender(const DatabaseFile& file, const QString& lottery);
    ~DrawAppender();

    // The 记录期号 of the table's last row in period order, as text; "0" for an empty table.
    QString lastStoredPeriod() const { return lastStoredPeriod_; }

    // Appends one row (period, then numbers 1 to 5 by position) and writes it at once.
    void append(const DrawRow& row);

private:
    void open(const QString& connectionString, const QString& lottery);

    Connection connection_;
    Dataset dataset_;
    QString lastStoredPeriod_;
};

} // namespace tarvo
