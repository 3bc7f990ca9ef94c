#include "FaultFixture.h"

#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"
#include "tarvo/store/Lottery.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTimer>
#include <array>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;

// Draws the user stored long ago; no fault of the source may touch them.
QList<DrawRow> KeptRows() {
    return {{u"2026110101"_s, {u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s}},
            {u"2026110102"_s, {u"06"_s, u"07"_s, u"08"_s, u"09"_s, u"10"_s}}};
}

struct SourceFault {
    const char* name;
    FailRule rule;
    // The fault leaves every page unreadable: start-up stores nothing at all.
    bool storesNothing;
};

void PrintTo(const SourceFault& fault, std::ostream* out) {
    *out << fault.name;
}

QString PagePathPrefix() {
    const QString pagePath = SourceLotteries().front().pagePath;
    return pagePath.left(pagePath.lastIndexOf(u'/') + 1);
}

// The draw source refuses, hangs, answers 404, cuts its answers short or sends noise, for the feed
// and the pages alike: start-up and refresh cycles stay silent, store nothing false and lose nothing
// stored, and the first refresh after the fault is gone brings the draws in.
class BrokenSource : public FaultFixture, public ::testing::WithParamInterface<SourceFault> {
protected:
    void SetUp() override {
        environment().requestTimeout = std::chrono::milliseconds(700);
        db_->insertRows(kShandong, {QStringList{u"2026110101"_s, u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s},
                                    QStringList{u"2026110102"_s, u"06"_s, u"07"_s, u"08"_s, u"09"_s, u"10"_s}});
        DrawSourceOptions options;
        options.failRules = {GetParam().rule};
        startSource(options);
    }
};

TEST_P(BrokenSource, StaysSilentKeepsTheStoredDrawsAndRecoversOnTheNextRefresh) {
    startUp();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    EXPECT_TRUE(control<QTimer>("Timer1")->isActive()) << "start-up did not end normally";
    expectOnlyPublishedRows(KeptRows());
    if (GetParam().storesNothing) {
        for (const QString& lottery : LotteryNames())
            EXPECT_EQ(LookAt(databaseFile(), lottery).rows.size(), lottery == kShandong ? 2 : 0)
                << lottery.toStdString();
    }
    EXPECT_EQ(LookAt(databaseFile(), kShandong).rows.mid(0, 2), KeptRows());
    expectWindowShowsStoredRows();

    for (int cycle = 0; cycle < 2; ++cycle) {
        tick();
        waitIdle();
    }
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    expectOnlyPublishedRows(KeptRows());
    expectWindowShowsStoredRows();

    mendSource();
    tick();
    waitIdle();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    const QList<DrawRow> stored = LookAt(databaseFile(), kShandong).rows;
    EXPECT_EQ(stored.mid(0, 2), KeptRows());
    // Pages cut short look whole, but the feed fills in what they lost of its own draws.
    const QList<DrawRow> feed = feedRows(kShandong);
    EXPECT_EQ(stored.mid(stored.size() - feed.size()), feed);
    expectOnlyPublishedRows(KeptRows());
    expectWindowShowsStoredRows();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenSource,
    ::testing::Values(SourceFault{"NothingListens", {FailMode::Refused, {}}, true},
                      SourceFault{"ConnectionClosedMidAnswer", {FailMode::Refused, u"/"_s}, true},
                      SourceFault{"NotFound", {FailMode::NotFound, {}}, true},
                      SourceFault{"Hangs", {FailMode::Hang, {}}, true},
                      SourceFault{"MalformedFeed", {FailMode::MalformedXml, u"newlyopenlist"_s}, false},
                      SourceFault{"TruncatedPagesAndFeed", {FailMode::MalformedXml, {}}, false},
                      SourceFault{"GarbagePages", {FailMode::GarbagePage, {}}, true},
                      SourceFault{"MegabytesOfNoise", {FailMode::NoiseMegabytes, {}}, true}),
    [](const ::testing::TestParamInfo<SourceFault>& info) { return std::string(info.param.name); });

// Truncated pages are accepted as the whole page they claim to be: a page cut short still stores
// only true draws, each once, in period order.
class TruncatedPages : public FaultFixture {};

TEST_F(TruncatedPages, StoreOnlyTrueDrawsInPeriodOrder) {
    DrawSourceOptions options;
    options.failRules = {{FailMode::MalformedXml, PagePathPrefix()}};
    startSource(options);
    startUp();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    expectOnlyPublishedRows();
    for (const QString& lottery : LotteryNames()) {
        const QList<DrawRow> rows = LookAt(databaseFile(), lottery).rows;
        EXPECT_FALSE(rows.isEmpty()) << lottery.toStdString();
        for (qsizetype i = 1; i < rows.size(); ++i)
            EXPECT_LT(rows[i - 1].period, rows[i].period) << lottery.toStdString();
    }
}

// The source's noise rule really sends megabytes, so the case above feeds the program that much.
TEST(NoiseRule, IsReadFromItsNameAndAnswersWithMegabytesOfNoise) {
    const std::optional<FailRule> rule = ParseFailRule(u"noise-megabytes:newlyopenlist"_s);
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->mode, FailMode::NoiseMegabytes);
    EXPECT_EQ(rule->substring, u"newlyopenlist"_s);

    DrawSourceOptions options;
    options.port = 0;
    options.now = kFaultNow;
    options.failRules = {*rule};
    DrawSource source(options);
    source.start();
    QNetworkAccessManager manager;
    std::unique_ptr<QNetworkReply> reply(
        manager.get(QNetworkRequest(QUrl(u"http://%1%2"_s.arg(source.host(), SourceLotteries().front().feedPath)))));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(reply->error(), QNetworkReply::NoError);
    const QByteArray body = reply->readAll();
    EXPECT_EQ(body.size(), NoiseBodyBytes);
    EXPECT_FALSE(body.contains("<?xml"));
}

// Many answering threads read the source's rules at once, while the caller still shares them: every
// answer follows the rule alike and none reads rules freed under it (a sanitizer build would say).
TEST(SourceRules, HoldForManyRequestsAnsweredAtOnce) {
    DrawSourceOptions options;
    options.port = 0;
    options.now = kFaultNow;
    options.failRules = {{FailMode::MalformedXml, u"newlyopenlist"_s}};
    DrawSource source(options);
    source.start();
    const QUrl feed(u"http://%1%2"_s.arg(source.host(), SourceLotteries().front().feedPath));

    // Qt opens at most six connections per host and manager: four managers ask 24 at once.
    std::array<QNetworkAccessManager, 4> managers;
    std::vector<std::unique_ptr<QNetworkReply>> replies;
    for (int i = 0; i < 24; ++i)
        replies.emplace_back(managers[size_t(i) % managers.size()].get(QNetworkRequest(feed)));
    QByteArray first;
    for (const std::unique_ptr<QNetworkReply>& reply : replies) {
        if (!reply->isFinished()) {
            QSignalSpy finished(reply.get(), &QNetworkReply::finished);
            ASSERT_TRUE(finished.wait(20000));
        }
        ASSERT_EQ(reply->error(), QNetworkReply::NoError);
        const QByteArray body = reply->readAll();
        if (first.isEmpty())
            first = body;
        EXPECT_EQ(body, first);
    }
    EXPECT_FALSE(first.trimmed().endsWith("</openlist>")) << "the rule did not cut the feed short";
}

} // namespace
} // namespace tarvo::test
