#include "tarvo/fetch/HistoryDownloader.h"

#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSaveFile>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The database must open, and take writes: a file the engine may only read (a read-only file, as
// Windows' read-only attribute makes it) would otherwise take no draw at all, and no one would know.
void CheckDatabaseOpens(const QString& databaseFile) {
    Connection connection(databaseFile);
    connection.open();
    if (!connection.takesWrites())
        throw StoreError(u"数据库文件是只读的，开奖号码无法保存：%1"_s.arg(connection.databaseFile()));
}

} // namespace

HistoryDownloader::HistoryDownloader(QList<SourceConfig> sources, QObject* parent)
    : QObject(parent)
    , sources_(std::move(sources)) {
    for (qsizetype i = 0; i < LotteriesInDownloadOrder().size(); ++i)
        managers_.push_back(new QNetworkAccessManager(this));
}

HistoryDownloader::~HistoryDownloader() {
    for (LotteryPass& pass : passes_)
        delete pass.reading;
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
    passDatabaseFile_ = databaseFile_.isEmpty() ? DrawDatabasePath(appDir) : databaseFile_;
    today_ = today;
    passes_.clear();
    reports_.clear();
    storingTurn_ = 0;
    try {
        CheckDatabaseOpens(passDatabaseFile_);
    } catch (const StoreError& error) {
        finishLater(error.message());
        return;
    }
    for (const Lottery& lottery : LotteriesInDownloadOrder()) {
        passes_.emplace_back().lottery = lottery;
        openPass(passes_.back());
    }
    for (std::size_t i = 0; i < passes_.size(); ++i)
        startReading(int(i));
    QTimer::singleShot(0, this, &HistoryDownloader::storeInTurn);
}

void HistoryDownloader::cancel() {
    for (std::size_t i = 0; i < passes_.size(); ++i) {
        LotteryPass& pass = passes_[i];
        if (pass.state != PassState::Reading)
            continue;
        if (pass.reading) {
            pass.reading->abort();
            pass.reading->deleteLater();
        }
        onOutcome(int(i), FallbackOutcome{std::nullopt, {}, {u"已取消"_s}, std::nullopt});
    }
}

// ---- Transitions of one pass ----------------------------------------------------------------

// A pass whose table does not open asks for nothing. Opening reads no row, so it is quick however
// many draws the table holds.
void HistoryDownloader::openPass(LotteryPass& pass) {
    pass.report.lottery = pass.lottery.name;
    try {
        DrawAppender(passDatabaseFile_, pass.lottery.name);
        pass.state = PassState::Reading;
    } catch (const StoreError&) {
        pass.state = PassState::Skipped;
    }
}

void HistoryDownloader::startReading(int passIndex) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    if (pass.state != PassState::Reading)
        return;
    const ReadRequest request{pass.lottery, ReadScope::RecentDays, today_, DayCount, appDir_};
    pass.reading = new FallbackReading(sources_, request, *managers_[std::size_t(passIndex)], timeout_, this);
    pass.reading->start([this, passIndex](FallbackOutcome outcome) { onOutcome(passIndex, std::move(outcome)); });
}

// Reading → Collected or Failed; which of the rows the table lacks is decided when the pass's turn
// to store comes.
void HistoryDownloader::onOutcome(int passIndex, FallbackOutcome outcome) {
    LotteryPass& pass = passes_[std::size_t(passIndex)];
    if (pass.reading)
        pass.reading->deleteLater();
    pass.reading = nullptr;
    if (pass.state != PassState::Reading)
        return;
    pass.lastPage = outcome.lastPage;
    pass.report.failures = outcome.failures;
    if (outcome.read) {
        pass.report.answered = true;
        pass.report.sourceName = outcome.sourceName;
        pass.read = std::move(outcome.read);
        pass.state = PassState::Collected;
    } else {
        pass.state = PassState::Failed;
    }
    const auto reading = [](const LotteryPass& other) { return other.state == PassState::Reading; };
    if (std::none_of(passes_.begin(), passes_.end(), reading))
        emit everyReadingAnswered();
    // Not from inside a reading's own end: the end of the download may follow.
    QTimer::singleShot(0, this, &HistoryDownloader::storeInTurn);
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
        [file = passDatabaseFile_, lottery = pass.lottery.name, rows = pass.read->rows, today = today_,
         origin = DrawOrigin{OriginKind::Source, pass.report.sourceName}, at = now_()] {
            // The table is read inside the pass's transaction, so no other writer can store a period
            // between the reading and the commit. A stored period that is not a whole number, a
            // refused row or a failing commit stores nothing; the next start stores these draws.
            try {
                return StoreRowsTheTableLacks(
                    file, lottery, rows, [today](qint64 period) { return IsDrawOfTheTenDays(period, today); }, origin,
                    at);
            } catch (const StoreError&) {
                return StoreOutcome{};
            }
        },
        [this, passIndex](StoreOutcome outcome) {
            LotteryPass& stored = passes_[std::size_t(passIndex)];
            stored.report.stored = outcome.stored;
            stored.report.newDisagreements = outcome.newDisagreements;
            stored.report.corrected = outcome.corrected;
            stored.state = PassState::Stored;
            storeInTurn();
        });
}

// ---- Turns to store -------------------------------------------------------------------------

// Lets the passes store one after the other: a pass still reading or being stored holds up the
// ones after it; a skipped or failed pass has nothing to store.
void HistoryDownloader::storeInTurn() {
    if (!running_)
        return;
    while (storingTurn_ < passes_.size()) {
        const LotteryPass& pass = passes_[storingTurn_];
        if (pass.state == PassState::Reading || pass.state == PassState::Storing)
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
// oldest day's page of the last lottery when all the pages of the last source read for it arrived,
// and nothing otherwise.
std::optional<QByteArray> HistoryDownloader::PageLeftInPageFile(const LotteryPass& last) {
    return last.state == PassState::Skipped ? std::nullopt : last.lastPage;
}

void HistoryDownloader::finishStoring() {
    const std::optional<QByteArray> page = PageLeftInPageFile(passes_.back());
    const QString path = appDir_ + PageFileName();
    QSaveFile file(path);
    if (!page || !file.open(QIODevice::WriteOnly) || file.write(*page) < 0 || !file.commit())
        QFile::remove(path);
    for (const LotteryPass& pass : passes_) {
        if (pass.state != PassState::Skipped)
            reports_.append(pass.report);
    }
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
