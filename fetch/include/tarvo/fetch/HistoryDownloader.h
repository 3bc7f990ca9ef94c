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
// - lotteries store one after the other, in download order;
// - the page file 号码.txt in the program folder is left as one page after the other leaves it (see
//   PageLeftInPageFile in the source).
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
    // Where one lottery's pass stands. A pass only moves forward:
    //   Skipped                   its table cannot be opened: nothing is asked for or stored;
    //   Downloading → Collected   all ten pages arrived and its rows are known;
    //   Downloading → Failed      a page did not arrive: nothing of this lottery is stored;
    //   Collected   → Stored      its turn to store came and its rows are appended (or the table
    //                             refused one, which ends the pass).
    enum class PassState { Skipped, Downloading, Failed, Collected, Stored };

    struct LotteryPass {
        Lottery lottery;
        PassState state = PassState::Skipped;
        std::unique_ptr<DrawAppender> appender;                // while Downloading or Collected
        std::array<std::optional<QByteArray>, DayCount> pages; // today first
        std::array<QPointer<QNetworkReply>, DayCount> replies;
        int pagesArrived = 0;
        QList<DrawRow> rows; // once Collected: the rows to append, in order
        qsizetype rowsStored = 0;
    };

    // Transitions of one pass.
    void openPass(LotteryPass& pass);
    void requestPages(int passIndex, const QDate& today);
    void onPage(int passIndex, int day, const std::optional<QByteArray>& page);
    static void collect(LotteryPass& pass);
    static void fail(LotteryPass& pass);
    static bool storeNextRow(LotteryPass& pass);
    static void endStoring(LotteryPass& pass);

    // The passes' turns to store, in order, and what is left in the page file after the last.
    void scheduleStoring();
    void storeInTurn();
    void finishStoring();
    static std::optional<QByteArray> PageLeftInPageFile(const LotteryPass& last);

    void finishLater(const QString& error);
    void finish(const QString& error);

    QNetworkAccessManager* manager_;
    QString pageHost_;
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    bool running_ = false;
    bool storingScheduled_ = false;
    QString appDir_;
    std::vector<LotteryPass> passes_; // in download order
    std::size_t storingTurn_ = 0;     // the pass whose turn it is to store; all before it are done
};

} // namespace tarvo
