#include "tarvo/fetch/HistoryDownloader.h"

#include "tarvo/fetch/PageItems.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/Lottery.h"
#include "tarvo/store/StoreError.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkReply>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// How long one turn of the event loop may spend appending rows.
constexpr qint64 StoreSliceMs = 8;

// The engine's result code for a database it may only read (the low byte of its extended codes).
constexpr int ReadOnlyDatabaseCode = 8;

bool IsReadOnlyDatabaseError(const QSqlError& error) {
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber && (code & 0xff) == ReadOnlyDatabaseCode;
}

// Writes the file's header value back unchanged inside a transaction that is rolled back: nothing
// changes, but a file the engine may only read refuses it. False only for such a file.
bool TakesWrites(QSqlDatabase db) {
    QSqlQuery query(db);
    if (!query.exec(u"begin immediate"_s))
        return !IsReadOnlyDatabaseError(query.lastError());
    bool writable = true;
    if (query.exec(u"pragma user_version"_s) && query.next()) {
        const int version = query.value(0).toInt();
        writable =
            query.exec(u"pragma user_version = %1"_s.arg(version)) || !IsReadOnlyDatabaseError(query.lastError());
    }
    query.exec(u"rollback"_s);
    return writable;
}

// The database must open, and take writes: a file the engine may only read (a read-only file, as
// Windows' read-only attribute makes it) would otherwise take no draw at all, and no one would know.
void CheckDatabaseOpens(const QString& appDir) {
    Connection connection;
    connection.setLoginPrompt(false);
    connection.setConnectionString(ConnectionString(appDir));
    connection.open();
    if (!TakesWrites(connection.database()))
        throw StoreError(u"数据库文件是只读的，开奖号码无法保存：%1"_s.arg(DataSourceOf(ConnectionString(appDir))));
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

void HistoryDownloader::start(const QString& appDir, const QDate& today) {
    if (running_)
        return;
    running_ = true;
    appDir_ = appDir;
    passes_.clear();
    decided_ = 0;
    stored_ = 0;
    try {
        CheckDatabaseOpens(appDir);
    } catch (const StoreError& error) {
        finishLater(error.message());
        return;
    }
    openPasses(appDir);
    for (int i = 0; i < int(passes_.size()); ++i)
        requestPages(i, today);
    advance();
}

void HistoryDownloader::openPasses(const QString& appDir) {
    passes_ = std::vector<LotteryPass>(std::size_t(HistoryPageEntries().size()));
    for (qsizetype i = 0; i < HistoryPageEntries().size(); ++i) {
        LotteryPass& pass = passes_[std::size_t(i)];
        pass.entry = HistoryPageEntries()[i];
        try {
            pass.appender = std::make_unique<DrawAppender>(appDir, pass.entry.lottery);
        } catch (const StoreError&) {
            pass.appender.reset();
        }
    }
}

void HistoryDownloader::requestPages(int passIndex, const QDate& today) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    if (!pass.appender)
        return;
    for (int day = 0; day < DayCount; ++day) {
        const QDate date = today.addDays(-day);
        const QString dateText = PageDateText(date.year(), date.month(), date.day());
        const QUrl url(u"http://"_s + pageHost_ + pass.entry.pathAndQueryKey + dateText, QUrl::TolerantMode);
        pass.replies[std::size_t(day)] =
            StartGet(*manager_, url, timeout_, this,
                     [this, passIndex, day](std::optional<QByteArray> page) { onPage(passIndex, day, page); });
    }
}

void HistoryDownloader::cancel() {
    for (LotteryPass& pass : passes_) {
        for (const QPointer<QNetworkReply>& reply : pass.replies) {
            if (reply)
                reply->abort();
        }
    }
}

void HistoryDownloader::onPage(int passIndex, int day, const std::optional<QByteArray>& page) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    pass.replies[std::size_t(day)] = nullptr;
    if (page) {
        pass.pages[std::size_t(day)] = page;
        ++pass.pagesArrived;
    } else if (!pass.failed) {
        pass.failed = true;
        for (QPointer<QNetworkReply>& reply : pass.replies) {
            ForgetGet(reply);
            reply = nullptr;
        }
    }
    advance();
}

bool HistoryDownloader::isDecided(const LotteryPass& pass) {
    return !pass.appender || pass.failed || pass.pagesArrived == DayCount;
}

void HistoryDownloader::advance() {
    while (decided_ < int(passes_.size()) && isDecided(passes_[std::size_t(decided_)])) {
        LotteryPass& pass = passes_[std::size_t(decided_)];
        const std::optional<qint64> lastStored =
            pass.appender ? ParsePeriod(pass.appender->lastStoredPeriod()) : std::nullopt;
        if (!pass.failed && lastStored) {
            QList<QByteArray> pages;
            for (const std::optional<QByteArray>& page : pass.pages)
                pages.append(*page);
            pass.rows = RowsFromPages(pages, pass.entry, *lastStored);
        }
        ++decided_;
    }
    schedulePump();
}

void HistoryDownloader::schedulePump() {
    if (pumpScheduled_ || !running_)
        return;
    pumpScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        pumpScheduled_ = false;
        pump();
    });
}

void HistoryDownloader::pump() {
    QElapsedTimer slice;
    slice.start();
    while (stored_ < decided_) {
        LotteryPass& pass = passes_[std::size_t(stored_)];
        if (!storeNextRow(pass)) {
            pass.appender.reset();
            ++stored_;
        }
        if (slice.elapsed() >= StoreSliceMs) {
            schedulePump();
            return;
        }
    }
    if (stored_ == int(passes_.size())) {
        leavePageFile();
        finish({});
    }
}

bool HistoryDownloader::storeNextRow(LotteryPass& pass) {
    if (!pass.appender || pass.rowsStored >= pass.rows.size())
        return false;
    try {
        pass.appender->append(pass.rows[pass.rowsStored]);
    } catch (const StoreError&) {
        return false;
    }
    ++pass.rowsStored;
    return true;
}

void HistoryDownloader::leavePageFile() {
    const QString path = appDir_ + PageFileName();
    const LotteryPass& last = passes_.back();
    if (last.failed || last.pagesArrived < DayCount) {
        QFile::remove(path);
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*last.pages.back()) < 0 || !file.commit())
        QFile::remove(path);
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
