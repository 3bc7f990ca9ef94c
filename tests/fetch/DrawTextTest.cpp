#include "FetchTestSupport.h"

#include "tarvo/fetch/DrawText.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using tarvo::test::Row;

namespace tarvo {
namespace {

const QDate Today(2026, 12, 9);

struct Refusal {
    int line;
    QString reason;
    bool operator==(const Refusal&) const = default;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.line << ": " << refusal.reason.toStdString();
}

QList<Refusal> RefusalsOf(const DrawTextRead& read) {
    QList<Refusal> refusals;
    for (const RefusedLine& refused : read.refused)
        refusals.append({refused.line, refused.reason});
    return refusals;
}

QList<std::pair<int, DrawRow>> DrawsOf(const DrawTextRead& read) {
    QList<std::pair<int, DrawRow>> draws;
    for (const TextDraw& draw : read.draws)
        draws.append({draw.line, draw.row});
    return draws;
}

TEST(DrawText, EveryWayPlayersWriteADrawReadsAsThatDraw) {
    const QList<std::pair<QString, DrawRow>> cases{
        {u"26120801,01,02,03,04,05"_s, Row(u"2026120801"_s, {1, 2, 3, 4, 5})},
        {u"2026120802 11 10 09 08 07"_s, Row(u"2026120802"_s, {11, 10, 9, 8, 7})},
        {u"261208-03\t1\t2\t3\t4\t5"_s, Row(u"2026120803"_s, {1, 2, 3, 4, 5})},
        {u"20261208-04|01|02|03|04|11"_s, Row(u"2026120804"_s, {1, 2, 3, 4, 11})},
        {u"第26120805期 开奖号码：01+02+03+04+05"_s, Row(u"2026120805"_s, {1, 2, 3, 4, 5})},
        {u"26120806,\"03,04,05,06,07\""_s, Row(u"2026120806"_s, {3, 4, 5, 6, 7})},
        {u"'26120807';'09';'08';'07';'06';'05'"_s, Row(u"2026120807"_s, {9, 8, 7, 6, 5})},
        {u"26120808 0102030405"_s, Row(u"2026120808"_s, {1, 2, 3, 4, 5})},
        {u"3,2026-12-08 09:20,26120809,01、02、03、04、05"_s, Row(u"2026120809"_s, {1, 2, 3, 4, 5})},
        {u"26120810 2026/12/08 09:40:00 01，02，03，04，05"_s, Row(u"2026120810"_s, {1, 2, 3, 4, 5})},
        {u"第26120811期\u300001\u300002\u300003\u300004\u300005 和值15 跨度4 09:40"_s,
         Row(u"2026120811"_s, {1, 2, 3, 4, 5})},
        {u"26120812\u00A001\u00A002\u00A003\u00A004\u00A005 06 07"_s, Row(u"2026120812"_s, {1, 2, 3, 4, 5})},
        {u"26121001 01 02 03 04 05"_s, Row(u"2026121001"_s, {1, 2, 3, 4, 5})}, // tomorrow: time zones
    };
    for (const auto& [line, row] : cases) {
        const DrawTextRead read = ReadDrawText(line.toUtf8(), Today);
        EXPECT_EQ(DrawsOf(read), (QList<std::pair<int, DrawRow>>{{1, row}})) << line.toStdString();
        EXPECT_TRUE(read.refused.isEmpty()) << line.toStdString();
    }
}

TEST(DrawText, LinesWithAPeriodButNoDrawAreRefusedWithTheirLineAndReason) {
    const QByteArray text = "期号,号码\r\n"
                            "\r\n"
                            "26120801 01 02 03 04\r\n"
                            "26120802 01 02 03 04 12\n"
                            "26120803 01 02 03 03 05\r"
                            "26023001 01 02 03 04 05\n"
                            "26120800 01 02 03 04 05\n"
                            "1999120101 01 02 03 04 05\n"
                            "26121101 01 02 03 04 05\n"
                            "26120804 0\n"
                            "第26120805期\n"
                            "26120806 01 02 03 04 05\n"
                            "26120807 01 02 0304050607";
    const DrawTextRead read = ReadDrawText(text, Today);
    EXPECT_EQ(RefusalsOf(read), (QList<Refusal>{
                                    {3, u"只有四个号码"_s},
                                    {4, u"12 不在 01–11"_s},
                                    {5, u"号码重复"_s},
                                    {6, u"日期不存在"_s},
                                    {7, u"日期不存在"_s},
                                    {8, u"早于2000年"_s},
                                    {9, u"晚于今天"_s},
                                    {10, u"0 不在 01–11"_s},
                                    {11, u"没有号码"_s},
                                    {13, u"0304050607 不在 01–11"_s},
                                }));
    EXPECT_EQ(read.refused.value(1).text.toStdString(), "26120802 01 02 03 04 12");
    EXPECT_EQ(DrawsOf(read), (QList<std::pair<int, DrawRow>>{{12, Row(u"2026120806"_s, {1, 2, 3, 4, 5})}}));
}

TEST(DrawText, APeriodRepeatedWithOtherNumbersRefusesEveryLineOfItAndOneWithTheSameIsKeptOnce) {
    const QByteArray text = "26120801 01 02 03 04 05\n"
                            "26120802 01 02 03 04 05\n"
                            "26120801,01,02,03,04,05\n"
                            "26120802 05 04 03 02 01\n"
                            "26120803 01 02 03 04 05\n"
                            "26120802 01 02 03 04 05\n";
    const DrawTextRead read = ReadDrawText(text, Today);
    EXPECT_EQ(DrawsOf(read), (QList<std::pair<int, DrawRow>>{{1, Row(u"2026120801"_s, {1, 2, 3, 4, 5})},
                                                             {5, Row(u"2026120803"_s, {1, 2, 3, 4, 5})}}));
    const QString conflict = u"同一期在文件中出现两次且号码不同"_s;
    EXPECT_EQ(RefusalsOf(read), (QList<Refusal>{{2, conflict}, {4, conflict}, {6, conflict}}));
}

TEST(DrawText, GbkFilesAndUtf8FilesWithOrWithoutAByteOrderMarkRead) {
    // GBK: 第 B5DA, 期 C6DA, 、 A1A2. Line 1: 第26120801期 01、02、03、04、05; line 2: 第26120802期 01、02.
    const QByteArray gbk = QByteArray::fromHex("B5DA3236313230383031C6DA203031A1A23032A1A23033A1A23034A1A23035"
                                               "0D0A"
                                               "B5DA3236313230383032C6DA203031A1A23032");
    const DrawTextRead fromGbk = ReadDrawText(gbk, Today);
    EXPECT_EQ(fromGbk.encoding, u"GB18030"_s);
    EXPECT_EQ(DrawsOf(fromGbk), (QList<std::pair<int, DrawRow>>{{1, Row(u"2026120801"_s, {1, 2, 3, 4, 5})}}));
    ASSERT_EQ(fromGbk.refused.size(), 1);
    EXPECT_EQ(fromGbk.refused[0].text.toStdString(), "第26120802期 01、02");

    const QByteArray utf8 = u"26120802 01\n第26120801期 01、02、03、04、05"_s.toUtf8();
    for (const QByteArray& bytes : {utf8, "\xEF\xBB\xBF" + utf8}) {
        const DrawTextRead read = ReadDrawText(bytes, Today);
        EXPECT_EQ(read.encoding, u"UTF-8"_s);
        EXPECT_EQ(DrawsOf(read), (QList<std::pair<int, DrawRow>>{{2, Row(u"2026120801"_s, {1, 2, 3, 4, 5})}}));
        ASSERT_EQ(read.refused.size(), 1);
        EXPECT_EQ(read.refused[0].text.toStdString(), "26120802 01");
    }
}

} // namespace
} // namespace tarvo
