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
    try {
        appender_ = std::make_unique<DrawAppender>(DrawDatabasePath(appDir), lottery);
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
    if (document)
        appendRows(*document);
    finish({});
}

// The feed lists the newest draws; any of them that names a day is a true draw, so one the table
// lacks between its oldest and newest periods is stored too. The pass is one transaction.
void LatestDrawUpdater::appendRows(const QByteArray& document) {
    const std::optional<QByteArray> feedText = FeedTextOf(document);
    answered_ = feedText.has_value();
    if (!feedText)
        return;
    const QList<DrawRow> listed = ScanFeedText(*feedText, feed_, std::numeric_limits<qint64>::min());
    const auto namesADay = [](qint64 period) { return DayOfPeriod(period).has_value(); };
    try {
        appender_->beginPass();
        for (const DrawRow& row : appender_->rowsTheTableLacks(listed, namesADay))
            appender_->append(row);
        appender_->commitPass();
    } catch (const StoreError&) {
        // The table refused a row or the commit: nothing of the pass is stored, as after a failed
        // fetch, and the next pass stores these draws.
        appender_->rollbackPass();
    }
}

void LatestDrawUpdater::finishLater(const QString& error) {
    QTimer::singleShot(0, this, [this, error] { finish(error); });
}

void LatestDrawUpdater::finish(const QString& error) {
    appender_.reset();
    running_ = false;
    emit finished(error);
}

} // namespace tarvo
