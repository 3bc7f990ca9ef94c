#include "tarvo/fetch/HttpGet.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"

#include <QNetworkAccessManager>
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
        StartGet(
            manager_, url, 15s, &context, [&](std::optional<QByteArray> body) { result = std::move(body); },
            largestBody);
        EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000)) << "the request never finished";
        return result.value_or(std::nullopt);
    }

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
    EXPECT_FALSE(get(NoiseBodyBytes - 1));
    EXPECT_TRUE(get(NoiseBodyBytes)) << "exactly the limit is still an answer";
}

} // namespace
} // namespace tarvo
