#include "tarvo/fetch/HttpGet.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"

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

TEST(HttpGet, AnAnswerOtherThan2xxIsAFailedFetchWhateverItsBody) {
    // Status 300 without a place to go: the transport reports no error, only the status tells.
    DrawSourceOptions options;
    options.port = 0;
    options.failRules = {{FailMode::StatusNot2xx, u"/static/gd11x5/"_s}};
    DrawSource source(options);
    source.start();
    QNetworkAccessManager manager;
    QObject context;
    const auto get = [&](const QString& path) {
        std::optional<std::optional<QByteArray>> result;
        StartGet(manager, QUrl(u"http://%1%2"_s.arg(source.host(), path)), 15s, &context,
                 [&](GetResult got) { result = std::move(got.body); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000)) << "the request never finished";
        return result.value_or(std::nullopt);
    };
    EXPECT_FALSE(get(u"/static/gd11x5/newlyopenlist.xml"_s)) << "status 300 with the feed as its body";
    EXPECT_TRUE(get(u"/static/cq11x5/newlyopenlist.xml"_s));
}

} // namespace
} // namespace tarvo
