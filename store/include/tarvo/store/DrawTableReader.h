#pragma once

#include "tarvo/plan/Draw.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawRow.h"

#include <QString>
#include <optional>

namespace tarvo {

// What a reader of a lottery's table remembers of the rows it has read, so that the next reading
// can tell, without reading the table again, whether the table has only grown by newer rows since.
struct TableMark {
    qint64 rowCount = 0;
    qint64 maxRowId = 0;  // the greatest rowid read; 0 for an empty table
    QString newestPeriod; // the greatest period text read; empty for an empty table
    DrawRow maxRow;       // the values of the row with the greatest rowid, as read
};

// Reads a lottery's table through a connection of its own, the whole of it or what came after the
// last reading, each reading in one snapshot of the file.
class DrawTableReader {
public:
    DrawTableReader(QString databaseFile, QString lottery);

    // Reads every row, oldest period first, in one snapshot of the file, and marks what it read.
    // Throws StoreError when the file, the table or a column is missing or a value is no number.
    DrawHistory readAll(TableMark& mark);

    // The rows added since `mark`, oldest first, when the table has changed only by rows with
    // periods above every period read before (then `mark` moves on to cover them); nothing when it
    // has changed in any other way (rows removed, an older or equal period inserted), and a whole
    // reading is needed. Throws StoreError as readAll does.
    std::optional<DrawHistory> readNewer(TableMark& mark);

    const QString& lottery() const { return lottery_; }

private:
    void requireColumns();

    QString lottery_;
    Connection connection_;
};

} // namespace tarvo
