#include "FetchTestSupport.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceLottery.h"
#include "tarvo/fetch/HttpGet.h"
#include "tarvo/fetch/JsonDraws.h"

#include <QNetworkAccessManager>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using tarvo::test::Row;

namespace tarvo {
namespace {

TEST(JsonDraws, ValidItemsGiveTheirDrawsInDocumentOrderAndTheOthersAreCounted) {
    const QByteArray items = R"([
        {"expect": "2026120905", "opencode": "11,10,09,08,07", "opentime": "2026-12-09 10:00:40"},
        {"expect": "261209-04", "opencode": "1 2 3 4 5"},
        {"expect": 2026120903, "opencode": "01+02+03+04+05"},
        {"expect": 26120902, "opencode": ["01", "2", 3, 4.0, "11"]},
        {"expect": "20261209-01", "opencode": "01|02|03|04|05"},
        {"expect": "2026120905", "opencode": "11,10,09,08,07"},
        {"opencode": "01,02,03,04,05"},
        {"expect": "2026120900", "opencode": "01,02,03,04,05"},
        {"expect": "2026023001", "opencode": "01,02,03,04,05"},
        {"expect": "20261209O1", "opencode": "01,02,03,04,05"},
        {"expect": 2026120901.5, "opencode": "01,02,03,04,05"},
        {"expect": 202612091, "opencode": "01,02,03,04,05"},
        {"expect": "2026120906", "opencode": "01,02,03,04"},
        {"expect": "2026120906", "opencode": "01,02,03,04,05,06"},
        {"expect": "2026120906", "opencode": "01,02,03,04,12"},
        {"expect": "2026120906", "opencode": "01,02,03,04,01"},
        {"expect": "2026120906", "opencode": "001,02,03,04,05"},
        {"expect": "2026120906", "opencode": "01;02;03;04;05"},
        {"expect": "2026120906", "opencode": ["01", "02", "03", "04"]},
        {"expect": "2026120906", "opencode": [1, 2, 3, 4, 5.5]},
        "2026120906 01 02 03 04 05"
    ])";
    const QList<DrawRow> expected{
        Row(u"2026120905"_s, {11, 10, 9, 8, 7}), Row(u"2026120904"_s, {1, 2, 3, 4, 5}),
        Row(u"2026120903"_s, {1, 2, 3, 4, 5}),   Row(u"2026120902"_s, {1, 2, 3, 4, 11}),
        Row(u"2026120901"_s, {1, 2, 3, 4, 5}),
    };
    for (const QByteArray& document : {items, "{\"data\": " + items + ", \"total\": 21}", "\xEF\xBB\xBF" + items}) {
        const JsonDrawsRead read = ReadJsonDraws(document);
        EXPECT_TRUE(read.answered()) << read.failure.toStdString();
        EXPECT_EQ(read.rows, expected);
        EXPECT_EQ(read.skipped, 15);
    }
}

TEST(JsonDraws, APeriodListedWithOtherNumbersIsSkippedInEveryItem) {
    const JsonDrawsRead read = ReadJsonDraws(R"({"data": [
        {"expect": "2026120903", "opencode": "01,02,03,04,05"},
        {"expect": "2026120902", "opencode": "01,02,03,04,05"},
        {"expect": "2026120903", "opencode": "01,02,03,04,05"},
        {"expect": "2026120903", "opencode": "05,04,03,02,01"},
        {"expect": "2026120901", "opencode": "01,02,03,04,05"}]})");
    EXPECT_EQ(read.rows,
              (QList<DrawRow>{Row(u"2026120902"_s, {1, 2, 3, 4, 5}), Row(u"2026120901"_s, {1, 2, 3, 4, 5})}));
    EXPECT_EQ(read.skipped, 3);
}

TEST(JsonDraws, DocumentsThatGiveNoDrawAreFailedReads) {
    QByteArray tooBig(LargestAnswerBytes + 1, ' ');
    tooBig.replace(0, 2, "[]");
    const QList<std::pair<QByteArray, QString>> cases{
        {"", u"不是 JSON 文档"_s},
        {"<openlist/>", u"不是 JSON 文档"_s},
        {R"({"data": [{"expect": "2026120901", "opencode": "01,02,03,04,05"})", u"不是 JSON 文档"_s},
        {"{}", u"没有开奖数据"_s},
        {R"({"data": {"expect": "2026120901", "opencode": "01,02,03,04,05"}})", u"没有开奖数据"_s},
        {R"({"data": []})", u"没有开奖数据"_s},
        {"[]", u"没有开奖数据"_s},
        {R"({"data": [{"expect": "x"}, {}, 5]})", u"没有有效的开奖数据"_s},
        {QByteArray(1025, '[') + QByteArray(1025, ']'), u"JSON 嵌套过深"_s},
        {tooBig, u"文档过大"_s},
    };
    for (const auto& [document, failure] : cases) {
        const JsonDrawsRead read = ReadJsonDraws(document);
        EXPECT_EQ(read.failure, failure) << document.left(80).toStdString();
        EXPECT_TRUE(read.rows.isEmpty());
    }
}

TEST(JsonDraws, ExpectTextsNameTheStoredPeriodOnlyForARealDayAndDraw) {
    const QList<std::pair<QString, std::optional<QString>>> cases{
        {u"2026120901"_s, u"2026120901"_s},
        {u"26120901"_s, u"2026120901"_s},
        {u"20261209-01"_s, u"2026120901"_s},
        {u"261209-01"_s, u"2026120901"_s},
        {u" 2026120901 "_s, u"2026120901"_s},
        {u"0026120901"_s, std::nullopt},
        {u"2026120900"_s, std::nullopt},
        {u"26022901"_s, std::nullopt},
        {u"24022901"_s, u"2024022901"_s},
        {u"1999120101"_s, std::nullopt},
        {u"2100010101"_s, std::nullopt},
        {u"2026120901x"_s, std::nullopt},
        {u"202612090"_s, std::nullopt},
        {u"261209-1"_s, std::nullopt},
        {u"2612-0901"_s, std::nullopt},
        {u"２０２６１２０９０１"_s, std::nullopt},
        {u""_s, std::nullopt},
    };
    for (const auto& [expect, period] : cases)
        EXPECT_EQ(StoredPeriodOfExpect(expect), period) << expect.toStdString();
}

// The body of a GET from the source, or none for a failed fetch.
std::optional<QByteArray> Fetch(const DrawSource& source, const QString& path) {
    QNetworkAccessManager manager;
    QObject context;
    std::optional<std::optional<QByteArray>> result;
    StartGet(manager, QUrl(u"http://%1%2"_s.arg(source.host(), path)), 15s, &context,
             [&](GetResult got) { result = std::move(got.body); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 20000)) << "the request never finished";
    return result.value_or(std::nullopt);
}

QList<DrawRow> RowsOf(const QList<SourceDraw>& draws) {
    QList<DrawRow> rows;
    for (const SourceDraw& draw : draws) {
        const auto& n = draw.numbers;
        rows.append(Row(draw.period, {n[0], n[1], n[2], n[3], n[4]}));
    }
    return rows;
}

TEST(DrawSourceJson, ServedDrawListsReadBackAsTheSourcesOwnDraws) {
    const QDate day(2026, 3, 5);
    DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime(day, QTime(9, 30));
    options.failRules = {{FailMode::MalformedXml, u"/json/gd11x5"_s}, {FailMode::GarbagePage, u"/json/cq11x5"_s}};
    DrawSource source(options);
    source.start();
    const SourceLottery& lottery = *FindSourceLottery(u"江西11选5"_s);

    const std::optional<QByteArray> latest = Fetch(source, u"/json/jx11x5.json"_s);
    ASSERT_TRUE(latest);
    const JsonDrawsRead latestRead = ReadJsonDraws(*latest);
    EXPECT_EQ(latestRead.rows, RowsOf(source.latestDraws(lottery.name)));
    EXPECT_EQ(latestRead.rows.size(), DrawSource::FeedDrawCount) << "today's 3 draws and 17 of the day before";
    EXPECT_EQ(latestRead.skipped, 0);

    const std::optional<QByteArray> ofDay = Fetch(source, u"/json/jx11x5/2026-03-05.json"_s);
    ASSERT_TRUE(ofDay);
    EXPECT_TRUE(ofDay->contains(R"("opentime":"2026-03-05 09:20:00")")) << ofDay->toStdString();
    EXPECT_EQ(ReadJsonDraws(*ofDay).rows, RowsOf(source.drawsOfDay(lottery.name, day)));
    EXPECT_EQ(ReadJsonDraws(*ofDay).rows.size(), 3);

    EXPECT_FALSE(Fetch(source, u"/json/jx11x5/2026-3-5.json"_s)) << "400";
    EXPECT_FALSE(Fetch(source, u"/json/xx11x5.json"_s)) << "404";
    for (const QString& failing : {u"/json/gd11x5.json"_s, u"/json/cq11x5/2026-03-05.json"_s}) {
        const std::optional<QByteArray> broken = Fetch(source, failing);
        ASSERT_TRUE(broken) << failing.toStdString();
        EXPECT_FALSE(ReadJsonDraws(*broken).answered()) << failing.toStdString();
    }
}

} // namespace
} // namespace tarvo
