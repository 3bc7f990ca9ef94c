#pragma once

#include "tarvo/fetch/FallbackReading.h"
#include "tarvo/fetch/HttpGet.h"
#include "tarvo/fetch/PassReport.h"
#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/Lottery.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QNetworkAccessManager;

namespace tarvo {

// UpdateLatestDraws for one lottery, without blocking the caller's thread: reads the lottery's newest
// draws from the first source that answers (see FallbackReading) and stores, in the source's order,
// every draw that the table lacks: newer than its newest period, or missing between its oldest and
// newest (see NewRowFilter), each recorded with its source; a stored period listed with other
// numbers is kept as it is and recorded as a disagreement (see StoreRowsTheTableLacks).
// - The database file or the lottery's table cannot be opened: finished(error text), nothing else.
// - No source answers: nothing changes and finished("") follows, since network failures are never
//   shown in a box; lastReport() says what each source answered.
// - A failing append or commit ends the pass quietly and stores none of its rows (one transaction).
// finished is emitted exactly once per start(), always after start() has returned. The rows are
// stored on a database thread of the updater's own, so the caller's thread never waits for the disk
// or for a scan of the table.
class LatestDrawUpdater : public QObject {
    Q_OBJECT
public:
    // The manager must outlive this object.
    LatestDrawUpdater(QNetworkAccessManager* manager, QList<SourceConfig> sources, QObject* parent = nullptr);
    ~LatestDrawUpdater() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // Takes effect at the next start().
    void setSources(QList<SourceConfig> sources) { sources_ = std::move(sources); }
    // The database the passes store into; empty (the default): 彩票数据.mdb in the program folder.
    void setDatabaseFile(const QString& file) { databaseFile_ = file; }
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Starts one pass; appDir ends with a separator. Ignored while a pass is running.
    void start(const QString& appDir, const QString& lottery);
    // Stops the pass in flight; it then ends as one without an answer does.
    void cancel();
    bool isRunning() const { return running_; }
    // How the last pass went (nothing answered while it runs).
    const PassReport& lastReport() const { return report_; }
    // Whether the last pass got an answer from a source (false while running).
    bool sourceAnswered() const { return report_.answered; }

signals:
    void finished(const QString& error);

private:
    void onOutcome(FallbackOutcome outcome);
    void storeListedRows(const SourceRead& read, const QString& sourceName);
    void finishLater(const QString& error);
    void finish(const QString& error);

    QNetworkAccessManager* manager_;
    QList<SourceConfig> sources_;
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    QString databaseFile_;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
    bool running_ = false;
    QString passDatabaseFile_;
    QString lottery_;
    PassReport report_;
    QPointer<FallbackReading> reading_;
    DatabaseThread database_; // last: its end waits for a pass being stored
};

} // namespace tarvo
