#pragma once

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawOrigins.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/NewRowFilter.h"
#include "tarvo/store/Transaction.h"

#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tarvo {

// What one pass over a source's rows finds in a table: the rows it lacks, and the rows whose period
// is stored with other numbers (with the stored numbers).
struct PassPlan {
    QList<DrawRow> lacking;
    QList<std::pair<DrawRow, std::array<QString, 5>>> conflicting;
};

// The private connection of one acquisition call over one lottery's table: tells the newest stored
// period and appends rows. Opening reads no row, however long the table; it throws StoreError when
// the file or the table cannot be opened. A failing append throws StoreError too.
//
// A pass stores whole or not at all: between beginPass() and commitPass() the rows go into one
// transaction, which a failure (or the appender's end before the commit) rolls back, so a later
// pass finds the same draws missing and stores them then.
class DrawAppender {
public:
    DrawAppender(const QString& databaseFile, const QString& lottery);
    ~DrawAppender();
    DrawAppender(const DrawAppender&) = delete;
    DrawAppender& operator=(const DrawAppender&) = delete;

    // The 记录期号 of the table's last row in period order, as text; "0" for an empty table. Read at
    // the first call and at the beginning of every pass.
    QString lastStoredPeriod();

    // Takes the file's write lock (waiting as long as the connection's busy wait) and reads the
    // newest stored period again, so that what the pass decides to store holds until it commits.
    void beginPass();
    void commitPass();
    // Drops what the pass appended; harmless when no pass is open.
    void rollbackPass();

    // The rows of `candidates` (in their order) that the table lacks, as NewRowFilter decides with
    // `isDrawOfThePass`; none when the newest stored period is not a whole number.
    QList<DrawRow> rowsTheTableLacks(const QList<DrawRow>& candidates,
                                     const std::function<bool(qint64 period)>& isDrawOfThePass);
    // As rowsTheTableLacks, and also the storable rows (each period once, the first listing) whose
    // period the table holds from the candidates' oldest period up, with other numbers.
    PassPlan planPass(const QList<DrawRow>& candidates, const std::function<bool(qint64 period)>& isDrawOfThePass);

    // Every stored row's five numbers (as stored) by its period read as a number, in one scan of the
    // table; rows whose period is not a number are left out, and of a period stored twice one row.
    QHash<qint64, std::array<QString, 5>> storedDraws();

    // The connection, for the side tables written in the same pass.
    QSqlDatabase database() const { return connection_.database(); }

    // Appends one row (period, then numbers 1 to 5, into the table's first six columns by position);
    // outside a pass it is written at once.
    void append(const DrawRow& row);
    // Appends many rows, in their order, as append() would one by one, with one statement: the rows
    // travel as one bound value of fixed-width records (the ten-digit period and the five two-digit
    // numbers) that the engine cuts apart, since binding six values per row costs far more than
    // storing it. Every row must be fit to be stored (IsStorableDrawRow); otherwise StoreError, and
    // nothing is appended.
    void appendAll(const QList<DrawRow>& rows);
    // Writes other numbers into the stored rows of the row's period; false when none is stored.
    bool replaceNumbers(const DrawRow& row);
    // Deletes the stored rows of a period; false when none is stored.
    bool remove(const QString& period);

private:
    QString newestStoredPeriod();
    bool holdsPeriodBelow(qint64 period);
    QHash<qint64, std::array<QString, 5>> storedFrom(qint64 lowest);
    void indexPeriods();

    Connection connection_;
    QString table_;
    QStringList columns_;
    std::optional<QString> lastStoredPeriod_;
    std::optional<QSqlQuery> insert_; // prepared at the first append
    std::optional<Transaction> pass_; // between beginPass() and commitPass()
};

// What a pass stored.
struct StoreOutcome {
    int stored = 0;           // rows appended
    int newDisagreements = 0; // periods listed with other numbers than stored, not known before
    QStringList corrected;    // periods the player brought that the source listed otherwise: taken from it
};

// One pass over a lottery's table through an appender of its own, in one transaction: the rows of
// `candidates` (in their order) that the table lacks, as rowsTheTableLacks decides with
// `isDrawOfThePass`, each recorded with `origin` in the origin table. A stored period listed with other
// numbers keeps its draw and is recorded as a disagreement, unless the player brought that draw (typed
// or imported it): a source's numbers are the official ones and replace his, and the period is named in
// `corrected`. Throws StoreError when the table does not open or refuses a row or the commit; then
// nothing of the pass is stored.
StoreOutcome StoreRowsTheTableLacks(const QString& databaseFile, const QString& lottery,
                                    const QList<DrawRow>& candidates,
                                    const std::function<bool(qint64 period)>& isDrawOfThePass, const DrawOrigin& origin,
                                    const QDateTime& at);

} // namespace tarvo
