#include "tarvo/fetch/LatestDrawUpdater.h"

#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include <QTimer>

using namespace Qt::StringLiterals;

namespace tarvo {

LatestDrawUpdater::LatestDrawUpdater(QNetworkAccessManager* manager, QList<SourceConfig> sources, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , sources_(std::move(sources)) {}

LatestDrawUpdater::~LatestDrawUpdater() {
    delete reading_;
}

void LatestDrawUpdater::start(const QString& appDir, const QString& lottery) {
    if (running_)
        return;
    running_ = true;
    report_ = PassReport();
    report_.lottery = lottery;
    const Lottery* known = FindLottery(lottery);
    if (!known) {
        finishLater({});
        return;
    }
    passDatabaseFile_ = databaseFile_.isEmpty() ? DrawDatabasePath(appDir) : databaseFile_;
    lottery_ = lottery;
    try {
        DrawAppender opensTheTable(passDatabaseFile_, lottery_); // reads no row: quick however long the table
    } catch (const StoreError& error) {
        finishLater(error.message());
        return;
    }
    ReadRequest request{*known, ReadScope::Latest, now_().date(), 1, appDir};
    reading_ = new FallbackReading(sources_, request, *manager_, timeout_, this);
    reading_->start([this](FallbackOutcome outcome) { onOutcome(std::move(outcome)); });
}

void LatestDrawUpdater::cancel() {
    if (!reading_)
        return;
    reading_->abort();
    reading_->deleteLater();
    reading_ = nullptr;
    report_.failures.append(u"已取消"_s);
    finishLater({});
}

void LatestDrawUpdater::onOutcome(FallbackOutcome outcome) {
    reading_->deleteLater();
    reading_ = nullptr;
    report_.failures = outcome.failures;
    if (!outcome.read) {
        finish({});
        return;
    }
    report_.answered = true;
    report_.sourceName = outcome.sourceName;
    storeListedRows(*outcome.read, outcome.sourceName);
}

void LatestDrawUpdater::storeListedRows(const SourceRead& read, const QString& sourceName) {
    database_.run(
        [file = passDatabaseFile_, lottery = lottery_, listed = read.rows,
         origin = DrawOrigin{OriginKind::Source, sourceName}, at = now_()] {
            // The newest draws listed: any of them that names a day is a true draw, so one the table
            // lacks between its oldest and newest periods is stored too. When the table refuses a row
            // or the commit, nothing of the pass is stored, as after a failed fetch, and the next
            // pass stores these draws.
            try {
                return StoreRowsTheTableLacks(
                    file, lottery, listed, [](qint64 period) { return DayOfPeriod(period).has_value(); }, origin, at);
            } catch (const StoreError&) {
                return StoreOutcome{};
            }
        },
        [this](StoreOutcome outcome) {
            report_.stored = outcome.stored;
            report_.newDisagreements = outcome.newDisagreements;
            report_.corrected = outcome.corrected;
            finish({});
        });
}

void LatestDrawUpdater::finishLater(const QString& error) {
    QTimer::singleShot(0, this, [this, error] { finish(error); });
}

void LatestDrawUpdater::finish(const QString& error) {
    if (!running_)
        return;
    running_ = false;
    emit finished(error);
}

} // namespace tarvo
