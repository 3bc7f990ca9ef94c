#pragma once

#include "tarvo/store/Connection.h"
#include "tarvo/store/Dataset.h"

#include <QString>
#include <array>
#include <optional>

namespace tarvo {

// A draw as the sources deliver it, in text: the ten-digit period ("20" + eight characters) and the
// five two-character numbers in draw order.
struct DrawRow {
    QString period;
    std::array<QString, 5> numbers;
    bool operator==(const DrawRow&) const = default;
};

// Whether a row is fit to be stored: a period of ten decimal digits and five numbers each written
// with two digits, 01 to 11. A row that fails this would break every later load of the table.
bool IsStorableDrawRow(const DrawRow& row);

// A whole number as the sources compare periods (signed 64-bit, optional sign, no blanks), or none.
std::optional<qint64> ParsePeriod(const QString& text);

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
