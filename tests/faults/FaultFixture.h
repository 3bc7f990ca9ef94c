#pragma once

#include "WindowFixture.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/store/DrawAppender.h"

#include <QDateTime>
#include <QList>
#include <memory>

namespace tarvo {

// Readable rows in test failures.
inline void PrintTo(const DrawRow& row, std::ostream* out) {
    *out << row.period.toStdString();
    for (const QString& number : row.numbers)
        *out << ',' << number.toStdString();
}

} // namespace tarvo

namespace tarvo::test {

// The clock of the draw source and the calendar of the window in these tests.
inline const QDateTime kFaultNow(QDate(2026, 12, 8), QTime(12, 5));

// What a direct look at a draw database file finds, outside the program's own layer.
struct DatabaseLook {
    QString integrity;            // PRAGMA integrity_check: "ok" for a sound file
    QList<DrawRow> rows;          // the lottery's rows in period order
    QStringList duplicatePeriods; // periods stored more than once
    bool tableExists = false;
};
DatabaseLook LookAt(const QString& databaseFile, const QString& lottery);

// Rows that would break a later load of the table (see IsStorableDrawRow), as readable text.
QStringList MalformedRows(const QList<DrawRow>& rows);

// A published draw as the program stores it.
DrawRow StoredForm(const SourceDraw& draw);

// Every draw a source publishes for a lottery in the ten days up to `today`, keyed by period.
QHash<QString, DrawRow> PublishedInTenDays(const DrawSource& source, const QString& lottery, const QDate& today);

// The window against the real local draw source, which a test can break and mend: the source keeps
// its port across restarts, because the window's source hosts are fixed when it is created.
class FaultFixture : public WindowFixture {
protected:
    // Starts the source with these rules (on any free port the first time, on the same port after)
    // and points the window at it; the window must not have been created yet the first time.
    void startSource(DrawSourceOptions options = {});
    // The fault is gone: the same source, on the same port, with no failure rules.
    void mendSource();
    DrawSource& source() { return *source_; }

    // The source's feed for a lottery, as stored rows.
    QList<DrawRow> feedRows(const QString& lottery) const;

    // Every stored row of every lottery is well formed, stored once and was published by the source
    // (or is one of `extra`); the file passes the integrity check.
    void expectOnlyPublishedRows(const QList<DrawRow>& extra = {});
    // The window shows exactly the stored rows of the selected lottery and takes commands again.
    void expectWindowShowsStoredRows();

    QString databaseFile() const { return db_->filePath(); }

private:
    DrawSourceOptions options_;
};

} // namespace tarvo::test
