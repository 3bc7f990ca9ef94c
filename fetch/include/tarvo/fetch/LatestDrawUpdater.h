#pragma once

#include "tarvo/fetch/HttpGet.h"
#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/Lottery.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvo {

// UpdateLatestDraws for one lottery, without blocking the caller's thread: reads the lottery's
// latest-draw feed and appends, in feed order, every accepted row (see ScanFeedText) that the table
// lacks: newer than its newest period, or missing between its oldest and newest (see NewRowFilter).
// - The database file or the lottery's table cannot be opened: finished(error text), nothing else.
// - The feed cannot be fetched, times out, or is not well-formed XML: nothing changes and
//   finished("") follows, since network failures are never shown to users.
// - A failing append or commit ends the pass quietly and stores none of its rows (one transaction).
// finished is emitted exactly once per start(), always after start() has returned. The rows are
// stored on a database thread of the updater's own, so the caller's thread never waits for the disk
// or for a scan of the table.
class LatestDrawUpdater : public QObject {
    Q_OBJECT
public:
    // feedHost is host[:port] of the latest-draw feed server. The manager must outlive this object.
    LatestDrawUpdater(QNetworkAccessManager* manager, QString feedHost, QObject* parent = nullptr);
    ~LatestDrawUpdater() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Starts one pass; appDir ends with a separator. Ignored while a pass is running.
    void start(const QString& appDir, const QString& lottery);
    // Aborts the request in flight; the pass then ends as a failed fetch does.
    void cancel();
    bool isRunning() const { return running_; }
    // Whether the last pass got a well-formed feed document from the source (false while running).
    bool sourceAnswered() const { return answered_; }

signals:
    void finished(const QString& error);

private:
    void onFeed(const std::optional<QByteArray>& document);
    void storeListedRows(const QByteArray& feedText);
    void finishLater(const QString& error);
    void finish(const QString& error);

    QNetworkAccessManager* manager_;
    QString feedHost_;
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    bool running_ = false;
    bool answered_ = false;
    FeedLayout feed_;
    QString databaseFile_;
    QString lottery_;
    QPointer<QNetworkReply> reply_;
    DatabaseThread database_; // last: its end waits for a pass being stored
};

} // namespace tarvo
