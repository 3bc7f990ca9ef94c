#include "tarvo/fetch/HistoryDownloader.h"

#include "tarvo/fetch/PageItems.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/StoreError.h"

#include "tarvo/store/DrawAppender.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The database must open, and take writes: a file the engine may only read (a read-only file, as
// Windows' read-only attribute makes it) would otherwise take no draw at all, and no one would know.
void CheckDatabaseOpens(const QString& appDir) {
    Connection connection(DrawDatabasePath(appDir));
    connection.open();
    if (!connection.takesWrites())
        throw StoreError(u"数据库文件是只读的，开奖号码无法保存：%1"_s.arg(connection.databaseFile()));
}

} // namespace

HistoryDownloader::HistoryDownloader(QString pageHost, QObject* parent)
    : QObject(parent)
    , pageHost_(std::move(pageHost)) {
    for (qsizetype i = 0; i < LotteriesInDownloadOrder().size(); ++i)
        managers_.push_back(new QNetworkAccessManager(this));
}

HistoryDownloader::~HistoryDownloader() {
    for (LotteryPass& pass : passes_) {
        for (QPointer<QNetworkReply>& reply : pass.replies)
            DropGet(reply);
    }
}

QString HistoryDownloader::PageFileName() {
    return u"号码.txt"_s;
}

QString HistoryDownloader::PageDateText(const QDate& date) {
    return u"%1-%2-%3"_s.arg(date.year(), 4, 10, QChar(u'0'))
        .arg(date.month(), 2, 10, QChar(u'0'))
        .arg(date.day(), 2, 10, QChar(u'0'));
}

void HistoryDownloader::start(const QString& appDir, const QDate& today) {
    if (running_)
        return;
    running_ = true;
    appDir_ = appDir;
    today_ = today;
    passes_.clear();
    storingTurn_ = 0;
    try {
        CheckDatabaseOpens(appDir);
    } catch (const StoreError& error) {
        finishLater(error.message());
        return;
    }
    for (const Lottery& lottery : LotteriesInDownloadOrder()) {
        passes_.emplace_back().lottery = lottery;
        openPass(passes_.back());
    }
    for (std::size_t i = 0; i < passes_.size(); ++i)
        requestPages(int(i), today);
    QTimer::singleShot(0, this, &HistoryDownloader::storeInTurn);
}

void HistoryDownloader::cancel() {
    for (LotteryPass& pass : passes_) {
        for (const QPointer<QNetworkReply>& reply : pass.replies) {
            if (reply)
                reply->abort();
        }
    }
}

// ---- Transitions of one pass ----------------------------------------------------------------

// A pass whose table does not open asks for nothing. Opening reads no row, so it is quick however
// many draws the table holds.
void HistoryDownloader::openPass(LotteryPass& pass) {
    try {
        DrawAppender(DrawDatabasePath(appDir_), pass.lottery.name);
        pass.state = PassState::Downloading;
    } catch (const StoreError&) {
        pass.state = PassState::Skipped;
    }
}

void HistoryDownloader::requestPages(int passIndex, const QDate& today) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    if (pass.state != PassState::Downloading)
        return;
    for (int day = 0; day < DayCount; ++day) {
        const QUrl url(u"http://"_s + pageHost_ + pass.lottery.page.pathAndQueryKey + PageDateText(today.addDays(-day)),
                       QUrl::TolerantMode);
        pass.replies[std::size_t(day)] =
            StartGet(*managers_[std::size_t(passIndex)], url, timeout_, this,
                     [this, passIndex, day](std::optional<QByteArray> page) { onPage(passIndex, day, page); });
    }
}

void HistoryDownloader::onPage(int passIndex, int day, const std::optional<QByteArray>& page) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    pass.replies[std::size_t(day)] = nullptr;
    if (pass.state != PassState::Downloading)
        return;
    if (!page) {
        fail(pass);
    } else {
        pass.pages[std::size_t(day)] = page;
        if (++pass.pagesArrived == DayCount)
            collect(pass);
    }
    // Not from inside the reply's own signal: the end of the download may follow.
    QTimer::singleShot(0, this, &HistoryDownloader::storeInTurn);
}

// Downloading → Collected: the rows of the pages read one after the other (today's first); which of
// them the table lacks is decided when the pass's turn to store comes.
void HistoryDownloader::collect(LotteryPass& pass) {
    QList<QByteArray> pages;
    for (const std::optional<QByteArray>& page : pass.pages)
        pages.append(*page);
    pass.rows = RowsFromPages(pages, pass.lottery.page, std::numeric_limits<qint64>::min());
    pass.state = PassState::Collected;
}

// Downloading → Failed: the pages still on their way run to their end unheard.
void HistoryDownloader::fail(LotteryPass& pass) {
    for (QPointer<QNetworkReply>& reply : pass.replies) {
        ForgetGet(reply);
        reply = nullptr;
    }
    pass.state = PassState::Failed;
}

bool HistoryDownloader::IsDrawOfTheTenDays(qint64 period, const QDate& today) {
    const std::optional<QDate> day = DayOfPeriod(period);
    return day && *day > today.addDays(-DayCount) && *day <= today;
}

// Collected → Storing → Stored: the pass is stored on the database thread, and the next pass's
// turn comes when it is done.
void HistoryDownloader::beginStoring(int passIndex) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    pass.state = PassState::Storing;
    database_.run(
        [file = DrawDatabasePath(appDir_), lottery = pass.lottery.name, rows = pass.rows, today = today_] {
            // The table is read inside the pass's transaction, so no other writer can store a period
            // between the reading and the commit. A stored period that is not a whole number, a
            // refused row or a failing commit stores nothing; the next start stores these draws.
            try {
                StoreRowsTheTableLacks(file, lottery, rows,
                                       [today](qint64 period) { return IsDrawOfTheTenDays(period, today); });
            } catch (const StoreError&) {
            }
            return true;
        },
        [this, passIndex](bool) {
            passes_[std::size_t(passIndex)].state = PassState::Stored;
            storeInTurn();
        });
}

// ---- Turns to store -------------------------------------------------------------------------

// Lets the passes store one after the other: a pass still downloading or being stored holds up the
// ones after it; a skipped or failed pass has nothing to store.
void HistoryDownloader::storeInTurn() {
    if (!running_)
        return;
    while (storingTurn_ < passes_.size()) {
        const LotteryPass& pass = passes_[storingTurn_];
        if (pass.state == PassState::Downloading || pass.state == PassState::Storing)
            return;
        if (pass.state == PassState::Collected) {
            beginStoring(int(storingTurn_));
            return;
        }
        ++storingTurn_;
    }
    finishStoring();
}

// What 号码.txt holds once the pages have been read one after the other: every download replaced the
// file, and the file was deleted before each lottery's pass and before each of its downloads, so a
// download that failed, or a lottery whose table could not be opened, left none. Hence it holds the
// oldest day's page of the last lottery when all that lottery's pages arrived, and nothing otherwise.
std::optional<QByteArray> HistoryDownloader::PageLeftInPageFile(const LotteryPass& last) {
    const bool gotAllPages =
        last.state == PassState::Collected || last.state == PassState::Storing || last.state == PassState::Stored;
    return gotAllPages ? last.pages.back() : std::nullopt;
}

void HistoryDownloader::finishStoring() {
    const std::optional<QByteArray> page = PageLeftInPageFile(passes_.back());
    const QString path = appDir_ + PageFileName();
    QSaveFile file(path);
    if (!page || !file.open(QIODevice::WriteOnly) || file.write(*page) < 0 || !file.commit())
        QFile::remove(path);
    finish({});
}

void HistoryDownloader::finishLater(const QString& error) {
    QTimer::singleShot(0, this, [this, error] { finish(error); });
}

void HistoryDownloader::finish(const QString& error) {
    passes_.clear();
    running_ = false;
    emit finished(error);
}

} // namespace tarvo
