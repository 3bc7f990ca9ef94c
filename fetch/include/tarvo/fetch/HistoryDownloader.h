#pragma once

#include "tarvo/fetch/HttpGet.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/Lottery.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class QNetworkAccessManager;
class QNetworkReply;

namespace tarvo {

// DownloadDrawHistory without blocking the caller's thread: the daily history pages of the last
// ten days (today first) for every lottery (in LotteriesInDownloadOrder), all requested at once, and
// each lottery's rows stored exactly as one page after the other would store them:
// - a lottery any of whose ten pages failed (transport error, non-2xx, time-out) stores nothing;
// - a lottery whose table cannot be opened is passed over;
// - rows are compared with the period stored before the pass, and appended from the last item of
//   the collected text to the first (see RowsFromPages); a failing append ends that lottery's pass;
// - the page file 号码.txt in the program folder ends up holding the last lottery's page of today − 9
//   when all its pages arrived, and is gone otherwise.
// A database file that cannot be opened at all: finished(error text) and nothing else. finished is
// emitted exactly once per start(), always after start() has returned. Rows are appended a few at a
// time per turn of the event loop, so the caller's thread stays responsive.
class HistoryDownloader : public QObject {
    Q_OBJECT
public:
    static constexpr int DayCount = 10;

    // pageHost is host[:port] of the draw-history page server. The manager must outlive this object.
    HistoryDownloader(QNetworkAccessManager* manager, QString pageHost, QObject* parent = nullptr);
    ~HistoryDownloader() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }

    // Starts the download; appDir ends with a separator. Ignored while a download is running.
    void start(const QString& appDir, const QDate& today);
    // Aborts every request in flight; those pages count as failed downloads.
    void cancel();
    bool isRunning() const { return running_; }

    // The name of the page file in the program folder.
    static QString PageFileName();
    // The date text of a page address: YYYY-MM-DD, zero-padded.
    static QString PageDateText(const QDate& date);

signals:
    void finished(const QString& error);

private:
    struct LotteryPass {
        Lottery lottery;
        std::unique_ptr<DrawAppender> appender; // none: the table cannot be opened
        std::array<std::optional<QByteArray>, DayCount> pages;
        std::array<QPointer<QNetworkReply>, DayCount> replies;
        int pagesArrived = 0;
        bool failed = false;
        QList<DrawRow> rows;
        qsizetype rowsStored = 0;
    };

    void openPasses(const QString& appDir);
    void requestPages(int passIndex, const QDate& today);
    void onPage(int passIndex, int day, const std::optional<QByteArray>& page);
    static bool isDecided(const LotteryPass& pass);
    void advance();
    void schedulePump();
    void pump();
    bool storeNextRow(LotteryPass& pass);
    void leavePageFile();
    void finishLater(const QString& error);
    void finish(const QString& error);

    QNetworkAccessManager* manager_;
    QString pageHost_;
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    bool running_ = false;
    bool pumpScheduled_ = false;
    QString appDir_;
    std::vector<LotteryPass> passes_;
    int decided_ = 0; // passes whose rows are known, in order
    int stored_ = 0;  // passes whose rows are all appended, in order
};

} // namespace tarvo
