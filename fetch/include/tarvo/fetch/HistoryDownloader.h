#pragma once

#include "tarvo/fetch/FallbackReading.h"
#include "tarvo/fetch/HttpGet.h"
#include "tarvo/fetch/PassReport.h"
#include "tarvo/store/DatabaseThread.h"
#include "tarvo/store/DrawRow.h"
#include "tarvo/store/Lottery.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QNetworkAccessManager;

namespace tarvo {

// DownloadDrawHistory without blocking the caller's thread: the draws of the last ten days (today
// first) of every lottery (in LotteriesInDownloadOrder), each lottery from the first source that
// answers for it (see FallbackReading; every lottery's reading starts at once, each over connections
// of its own), and each lottery's rows stored exactly as one source's pages read one after the other
// would store them:
// - a lottery that no source answers for stores nothing;
// - a lottery whose table cannot be opened is passed over;
// - the rows are those the answer lists that the table lacks: newer than its newest period, or a draw
//   of the ten days missing between its oldest and newest periods (see NewRowFilter); each period
//   once; each recorded with its source, and a stored period listed with other numbers recorded as a
//   disagreement (see StoreRowsTheTableLacks);
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

    explicit HistoryDownloader(QList<SourceConfig> sources, QObject* parent = nullptr);
    ~HistoryDownloader() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    // Take effect at the next start().
    void setSources(QList<SourceConfig> sources) { sources_ = std::move(sources); }
    // The database the passes store into; empty (the default): 彩票数据.mdb in the program folder.
    void setDatabaseFile(const QString& file) { databaseFile_ = file; }
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Starts the download; appDir ends with a separator. Ignored while a download is running.
    void start(const QString& appDir, const QDate& today);
    // Stops every reading in flight; those lotteries count as unanswered.
    void cancel();
    bool isRunning() const { return running_; }
    // How each lottery's pass went in the last download, in download order (passed-over lotteries
    // are left out).
    const QList<PassReport>& reports() const { return reports_; }

    // The name of the page file in the program folder.
    static QString PageFileName();
    // The date text of a page address: YYYY-MM-DD, zero-padded.
    static QString PageDateText(const QDate& date);
    // Whether a period is a draw of one of the ten days up to `today`: only such a draw fills a
    // period the table lacks below its newest (see NewRowFilter).
    static bool IsDrawOfTheTenDays(qint64 period, const QDate& today);

signals:
    // Every lottery's reading has its answer (or none came): only storing is left.
    void everyReadingAnswered();
    void finished(const QString& error);

private:
    // Where one lottery's pass stands. A pass only moves forward:
    //   Skipped                 its table cannot be opened: nothing is asked for or stored;
    //   Reading → Collected     a source answered and the rows it lists are known;
    //   Reading → Failed        no source answered: nothing of this lottery is stored;
    //   Collected → Storing     its turn to store came: the database thread stores the rows the table
    //                           lacks in one transaction;
    //   Storing → Stored        its rows are committed, or the table refused one or the commit (or
    //                           the transaction could not begin), and none of them is stored.
    enum class PassState { Skipped, Reading, Failed, Collected, Storing, Stored };

    struct LotteryPass {
        Lottery lottery;
        PassState state = PassState::Skipped;
        QPointer<FallbackReading> reading;
        std::optional<SourceRead> read; // once Collected
        std::optional<QByteArray> lastPage;
        PassReport report;
    };

    void openPass(LotteryPass& pass);
    void startReading(int passIndex);
    void onOutcome(int passIndex, FallbackOutcome outcome);
    void beginStoring(int passIndex);

    void storeInTurn();
    void finishStoring();
    static std::optional<QByteArray> PageLeftInPageFile(const LotteryPass& last);

    void finishLater(const QString& error);
    void finish(const QString& error);

    QList<SourceConfig> sources_;
    std::vector<QNetworkAccessManager*> managers_; // one per lottery, in download order
    std::chrono::milliseconds timeout_ = DefaultRequestTimeout;
    QString databaseFile_;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
    bool running_ = false;
    QString appDir_;
    QString passDatabaseFile_;
    QDate today_;
    std::vector<LotteryPass> passes_; // in download order
    QList<PassReport> reports_;
    std::size_t storingTurn_ = 0; // the pass whose turn it is to store; all before it are done
    DatabaseThread database_;     // last: its end waits for a pass being stored
};

} // namespace tarvo
