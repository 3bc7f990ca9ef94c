#include "tarvo/fetch/LatestDrawUpdater.h"

#include "tarvo/fetch/FeedScan.h"
#include "tarvo/fetch/FeedText.h"
#include "tarvo/store/DrawAppender.h"
#include "tarvo/store/StoreError.h"

#include <QNetworkReply>
#include <QTimer>
#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

LatestDrawUpdater::LatestDrawUpdater(QNetworkAccessManager* manager, QString feedHost, QObject* parent)
    : QObject(parent)
    , manager_(manager)
    , feedHost_(std::move(feedHost)) {}

LatestDrawUpdater::~LatestDrawUpdater() {
    DropGet(reply_);
}

void LatestDrawUpdater::start(const QString& appDir, const QString& lottery) {
    if (running_)
        return;
    running_ = true;
    answered_ = false;
    const Lottery* known = FindLottery(lottery);
    if (!known) {
        finishLater({});
        return;
    }
    feed_ = known->feed;
    databaseFile_ = DrawDatabasePath(appDir);
    lottery_ = lottery;
    try {
        DrawAppender opensTheTable(databaseFile_, lottery_); // reads no row: quick however long the table
    } catch (const StoreError& error) {
        finishLater(error.message());
        return;
    }
    const QUrl url(u"http://"_s + feedHost_ + feed_.path, QUrl::TolerantMode);
    reply_ = StartGet(*manager_, url, timeout_, this, [this](std::optional<QByteArray> body) { onFeed(body); });
}

void LatestDrawUpdater::cancel() {
    if (reply_)
        reply_->abort();
}

void LatestDrawUpdater::onFeed(const std::optional<QByteArray>& document) {
    reply_ = nullptr;
    const std::optional<QByteArray> feedText = document ? FeedTextOf(*document) : std::nullopt;
    answered_ = feedText.has_value();
    if (!feedText) {
        finish({});
        return;
    }
    storeListedRows(*feedText);
}

void LatestDrawUpdater::storeListedRows(const QByteArray& feedText) {
    database_.run(
        [file = databaseFile_, lottery = lottery_,
         listed = ScanFeedText(feedText, feed_, std::numeric_limits<qint64>::min())] {
            // The feed lists the newest draws; any of them that names a day is a true draw, so one the
            // table lacks between its oldest and newest periods is stored too. When the table refuses
            // a row or the commit, nothing of the pass is stored, as after a failed fetch, and the
            // next pass stores these draws.
            try {
                StoreRowsTheTableLacks(file, lottery, listed,
                                       [](qint64 period) { return DayOfPeriod(period).has_value(); });
            } catch (const StoreError&) {
            }
            return true;
        },
        [this](bool) { finish({}); });
}

void LatestDrawUpdater::finishLater(const QString& error) {
    QTimer::singleShot(0, this, [this, error] { finish(error); });
}

void LatestDrawUpdater::finish(const QString& error) {
    running_ = false;
    emit finished(error);
}

} // namespace tarvo
