#include "NetworkReading.h"

#include "tarvo/fetch/FeedScan.h"
#include "tarvo/fetch/FeedText.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/PageItems.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace tarvo {

namespace {

constexpr qint64 EveryPeriod = std::numeric_limits<qint64>::min();

// The program's own formats: the latest-draw feed document and the daily history pages.
class PagesReading : public NetworkReading {
public:
    PagesReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                 std::chrono::milliseconds timeout, ReadDone done, QObject* parent)
        : NetworkReading(manager, timeout, std::move(done), parent)
        , source_(source)
        , request_(request) {}

    void start() {
        if (request_.scope == ReadScope::Latest)
            startFeed();
        else
            startPages();
    }

private:
    void startFeed() {
        downloadAll(
            {JoinedAddress(source_.feed, request_.lottery.feed.path)},
            [this](const QList<QByteArray>& bodies) { finish(ReadFeed(bodies.front(), request_.lottery.feed)); },
            [](int, const QString& reason) { return reason; });
    }

    static SourceRead ReadFeed(const QByteArray& document, const FeedLayout& layout) {
        const std::optional<QByteArray> text = FeedTextOf(document);
        if (!text)
            return {{}, u"开奖数据不是有效的 XML 文档"_s, 0, std::nullopt};
        const int listed = int(text->count("<row"));
        SourceRead read{ScanFeedText(*text, layout, EveryPeriod), {}, 0, std::nullopt};
        read.skipped = std::max(0, listed - int(read.rows.size()));
        if (listed == 0)
            read.failure = u"开奖数据中没有一期开奖"_s;
        else if (read.rows.isEmpty())
            read.failure = u"开奖数据中没有可用的开奖号码"_s;
        return read;
    }

    void startPages() {
        QList<QUrl> urls;
        for (int day = 0; day < request_.dayCount; ++day) {
            const QString dateText = HistoryDownloader::PageDateText(request_.today.addDays(-day));
            urls.append(JoinedAddress(source_.pages, request_.lottery.page.pathAndQueryKey + dateText));
        }
        downloadAll(
            urls, [this](const QList<QByteArray>& pages) { finish(ReadPages(pages, request_.lottery.page)); },
            [this](int day, const QString& reason) {
                return u"%1 的开奖页面：%2"_s.arg(HistoryDownloader::PageDateText(request_.today.addDays(-day)),
                                                  reason);
            });
    }

    static SourceRead ReadPages(const QList<QByteArray>& pages, const PageLayout& layout) {
        SourceRead read{RowsFromPages(pages, layout, EveryPeriod), {}, 0, pages.back()};
        if (read.rows.isEmpty())
            read.failure = u"开奖页面中没有开奖号码"_s;
        return read;
    }

    SourceConfig source_;
    ReadRequest request_;
};

} // namespace

SourceReading* StartPagesReading(const SourceConfig& source, const ReadRequest& request, QNetworkAccessManager& manager,
                                 std::chrono::milliseconds timeout, ReadDone done, QObject* parent) {
    auto* reading = new PagesReading(source, request, manager, timeout, std::move(done), parent);
    reading->start();
    return reading;
}

} // namespace tarvo
