#include "FetchTestSupport.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/DrawOrigins.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSslConfiguration>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using tarvo::test::Row;
using tarvo::test::TestDatabase;
using tarvo::test::WaitForFinished;

namespace tarvo {
namespace {

const QDate Today(2026, 3, 1);

std::unique_ptr<DrawSource> StartedSource(QList<FailRule> failRules = {}, const QString& csvFile = {}) {
    DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime(Today, QTime(23, 30));
    options.failRules = std::move(failRules);
    options.csvFile = csvFile;
    auto source = std::make_unique<DrawSource>(options);
    source->start();
    return source;
}

SourceConfig PagesSource(const QString& name, const DrawSource& source, const QString& scheme = u"http"_s) {
    SourceConfig config;
    config.name = name;
    config.kind = SourceKind::Pages;
    config.feed = config.pages = scheme + u"://"_s + source.host();
    return config;
}

std::optional<DrawOrigin> OriginOf(const TestDatabase& folder, const QString& lottery, const QString& period) {
    Connection connection(folder.path(DrawDatabaseFileName()));
    connection.open();
    return DrawOrigins(connection.database()).originOf(lottery, period);
}

QString WriteCsv(const QTemporaryDir& dir, const QString& name, const QByteArray& lines) {
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(lines);
    return file.fileName();
}

TEST(Fallback, StartUpTakesEachLotteryFromTheFirstSourceThatAnswersForIt) {
    // The first source's 江西 pages are gone; the second has them.
    const std::unique_ptr<DrawSource> first = StartedSource({{FailMode::NotFound, u"/list/22?d=2026-02-27"_s}});
    const std::unique_ptr<DrawSource> second = StartedSource();
    TestDatabase folder;
    HistoryDownloader downloader({PagesSource(u"甲"_s, *first), PagesSource(u"乙"_s, *second)});
    downloader.start(folder.appDir(), Today);
    ASSERT_EQ(WaitForFinished(downloader, 60000), QString());

    for (const QString& lottery : LotteryNames()) {
        const QList<DrawRow> rows = folder.drawRows(lottery);
        EXPECT_EQ(rows.size(), 440) << lottery.toStdString();
        const QString expectedSource = lottery == u"江西11选5"_s ? u"乙"_s : u"甲"_s;
        EXPECT_EQ(OriginOf(folder, lottery, rows.back().period), (DrawOrigin{OriginKind::Source, expectedSource}))
            << lottery.toStdString();
    }
    const PassReport jiangxi = downloader.reports().last();
    EXPECT_EQ(jiangxi.lottery, u"江西11选5"_s);
    EXPECT_EQ(jiangxi.sourceName, u"乙"_s);
    EXPECT_EQ(jiangxi.failures, QStringList{u"甲：2026-02-27 的开奖页面：HTTP 404"_s});
    EXPECT_EQ(jiangxi.stored, 440);
    EXPECT_FALSE(second->requestLog().join(u' ').contains(u"/list/20?"_s)) << "山东 never asked of the second";
}

TEST(Fallback, ARefreshPassesOverRefusingTricklingAndGarbageSourcesWithinItsDeadline) {
    const std::unique_ptr<DrawSource> refusing = StartedSource({{FailMode::Refused, {}}});
    const std::unique_ptr<DrawSource> trickling = StartedSource({{FailMode::Trickle, {}}});
    const std::unique_ptr<DrawSource> garbage = StartedSource({{FailMode::GarbagePage, {}}});
    const std::unique_ptr<DrawSource> good = StartedSource();
    TestDatabase folder;
    QNetworkAccessManager manager;
    LatestDrawUpdater updater(&manager, {PagesSource(u"一"_s, *refusing), PagesSource(u"二"_s, *trickling),
                                         PagesSource(u"三"_s, *garbage), PagesSource(u"四"_s, *good)});
    updater.setTimeout(1s); // a source that trickles a byte every quarter second is never idle that long
    updater.start(folder.appDir(), u"广东11选5"_s);
    ASSERT_EQ(WaitForFinished(updater, 20000), QString());

    EXPECT_EQ(folder.drawRows(u"广东11选5"_s).size(), DrawSource::FeedDrawCount);
    const PassReport& report = updater.lastReport();
    EXPECT_TRUE(report.answered);
    EXPECT_EQ(report.sourceName, u"四"_s);
    EXPECT_EQ(report.failures, (QStringList{u"一：连接被拒绝"_s, u"二：超时"_s, u"三：开奖数据不是有效的 XML 文档"_s}));
}

TEST(Fallback, AStoredPeriodListedWithOtherNumbersKeepsItsDrawAndIsRecordedOnce) {
    QTemporaryDir dir;
    const std::unique_ptr<DrawSource> first =
        StartedSource({}, WriteCsv(dir, u"first.csv"_s, "2026030101,1,2,3,4,8\n"));
    const std::unique_ptr<DrawSource> second =
        StartedSource({}, WriteCsv(dir, u"second.csv"_s, "2026030101,5,6,7,8,9\n2026030102,1,2,3,4,9\n"));
    TestDatabase folder;
    QNetworkAccessManager manager;
    const auto pass = [&](const DrawSource& source, const QString& name) {
        LatestDrawUpdater updater(&manager, {PagesSource(name, source)});
        updater.start(folder.appDir(), u"山东11选5"_s);
        EXPECT_EQ(WaitForFinished(updater, 20000), QString());
        return updater.lastReport();
    };
    EXPECT_EQ(pass(*first, u"甲"_s).stored, 1);

    const PassReport report = pass(*second, u"乙"_s);
    EXPECT_EQ(report.stored, 1);
    EXPECT_EQ(report.newDisagreements, 1);
    EXPECT_EQ(folder.drawRows(u"山东11选5"_s),
              (QList<DrawRow>{Row(u"2026030101"_s, {1, 2, 3, 4, 8}), Row(u"2026030102"_s, {1, 2, 3, 4, 9})}));
    const QString database = folder.path(DrawDatabaseFileName());
    const QList<Disagreement> kept = ReadDisagreements(database);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept[0].period, u"2026030101"_s);
    EXPECT_EQ(kept[0].storedNumbers, (std::array<QString, 5>{u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"08"_s}));
    EXPECT_EQ(kept[0].storedOrigin, u"数据源 甲"_s);
    EXPECT_EQ(kept[0].listedNumbers, (std::array<QString, 5>{u"05"_s, u"06"_s, u"07"_s, u"08"_s, u"09"_s}));
    EXPECT_EQ(kept[0].listedOrigin, u"数据源 乙"_s);

    EXPECT_EQ(pass(*second, u"乙"_s).newDisagreements, 0) << "the same disagreement is kept once";
    EXPECT_EQ(UnseenDisagreements(database), 1);
    MarkDisagreementsSeen(database);
    EXPECT_EQ(UnseenDisagreements(database), 0);
    EXPECT_EQ(ReadDisagreements(database).size(), 1);
}

TEST(Fallback, ASourceCorrectsADrawThePlayerBroughtAndSaysSo) {
    QTemporaryDir dir;
    const std::unique_ptr<DrawSource> source =
        StartedSource({}, WriteCsv(dir, u"draws.csv"_s, "2026030101,5,6,7,8,9\n2026030102,1,2,3,4,9\n"));
    TestDatabase folder;
    folder.insert(u"山东11选5"_s, Row(u"2026030101"_s, {1, 2, 3, 4, 8}));
    {
        Connection connection(folder.path(DrawDatabaseFileName()));
        connection.open();
        DrawOrigins origins(connection.database());
        origins.ensureTables();
        origins.record(u"山东11选5"_s, u"2026030101"_s, {OriginKind::Hand, {}}, QDateTime(Today, QTime(9, 0)));
    }
    QNetworkAccessManager manager;
    LatestDrawUpdater updater(&manager, {PagesSource(u"官方"_s, *source)});
    updater.start(folder.appDir(), u"山东11选5"_s);
    ASSERT_EQ(WaitForFinished(updater), QString());
    EXPECT_EQ(updater.lastReport().corrected, QStringList{u"2026030101"_s});
    EXPECT_EQ(updater.lastReport().newDisagreements, 0);
    EXPECT_EQ(folder.drawRows(u"山东11选5"_s),
              (QList<DrawRow>{Row(u"2026030101"_s, {5, 6, 7, 8, 9}), Row(u"2026030102"_s, {1, 2, 3, 4, 9})}));
    EXPECT_EQ(OriginOf(folder, u"山东11选5"_s, u"2026030101"_s), (DrawOrigin{OriginKind::Source, u"官方"_s}));
}

// The local source's draws of the ten days as a CSV file with ten-digit periods, as a player keeps them.
QByteArray TenDaysAsCsv(const DrawSource& source, const QString& lottery) {
    QByteArray csv = "期号,号码1,号码2,号码3,号码4,号码5\r\n";
    for (int day = 9; day >= 0; --day) {
        const QList<SourceDraw> draws = source.drawsOfDay(lottery, Today.addDays(-day));
        for (auto draw = draws.crbegin(); draw != draws.crend(); ++draw) {
            csv += draw->period.toLatin1();
            for (int number : draw->numbers)
                csv += ',' + QByteArray::number(number).rightJustified(2, '0');
            csv += "\r\n";
        }
    }
    return csv;
}

TEST(SourceKinds, PagesJsonAndFileSourcesOfTheSameDrawsStoreTheSameRows) {
    const std::unique_ptr<DrawSource> source = StartedSource();
    QTemporaryDir dir;
    for (const Lottery& lottery : Lotteries())
        WriteCsv(dir, lottery.code + u".csv"_s, TenDaysAsCsv(*source, lottery.name));
    SourceConfig json;
    json.name = u"接口"_s;
    json.kind = SourceKind::Json;
    json.latest = u"http://%1/json/{code}.json"_s.arg(source->host());
    json.history = u"http://%1/json/{code}/{date}.json"_s.arg(source->host());
    SourceConfig file;
    file.name = u"文件"_s;
    file.kind = SourceKind::File;
    file.path = dir.path() + u"/{code}.csv"_s;

    QList<QList<DrawRow>> stored;
    for (const SourceConfig& config : {PagesSource(u"页面"_s, *source), json, file}) {
        TestDatabase folder;
        HistoryDownloader downloader({config});
        downloader.start(folder.appDir(), Today);
        ASSERT_EQ(WaitForFinished(downloader, 60000), QString());
        QNetworkAccessManager manager;
        LatestDrawUpdater updater(&manager, {config});
        updater.start(folder.appDir(), u"重庆11选5"_s);
        ASSERT_EQ(WaitForFinished(updater), QString());
        EXPECT_TRUE(updater.sourceAnswered()) << config.name.toStdString();
        for (const PassReport& report : downloader.reports())
            EXPECT_EQ(report.sourceName, config.name) << report.failures.join(u' ').toStdString();
        QList<DrawRow> rows;
        for (const QString& lottery : LotteryNames())
            rows += folder.drawRows(lottery);
        EXPECT_EQ(rows.size(), 4 * 440) << config.name.toStdString();
        stored.append(rows);
    }
    EXPECT_EQ(stored[1], stored[0]) << "json";
    EXPECT_EQ(stored[2], stored[0]) << "file";
}

// A source over https whose certificate is signed by a test authority that only this test trusts. It
// sends 广东's feed on to a plain http source.
class HttpsSource : public ::testing::Test {
protected:
    void SetUp() override {
        plain_ = StartedSource();
        DrawSourceOptions options;
        options.port = 0;
        options.now = QDateTime(Today, QTime(23, 30));
        options.failRules = {{FailMode::Redirect, u"/static/gd11x5/"_s, 0, u"http://"_s + plain_->host()}};
        options.tlsCertificate = TlsFile(u"server.pem"_s);
        options.tlsKey = TlsFile(u"server-key.pem"_s);
        source_ = std::make_unique<DrawSource>(options);
        try {
            source_->start();
        } catch (const std::exception& error) {
            GTEST_SKIP() << "no https source in this build: " << error.what();
        }
    }

    void TearDown() override { QSslConfiguration::setDefaultConfiguration(defaults_); }

    static QString TlsFile(const QString& name) { return QStringLiteral(TARVO_TEST_TLS_DIR "/") + name; }

    void trustTheTestAuthority() {
        QSslConfiguration trusting = defaults_;
        trusting.addCaCertificates(TlsFile(u"ca.pem"_s));
        QSslConfiguration::setDefaultConfiguration(trusting);
    }

    PassReport readLatest(const QString& lottery = u"重庆11选5"_s) {
        LatestDrawUpdater updater(&manager_, {PagesSource(u"加密源"_s, *source_, u"https"_s)});
        updater.start(folder_.appDir(), lottery);
        EXPECT_EQ(WaitForFinished(updater, 20000), QString());
        return updater.lastReport();
    }

    const QSslConfiguration defaults_ = QSslConfiguration::defaultConfiguration();
    std::unique_ptr<DrawSource> plain_;
    std::unique_ptr<DrawSource> source_;
    TestDatabase folder_;
    QNetworkAccessManager manager_;
};

TEST_F(HttpsSource, ACertificateThatFailsTheCheckIsAFailedReadNamedForThePlayer) {
    const PassReport report = readLatest();
    EXPECT_FALSE(report.answered);
    ASSERT_EQ(report.failures.size(), 1);
    EXPECT_TRUE(report.failures[0].startsWith(u"加密源：证书验证失败："_s)) << report.failures[0].toStdString();
    EXPECT_TRUE(folder_.drawRows(u"重庆11选5"_s).isEmpty());
}

TEST_F(HttpsSource, ACertificateThePlatformTrustsIsRead) {
    trustTheTestAuthority();
    const PassReport report = readLatest();
    EXPECT_TRUE(report.answered) << report.failures.join(u' ').toStdString();
    EXPECT_EQ(folder_.drawRows(u"重庆11选5"_s).size(), DrawSource::FeedDrawCount);
}

TEST_F(HttpsSource, ARedirectToPlainHttpIsNotFollowedAndIsNamedForThePlayer) {
    trustTheTestAuthority();
    const PassReport report = readLatest(u"广东11选5"_s);
    EXPECT_FALSE(report.answered);
    EXPECT_EQ(report.failures, QStringList{u"加密源：从 https 转向 http 的跳转，已拒绝"_s});
    EXPECT_EQ(plain_->requestLog(), QStringList()) << "the program asked the plain source";
    EXPECT_TRUE(folder_.drawRows(u"广东11选5"_s).isEmpty());
}

} // namespace
} // namespace tarvo
