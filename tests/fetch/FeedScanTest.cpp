#include "FetchTestSupport.h"

#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/fetch/FeedScan.h"
#include "tarvo/fetch/FeedText.h"
#include "tarvo/store/Lottery.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::Row;

namespace tarvo {
namespace {

const FeedLayout& Feed(const QString& lottery) {
    return test::Known(lottery).feed;
}

// A feed row as the feeds of 重庆, 广东 and 江西 write it (period at 14, numbers at 33).
QByteArray LongRow(const QByteArray& period, const QByteArray& numbers) {
    return "<row issueno=\"" + period + "\" numbers=\"" + numbers + "\"/>";
}

TEST(FeedScan, EachLotteryReadsTheRowsOfItsOwnFeedAndNothingFromTheOtherLayout) {
    // 山东's feed names its period "issue", two characters shorter than the others' "issueno".
    const QByteArray shortRow = "<row issue=\"26030517\" numbers=\"03,11,07,01,05\"/>";
    const QByteArray longRow = LongRow("26030517", "03,11,07,01,05");
    const QList<std::pair<QString, bool>> lotteries{
        {u"山东11选5"_s, true}, {u"广东11选5"_s, false}, {u"重庆11选5"_s, false}, {u"江西11选5"_s, false}};
    for (const auto& [lottery, readsShortRows] : lotteries) {
        const QByteArray own = readsShortRows ? shortRow : longRow;
        const QByteArray other = readsShortRows ? longRow : shortRow;
        EXPECT_EQ(ScanFeedText(own, Feed(lottery), 0), QList<DrawRow>{Row(u"2026030517"_s, {3, 11, 7, 1, 5})})
            << lottery.toStdString();
        EXPECT_TRUE(ScanFeedText(other, Feed(lottery), 0).isEmpty()) << lottery.toStdString();
    }
}

TEST(FeedScan, CutsPeriodAndNumbersAtTheLotterysOffsets) {
    for (const Lottery& lottery : Lotteries()) {
        QByteArray text = "<openlist><row";
        text += QByteArray(lottery.feed.periodOffset - 4, 'x') + "26030517";
        text += QByteArray(lottery.feed.numbersOffset - lottery.feed.periodOffset - 8, 'y') + "03|11|07|01|05";
        text += "/></openlist>";
        EXPECT_EQ(ScanFeedText(text, lottery.feed, 0), QList<DrawRow>{Row(u"2026030517"_s, {3, 11, 7, 1, 5})})
            << lottery.name.toStdString();
    }
}

TEST(FeedScan, TextWithoutRowsAddsNothing) {
    const FeedLayout& feed = Feed(u"广东11选5"_s);
    EXPECT_TRUE(ScanFeedText({}, feed, 0).isEmpty());
    EXPECT_TRUE(ScanFeedText("<?xml version=\"1.0\"?><openlist/>", feed, 0).isEmpty());
    EXPECT_TRUE(ScanFeedText("abc<row", feed, 0).isEmpty());
}

TEST(FeedScan, KeepsRowsAboveTheStoredPeriodInFeedOrder) {
    const FeedLayout& feed = Feed(u"重庆11选5"_s);
    const QByteArray text = "<openlist>" + LongRow("26030503", "01,02,03,04,05") +
                            LongRow("26030505", "02,03,04,05,06") + LongRow("26030502", "03,04,05,06,07") +
                            LongRow("26030504", "04,05,06,07,08") + "</openlist>";
    const QList<DrawRow> rows = ScanFeedText(text, feed, 2026030503);
    EXPECT_EQ(rows, (QList<DrawRow>{Row(u"2026030505"_s, {2, 3, 4, 5, 6}), Row(u"2026030504"_s, {4, 5, 6, 7, 8})}));
}

TEST(FeedScan, SkipsUnfitRowsAndGoesOn) {
    const FeedLayout& feed = Feed(u"江西11选5"_s);
    const QList<QByteArray> unfit{
        LongRow("2603O501", "01,02,03,04,05"), LongRow("26030501", "01,02,03,04,12"),
        LongRow("26030501", "00,02,03,04,05"), LongRow("26030501", "1,2,3,4,5,6,7,"),
        LongRow("-2603050", "01,02,03,04,05"), "<row issueno=\"26030501\"/>",
    };
    for (const QByteArray& bad : unfit) {
        const QByteArray text = bad + LongRow("26030509", "11,10,09,08,07");
        EXPECT_EQ(ScanFeedText(text, feed, 0), QList<DrawRow>{Row(u"2026030509"_s, {11, 10, 9, 8, 7})})
            << bad.toStdString();
    }
}

TEST(FeedScan, PeriodListedTwiceIsKeptOnce) {
    const QByteArray text = LongRow("26030509", "11,10,09,08,07") + LongRow("26030509", "01,02,03,04,05");
    EXPECT_EQ(ScanFeedText(text, Feed(u"广东11选5"_s), 0), QList<DrawRow>{Row(u"2026030509"_s, {11, 10, 9, 8, 7})});
}

TEST(FeedText, WriteBackKeepsAttributeOrderWithDoubleQuotesAndNoIndentation) {
    const QByteArray document = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<list>\n  <row b='2' a=\"1\"/>\n"
                                "  <row z=\"&amp;\"></row>\n</list>\n";
    EXPECT_EQ(WriteBackXml(document),
              QByteArray(
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><list><row b=\"2\" a=\"1\"/><row z=\"&amp;\"/></list>\n"));
}

TEST(FeedText, DocumentThatIsNotWellFormedIsRefused) {
    const QList<QByteArray> broken{
        {},
        "garbage",
        "<list><row a=\"1\"/>",
        "<list></lst>",
        "<list a=1/>",
        "<a/><b/>",
        // Text the reader takes but the writer cannot write back (a lone surrogate): refused, not
        // written back with its names and values silently emptied.
        "<?xml version=\"1.0\" encoding=\"UTF-7\"?><openlist>+35/<row issueno=\"26030501\" "
        "numbers=\"01,02,03,04,05\"/></openlist>",
    };
    for (const QByteArray& document : broken)
        EXPECT_FALSE(FeedTextOf(document)) << document.toStdString();
}

TEST(FeedText, WritingAWrittenBackDocumentBackAgainChangesNothing) {
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    // White space written as character references is white space all the same and is dropped; a
    // carriage return inside text stays one rather than becoming a line end when read again.
    EXPECT_EQ(WriteBackXml("<a><b/>&#10;<b/>&#x20;&#9;&#13;</a>"), declaration + "<a><b/><b/></a>\n");
    EXPECT_EQ(WriteBackXml("<a>x&#13;&#10;y\r</a>"), declaration + "<a>x&#13;\ny\n</a>\n");

    // Once downloaded: declared UTF-7 though it is not, bytes no encoding reads, a CDATA section that
    // holds "<![CDATA[", and "&#10;" alone between the section and a comment.
    const QByteArray downloaded = "<?xml version=\"1.0\" encoding=\"utf-7\"?>\r\n"
                                  "<openlist lottery='11nu'>\ry\n"
                                  "  0;\n"
                                  " $ x &amp; &lt;y&gt; &#x20;\n"
                                  " >;\n"
                                  " $ x ; &lt;y&gt; &#x20;\n"
                                  " ><![CDATA[a]]<![CDATA[t>0;\n"
                                  " $ x &amp; &lt;y&gt; &#x20;\n"
                                  " >;\n"
                                  " $ x ; &lt;y&gt; &#x20;\n"
                                  " ><![CDATA[a]]<a]]>&#10;<!-- newest first\xff-->\r\n"
                                  "  <row issue=\"26030\x15"
                                  "44\" nummbers=\"10,02,09,04,06\"/>\r\n"
                                  "</openlist>\r\n";
    const std::optional<QByteArray> written = WriteBackXml(downloaded);
#ifdef Q_OS_WIN
    // Qt for Windows reads no UTF-7 (it is built without ICU): the document is refused there, and
    // nothing refused is ever written back.
    EXPECT_FALSE(written);
#else
    ASSERT_TRUE(written);
    EXPECT_EQ(WriteBackXml(*written), written);
#endif
}

TEST(FeedText, EachWrittenLineIsTrimmedAndJoined) {
    EXPECT_EQ(JoinTrimmedLines(" a \r\n\tb\n\n c\x01\n"), QByteArray("abc"));
    EXPECT_EQ(FeedTextOf("<list><note>\n  x \n y</note></list>"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><list><note>xy</note></list>"));
}

TEST(FeedText, ServedFeedIsItsOwnWriteBackAndScansToItsDraws) {
    const QList<SourceDraw> draws{{u"2026030502"_s, {1, 2, 3, 4, 5}}, {u"2026030501"_s, {11, 9, 7, 5, 3}}};
    for (const SourceLottery& lottery : SourceLotteries()) {
        const QByteArray document = FeedDocument(lottery, draws);
        EXPECT_EQ(WriteBackXml(document), document);
        const QList<DrawRow> rows = ScanFeedText(*FeedTextOf(document), Feed(lottery.name), 0);
        EXPECT_EQ(rows, (QList<DrawRow>{Row(u"2026030502"_s, {1, 2, 3, 4, 5}), Row(u"2026030501"_s, {11, 9, 7, 5, 3})}))
            << lottery.name.toStdString();
    }
}

} // namespace
} // namespace tarvo
