#include "NetworkReading.h"

#include "tarvo/fetch/JsonDraws.h"

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

// The JSON documents of public draw services: `latest` for the newest draws, `history` for a day's.
class JsonReading : public NetworkReading {
public:
    JsonReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                std::chrono::milliseconds timeout, ReadDone done, QObject* parent)
        : NetworkReading(manager, timeout, std::move(done), parent)
        , source_(source)
        , request_(request) {}

    void start() {
        if (request_.scope == ReadScope::RecentDays && !source_.history.isEmpty())
            startDays();
        else
            startLatest();
    }

private:
    void startLatest() {
        const QUrl url(FilledAddress(source_.latest, request_.lottery.code), QUrl::TolerantMode);
        downloadAll(
            {url}, [this](const QList<QByteArray>& bodies) { finish(ReadLatest(bodies.front())); },
            [](int, const QString& reason) { return reason; });
    }

    static SourceRead ReadLatest(const QByteArray& document) {
        JsonDrawsRead json = ReadJsonDraws(document);
        return {std::move(json.rows), json.failure, json.skipped, std::nullopt};
    }

    void startDays() {
        QList<QUrl> urls;
        for (int day = 0; day < request_.dayCount; ++day) {
            const QDate date = request_.today.addDays(-day);
            urls.append(QUrl(FilledAddress(source_.history, request_.lottery.code, date), QUrl::TolerantMode));
        }
        downloadAll(
            urls, [this](const QList<QByteArray>& days) { finish(ReadDays(days)); },
            [this](int day, const QString& reason) {
                return u"%1 的开奖：%2"_s.arg(request_.today.addDays(-day).toString(u"yyyy-MM-dd"_s), reason);
            });
    }

    // A day without a draw yet (today before the first) lists nothing and is no fault; a document that
    // is not one of draws is, and so is a whole run of days without any draw.
    SourceRead ReadDays(const QList<QByteArray>& days) const {
        SourceRead read;
        for (qsizetype day = 0; day < days.size(); ++day) {
            JsonDrawsRead json = ReadJsonDraws(days[day]);
            if (!json.answered() && !json.listsNoItem) {
                read.failure =
                    u"%1 的开奖：%2"_s.arg(request_.today.addDays(-int(day)).toString(u"yyyy-MM-dd"_s), json.failure);
                read.rows.clear();
                return read;
            }
            read.rows += json.rows;
            read.skipped += json.skipped;
        }
        if (read.rows.isEmpty())
            read.failure = u"这些天的开奖中没有可用的开奖号码"_s;
        return read;
    }

    SourceConfig source_;
    ReadRequest request_;
};

} // namespace

SourceReading* StartJsonReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                                std::chrono::milliseconds timeout, ReadDone done, QObject* parent) {
    auto* reading = new JsonReading(source, request, manager, timeout, std::move(done), parent);
    reading->start();
    return reading;
}

} // namespace tarvo
