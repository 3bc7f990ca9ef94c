#pragma once

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawRow.h"

#include <QString>
#include <QStringList>

namespace tarvo {

// The private connection of one acquisition call over one lottery's table: tells the newest stored
// period and appends rows. Opening reads only the newest period, however long the table; it throws
// StoreError when the file or the table cannot be opened. A failing append throws StoreError too.
class DrawAppender {
public:
    DrawAppender(const QString& databaseFile, const QString& lottery);

    // The 记录期号 of the table's last row in period order, as text; "0" for an empty table.
    QString lastStoredPeriod() const { return lastStoredPeriod_; }

    // Appends one row (period, then numbers 1 to 5, into the table's first six columns by position)
    // and writes it at once.
    void append(const DrawRow& row);

private:
    QString newestStoredPeriod();

    Connection connection_;
    QString table_;
    QStringList columns_;
    QString lastStoredPeriod_;
};

} // namespace tarvo
