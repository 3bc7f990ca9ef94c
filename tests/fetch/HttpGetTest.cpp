#include "FetchTestSupport.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"
#include "tarvo/fetch/HttpGet.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace tarvo {
namespace {

// Answers of a source that sends megabytes of noise for every request.
class NoisySource : public ::testing::Test {
protected:
    NoisySource()
        : source_(NoiseOptions()) {
        source_.start();
    }

    static DrawSourceOptions NoiseOptions() {
        DrawSourceOptions options;
        options.port = 0;
        options.failRules = {{FailMode::NoiseMegabytes, {}}};
        return options;
    }

    // The body StartGet hands back for the first feed, reading at most `largestBody` bytes.
    std::optional<QByteArray> get(qint64 largestBody) {
        std::optional<std::optional<QByteArray>> result;
        QObject context;
        const QUrl url(u"http://%1%2"_s.arg(source_.host(), SourceLotteries().front().feedPath));
        QNetworkReply* reply = StartGet(
            manager_, url, 15s, &context, [&](GetResult got) { result = std::move(got.body); }, largestBody);
        QObject::connect(reply, &QNetworkReply::finished, &context, [this, reply] { lastError_ = reply->error(); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000)) << "the request never finished";
        return result.value_or(std::nullopt);
    }

    QNetworkReply::NetworkError lastError_ = QNetworkReply::NoError;

    DrawSource source_;
    QNetworkAccessManager manager_;
};

TEST_F(NoisySource, AnswerWithinTheLimitIsReadWhole) {
    const std::optional<QByteArray> body = get(LargestAnswerBytes);
    ASSERT_TRUE(body);
    EXPECT_EQ(body->size(), NoiseBodyBytes);
}

TEST_F(NoisySource, AnswerLongerThanTheLimitIsAFailedFetch) {
    EXPECT_FALSE(get(NoiseBodyBytes / 4));
    EXPECT_EQ(lastError_, QNetworkReply::OperationCanceledError) << "given up, not read to its end";
    EXPECT_FALSE(get(NoiseBodyBytes - 1));
    EXPECT_TRUE(get(NoiseBodyBytes)) << "exactly the limit is still an answer";
}

// What StartGet hands back for `path` on the source.
GetResult Get(QNetworkAccessManager& manager, const DrawSource& source, const QString& path) {
    std::optional<GetResult> result;
    QObject context;
    StartGet(manager, QUrl(u"http://%1%2"_s.arg(source.host(), path)), 15s, &context,
             [&](GetResult got) { result = std::move(got); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000)) << "the request never finished";
    return result.value_or(GetResult{std::nullopt, u"never finished"_s});
}

TEST(HttpGet, AnAnswerOtherThan2xxIsAFailedFetchWhateverItsBody) {
    // Status 300 without a place to go: the transport reports no error, only the status tells.
    DrawSourceOptions options;
    options.port = 0;
    options.failRules = {{FailMode::StatusNot2xx, u"/static/gd11x5/"_s}};
    DrawSource source(options);
    source.start();
    QNetworkAccessManager manager;
    const GetResult status300 = Get(manager, source, u"/static/gd11x5/newlyopenlist.xml"_s);
    EXPECT_FALSE(status300.body) << "status 300 with the feed as its body";
    EXPECT_EQ(status300.failure, u"HTTP 300"_s);
    EXPECT_TRUE(Get(manager, source, u"/static/cq11x5/newlyopenlist.xml"_s).body);
}

TEST(HttpGet, FollowsThreeRedirectsAndGivesUpAtTheFourth) {
    // 重庆's feed is sent on once, 广东's twice, 山东's three times; 江西's for ever.
    DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
    options.failRules = {{FailMode::Redirect, u"/static/cq11x5/"_s, 1},
                         {FailMode::Redirect, u"/static/gd11x5/"_s, 2},
                         {FailMode::Redirect, u"/static/11yun/"_s, 3},
                         {FailMode::Redirect, u"/static/jx11x5/"_s, 0}};
    DrawSource source(options);
    source.start();
    QNetworkAccessManager manager;
    for (const SourceLottery& lottery : SourceLotteries().mid(0, 3)) {
        const GetResult got = Get(manager, source, lottery.feedPath);
        ASSERT_TRUE(got.body) << lottery.feedPath.toStdString() << ": " << got.failure.toStdString();
        EXPECT_EQ(*got.body, FeedDocument(lottery, source.latestDraws(lottery.name)));
    }
    EXPECT_TRUE(source.requestLog().contains(u"/static/11yun/newlyopenlist.xml?hop=3"_s));

    const GetResult loop = Get(manager, source, u"/static/jx11x5/newlyopenlist.xml"_s);
    EXPECT_FALSE(loop.body);
    EXPECT_EQ(loop.failure, u"跳转次数过多"_s);
    const QStringList asked = source.requestLog().filter(u"/static/jx11x5/"_s);
    EXPECT_EQ(asked.size(), 4) << "the first request and three redirects: " << asked.join(u' ').toStdString();
}

} // namespace
} // namespace tarvo
