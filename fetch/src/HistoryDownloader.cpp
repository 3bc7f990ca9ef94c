#include "tarvo/fetch/HistoryDownloader.h"

#include "tarvo/fetch/PageItems.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/StoreError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QSaveFile>
#include <QTimer>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// How long one turn of the event loop may spend appending rows.
constexpr qint64 StoreSliceMs = 8;

// The database must open, and take writes: a file the engine may only read (a read-only file, as
// Windows' read-only attribute makes it) would otherwise take no draw at all, and no one would know.
void CheckDatabaseOpens(const QString& appDir) {
    Connection connection(DrawDatabasePath(appDir));
    connection.open();
    if (!connection.takesWrites())
        throw StoreError(u"数据库文件是只读的，开奖号码无法保存：%1"_s.arg(connection.databaseFile()));
}

} // namespace

HistoryDownloader::HistoryDownloader(QNetworkAccessManager* manager, QString pageHost, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , pageHost_(std::move(pageHost)) {}

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
    scheduleStoring();
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

void HistoryDownloader::openPass(LotteryPass& pass) {
    try {
        pass.appender = std::make_unique<DrawAppender>(DrawDatabasePath(appDir_), pass.lottery.name);
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
            StartGet(*manager_, url, timeout_, this,
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
    scheduleStoring();
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
    pass.appender.reset();
    pass.state = PassState::Failed;
}

bool HistoryDownloader::IsDrawOfTheTenDays(qint64 period, const QDate& today) {
    const std::optional<QDate> day = DayOfPeriod(period);
    return day && *day > today.addDays(-DayCount) && *day <= today;
}

// Collected → Storing, or Stored when there is nothing to store. The table is read inside the pass's
// transaction, so no other writer can store a period between the reading and the commit. A stored
// period that is not a whole number stores nothing.
void HistoryDownloader::beginStoring(LotteryPass& pass) const {
    const auto isDrawOfTheTenDays = [today = today_](qint64 period) { return IsDrawOfTheTenDays(period, today); };
    try {
        pass.appender->beginPass();
        pass.rows = pass.appender->rowsTheTableLacks(pass.rows, isDrawOfTheTenDays);
    } catch (const StoreError&) {
        pass.appender->rollbackPass();
        pass.rows.clear();
    }
    pass.rowsStored = 0;
    pass.state = PassState::Storing;
    if (pass.rows.isEmpty())
        endStoring(pass);
}

// Appends the next row of a Storing pass; false when none is left or the table refused it.
bool HistoryDownloader::storeNextRow(LotteryPass& pass) {
    if (pass.rowsStored >= pass.rows.size())
        return false;
    try {
        pass.appender->append(pass.rows[pass.rowsStored]);
    } catch (const StoreError&) {
        pass.appender->rollbackPass();
        return false;
    }
    ++pass.rowsStored;
    return true;
}

// Storing → Stored: commits what a refused row has not rolled back already; a failing commit rolls
// the whole pass back too.
void HistoryDownloader::endStoring(LotteryPass& pass) {
    try {
        pass.appender->commitPass();
    } catch (const StoreError&) {
        // Rolled back: the next start finds these draws missing and stores them.
    }
    pass.appender.reset();
    pass.state = PassState::Stored;
}

// ---- Turns to store -------------------------------------------------------------------------

void HistoryDownloader::scheduleStoring() {
    if (storingScheduled_ || !running_)
        return;
    storingScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        storingScheduled_ = false;
        storeInTurn();
    });
}

// Lets the passes store one after the other, for one slice of time: a pass still downloading holds
// up the ones after it; a skipped or failed pass has nothing to store.
void HistoryDownloader::storeInTurn() {
    QElapsedTimer slice;
    slice.start();
    while (storingTurn_ < passes_.size()) {
        LotteryPass& pass = passes_[storingTurn_];
        if (pass.state == PassState::Downloading)
            return;
        if (pass.state == PassState::Collected)
            beginStoring(pass);
        else if (pass.state == PassState::Storing && !storeNextRow(pass))
            endStoring(pass);
        if (pass.state != PassState::Storing)
            ++storingTurn_;
        if (slice.elapsed() >= StoreSliceMs) {
            scheduleStoring();
            return;
        }
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
