#include "FetchTestSupport.h"

#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/fetch/PageCollector.h"
#include "tarvo/fetch/PageItems.h"
#include "tarvo/store/Lottery.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::Row;

namespace tarvo {
namespace {

const PageLayout& Page(const QString& lottery) {
    return test::Known(lottery).page;
}

QByteArray Balls(const QByteArray& numbers) {
    QByteArray line;
    for (const QByteArray& number : numbers.split(' '))
        line += "<span class=\"ball_r\">" + number + "</span>";
    return line;
}

TEST(PageCollector, PeriodLinesHaveExactlyTheLengthAndReadAsNumbers) {
    struct Case {
        QByteArray line;
        int length;
        bool isPeriodLine;
    };
    const QList<Case> cases{
        {"26030501", 8, true},    {"2603050", 8, false},   {"260305011", 8, false},   {"2603O501", 8, false},
        {"2026030501", 10, true}, {"26030501", 10, false}, {"3026030501", 10, false}, // beyond 32 bits
        {"-2603050", 8, true},    {"2603 501", 8, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PageCollector(c.length).isPeriodLine(c.line), c.isPeriodLine) << c.line.toStdString();
}

TEST(PageCollector, CollectsTrimmedPeriodLinesAndAPieceForEveryBall) {
    PageCollector collector(8);
    collector.addPage("<td>\r\n  \t26030501 \r\n" + Balls("01 02 03 04 05") +
                      "\r\n"
                      "<p>26030502</p>\r"
                      "26030502\n"
                      "<span class=\"ball_r\">11</span><i class=\"ballbox\">07</i><b>ball</b>\n"
                      "<span class=\"ball_r\">0");
    EXPECT_EQ(collector.collectedText(), QByteArray("*26030501"
                                                    "0102030405"
                                                    "*26030502"
                                                    "11"
                                                    ">0"
                                                    "0"));
}

TEST(PageCollector, PiecesBeforeTheFirstPeriodLineAreDropped) {
    PageCollector collector(8);
    collector.addPage(Balls("09 09 09 09 09") + "\n");
    collector.addPage(Balls("08 08 08 08 08") + "\n26030501\n" + Balls("01 02 03 04 05") + "\n");
    collector.addPage(Balls("06 06 06 06 06") + "\n");
    EXPECT_EQ(collector.collectedText(), QByteArray("*26030501"
                                                    "0102030405"
                                                    "0606060606"));
}

TEST(PageItems, SplitAtStarsSkippingEmptyItemsLeadingBlanksAndQuotedStars) {
    const QList<std::pair<QByteArray, QList<QByteArray>>> cases{
        {"*a*b", {"a", "b"}},           {"**a*", {"a"}},
        {"*  a* b", {"a", "b"}},        {"lead*a", {"lead", "a"}},
        {"*a'x*y'*b", {"a'x*y'", "b"}}, {"*a\"x'*\"*b", {"a\"x'*\"", "b"}},
        {"*a'x*y", {"a'x*y"}},
    };
    for (const auto& [text, items] : cases)
        EXPECT_EQ(SplitItems(text), items) << text.toStdString();
}

TEST(PageItems, RowsComeFromTheLastItemToTheFirstAboveTheStoredPeriod) {
    const QList<QByteArray> items{"260305030102030405", "2603050211100908070605", "260305010607080910"};
    EXPECT_EQ(RowsFromItems(items, Page(u"重庆11选5"_s), 2026030501),
              (QList<DrawRow>{Row(u"2026030502"_s, {11, 10, 9, 8, 7}), Row(u"2026030503"_s, {1, 2, 3, 4, 5})}));
}

TEST(PageItems, EachLotteryReadsPagesInItsOwnLayoutAndNothingFromTheOther) {
    // 江西's pages write the whole ten-digit period on its line, the others only its last eight digits.
    const QByteArray shortPage = "<td>\n26030507\n</td><td>" + Balls("01 02 03 04 05") + "</td>\n";
    const QByteArray longPage = "<td>\n2026030507\n</td><td>" + Balls("01 02 03 04 05") + "</td>\n";
    const QList<std::pair<QString, bool>> lotteries{
        {u"山东11选5"_s, false}, {u"广东11选5"_s, false}, {u"重庆11选5"_s, false}, {u"江西11选5"_s, true}};
    for (const auto& [lottery, readsLongLines] : lotteries) {
        const QByteArray own = readsLongLines ? longPage : shortPage;
        const QByteArray other = readsLongLines ? shortPage : longPage;
        EXPECT_EQ(RowsFromPages({own}, Page(lottery), 0), QList<DrawRow>{Row(u"2026030507"_s, {1, 2, 3, 4, 5})})
            << lottery.toStdString();
        EXPECT_TRUE(RowsFromPages({other}, Page(lottery), 0).isEmpty()) << lottery.toStdString();
    }
}

TEST(PageItems, JiangxiItemsDropTheirFirstTwoCharacters) {
    const QList<QByteArray> items{"20260305070102030405", "99260305080102030406"};
    EXPECT_EQ(RowsFromItems(items, Page(u"江西11选5"_s), 0),
              (QList<DrawRow>{Row(u"2026030508"_s, {1, 2, 3, 4, 6}), Row(u"2026030507"_s, {1, 2, 3, 4, 5})}));
}

TEST(PageItems, UnfitItemsAndRepeatedPeriodsAreSkipped) {
    const QList<QByteArray> items{"260305090102030405", "2603050901020304", "260305081202030405",
                                  "-26030501020304050", "26030507010203",   "260305090908070605"};
    EXPECT_EQ(RowsFromItems(items, Page(u"广东11选5"_s), 0), QList<DrawRow>{Row(u"2026030509"_s, {9, 8, 7, 6, 5})});
}

TEST(PageItems, ServedPagesGiveEveryDrawOldestFirst) {
    const QDate today(2026, 3, 1);
    for (const SourceLottery& lottery : SourceLotteries()) {
        QList<QByteArray> pages;
        QList<DrawRow> expected;
        for (int day = 0; day < 3; ++day) {
            const QDate date = today.addDays(-day);
            const QList<SourceDraw> draws =
                GeneratedDrawsOfDay(lottery.name, date, 20, QDateTime(today, QTime(23, 59)));
            pages.append(HistoryPage(lottery, date, draws));
            for (const SourceDraw& draw : draws) {
                const auto& n = draw.numbers;
                expected.prepend(Row(draw.period, {n[0], n[1], n[2], n[3], n[4]}));
            }
        }
        EXPECT_EQ(expected.size(), 3 * 44);
        EXPECT_EQ(RowsFromPages(pages, Page(lottery.name), 0), expected) << lottery.name.toStdString();
    }
}

} // namespace
} // namespace tarvo
