#pragma once

#include "tarvo/fetch/HttpGet.h"
#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/DrawRow.h"
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
// ten days (today first) for every lottery (in LotteriesInDownloadOrder), all requested at once (each
// lottery's over connections of its own, so that ten pages take two rounds of Qt's six connections
// per host rather than seven for all forty), and
// each lottery's rows stored exactly as one page after the other would store them:
// - a lottery any of whose ten pages failed (transport error, non-2xx, time-out) stores nothing;
// - a lottery whose table cannot be opened is passed over;
// - the rows are those of the collected text from its last item to the first (see RowsFromPages)
//   that the table lacks: newer than its newest period, or a draw of the ten days missing between
//   its oldest and newest periods (see NewRowFilter); each period once;
// - a lottery's rows are stored in one transaction: a failing append (or commit) stores none of
//   them, and the next start stores them;
// - lotteries store one after the other, in download order;
// - the page file 号码.txt in the program folder is left as one page after the other leaves it (see
//   PageLeftInPageFile in the source).
// A database file that cannot be opened at all: finished(error text) and nothing else. finished is
// emitted exactly once per start(), always after start() has returned. The rows are stored on a
// database thread of the downloader's own, so the caller's thread never waits for the disk.
class HistoryDownloader : public QObject {
    Q_OBJECT
public:
    static constexpr int DayCount = 10;

    // pageHost is host[:port] of the draw-history page server.
    explicit HistoryDownloader(QString pageHost, QObject* parent = nullptr);
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
    // Whether a period is a draw of one of the ten days up to `today`: only such a draw fills a
    // period the table lacks below its newest (see NewRowFilter).
    static bool IsDrawOfTheTenDays(qint64 period, const QDate& today);

signals:
    void finished(const QString& error);

private:
    // Where one lottery's pass stands. A pass only moves forward:
    //   Skipped                   its table cannot be opened: nothing is asked for or stored;
    //   Downloading → Collected   all ten pages arrived and the rows they list are known;
    //   Downloading → Failed      a page did not arrive: nothing of this lottery is stored;
    //   Collected   → Storing     its turn to store came: the database thread stores the rows the
    //                             table lacks in one transaction;
    //   Storing     → Stored      its rows are committed, or the table refused one or the commit
    //                             (or the transaction could not begin), and none of them is stored.
    enum class PassState { Skipped, Downloading, Failed, Collected, Storing, Stored };

    struct LotteryPass {
        Lottery lottery;
        PassState state = PassState::Skipped;
        std::array<std::optional<QByteArray>, DayCount> pages; // today first
        std::array<QPointer<QNetworkReply>, DayCount> replies;
        int pagesArrived = 0;
        QList<DrawRow> rows; // once Collected: the rows the pages list
    };

    // Transitions of one pass.
    void openPass(LotteryPass& pass);
    void requestPages(int passIndex, const QDate& today);
    void onPage(int passIndex, int day, const std::optional<QByteArray>& page);
    static void collect(LotteryPass& pass);
    static void fail(LotteryPass& pass);
    void beginStoring(int passIndex);

    // The passes' turns to store, in order, and what is left in the page file after the last.
    void storeInTurn();
    void finishStoring();
    static std::optional<QByteArray> PageLeftInPageFile(const LotteryPass& last);

    void finishLater(const QString& error);
    void finish(const QString& error);

    QString pageHost_;
    std::vector<QNetworkAccessManager*> managers_; // one per lottery, in download order
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    bool running_ = false;
    QString appDir_;
    QDate today_;
    std::vector<LotteryPass> passes_; // in download order
    std::size_t storingTurn_ = 0;     // the pass whose turn it is to store; all before it are done
    DatabaseThread database_;         // last: its end waits for a pass being stored
};

} // namespace tarvo
