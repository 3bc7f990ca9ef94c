#include "FetchTestSupport.h"

#include "tarvo/drawd/DrawSource.h"
#include "tarvo/drawd/SourceDocuments.h"
#include "tarvo/drawd/SourceLottery.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/store/Lottery.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using tarvo::test::Row;
using tarvo::test::TestDatabase;
using tarvo::test::WaitForFinished;

namespace tarvo {
namespace {

const QDate Today(2026, 3, 1);

DrawSourceOptions SourceAtEndOf(const QDate& today, QList<FailRule> failRules = {}) {
    DrawSourceOptions options;
    options.port = 0;
    options.now = QDateTime(today, QTime(23, 30));
    options.failRules = std::move(failRules);
    return options;
}

// Every draw of the ten days up to `today` as the source publishes them, oldest first.
QList<DrawRow> TenDays(const DrawSource& source, const QString& lottery, const QDate& today) {
    QList<DrawRow> rows;
    for (int day = 0; day < HistoryDownloader::DayCount; ++day) {
        for (const SourceDraw& draw : source.drawsOfDay(lottery, today.addDays(-day))) {
            const auto& n = draw.numbers;
            rows.prepend(Row(draw.period, {n[0], n[1], n[2], n[3], n[4]}));
        }
    }
    return rows;
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One download against a draw source; the source outlives the manager.
class HistoryPass {
public:
    explicit HistoryPass(DrawSourceOptions options)
        : source(std::move(options)) {
        source.start();
    }

    QString run(const QDate& today = Today, std::chrono::milliseconds timeout = 15s) {
        return runAgainst(source, today, timeout);
    }

    // The next start of the program, against a source that answers otherwise.
    QString runAgainst(const DrawSource& other, const QDate& today = Today, std::chrono::milliseconds timeout = 15s) {
        HistoryDownloader downloader(HostSources(other.host(), other.host()));
        downloader.setTimeout(timeout);
        downloader.start(folder.appDir(), today);
        return WaitForFinished(downloader, 60000);
    }

    QString pageFile() const { return folder.path(HistoryDownloader::PageFileName()); }

    DrawSource source;
    TestDatabase folder;
    QNetworkAccessManager manager;
};

TEST(HistoryDownloader, EmptyDatabaseGetsEveryDrawOfTheTenDaysForAllLotteries) {
    HistoryPass pass(SourceAtEndOf(Today));
    EXPECT_EQ(pass.run(), QString());
    for (const QString& lottery : LotteryNames()) {
        const QList<DrawRow> expected = TenDays(pass.source, lottery, Today);
        EXPECT_EQ(expected.size(), 10 * 44);
        EXPECT_EQ(pass.folder.drawRows(lottery), expected) << lottery.toStdString();
    }
    EXPECT_EQ(ReadFile(pass.pageFile()), HistoryPage(*FindSourceLottery(u"江西11选5"_s), Today.addDays(-9),
                                                     pass.source.drawsOfDay(u"江西11选5"_s, Today.addDays(-9))));
}

TEST(HistoryDownloader, DaysRunBackAcrossMonthAndYearEnds) {
    const QList<std::pair<QDate, QStringList>> cases{
        {QDate(2024, 3, 1), {u"2024-03-01"_s, u"2024-02-29"_s, u"2024-02-28"_s, u"2024-02-21"_s}},
        {QDate(2026, 1, 3), {u"2026-01-03"_s, u"2026-01-01"_s, u"2025-12-31"_s, u"2025-12-25"_s}},
    };
    for (const auto& [today, someDays] : cases) {
        HistoryPass pass(SourceAtEndOf(today));
        EXPECT_EQ(pass.run(today), QString());
        QSet<QString> pages;
        QSet<QString> days;
        for (const QString& target : pass.source.requestLog()) {
            pages.insert(target.section(u"?d="_s, 0, 0));
            days.insert(target.section(u"?d="_s, 1));
        }
        EXPECT_EQ(pass.source.requestLog().size(), 40);
        EXPECT_EQ(pages, (QSet<QString>{u"/lottery/draw/list/558"_s, u"/lottery/draw/list/23"_s,
                                        u"/lottery/draw/list/20"_s, u"/lottery/draw/list/22"_s}));
        EXPECT_EQ(days.size(), 10);
        for (const QString& day : someDays)
            EXPECT_TRUE(days.contains(day)) << day.toStdString();
        EXPECT_FALSE(days.contains(today.addDays(-10).toString(u"yyyy-MM-dd"_s)));
    }
}

TEST(HistoryDownloader, FailedFifthDayStoresNothingOfThatLotteryButAllOfTheOthers) {
    HistoryPass pass(SourceAtEndOf(Today, {FailRule{FailMode::NotFound, u"/list/23?d=2026-02-25"_s}}));
    EXPECT_EQ(pass.run(), QString());
    EXPECT_TRUE(pass.folder.drawRows(u"广东11选5"_s).isEmpty());
    for (const QString& lottery : {u"重庆11选5"_s, u"山东11选5"_s, u"江西11选5"_s})
        EXPECT_EQ(pass.folder.drawRows(lottery), TenDays(pass.source, lottery, Today)) << lottery.toStdString();
    EXPECT_TRUE(QFile::exists(pass.pageFile()));
}

TEST(HistoryDownloader, PageWithoutDrawsAddsNothingAndTheOtherDaysAreStored) {
    HistoryPass pass(SourceAtEndOf(Today, {FailRule{FailMode::GarbagePage, u"/list/20?d=2026-02-27"_s}}));
    EXPECT_EQ(pass.run(), QString());
    QList<DrawRow> expected = TenDays(pass.source, u"山东11选5"_s, Today);
    expected.removeIf([](const DrawRow& row) { return row.period.startsWith(u"20260227"_s); });
    EXPECT_EQ(pass.folder.drawRows(u"山东11选5"_s), expected);
}

TEST(HistoryDownloader, NetworkDownOrHangingChangesNothingAndLeavesNoPageFile) {
    for (const FailMode mode : {FailMode::Refused, FailMode::Hang}) {
        HistoryPass pass(SourceAtEndOf(Today, {FailRule{mode, {}}}));
        pass.folder.insert(u"重庆11选5"_s, Row(u"2026020101"_s, {1, 2, 3, 4, 5}));
        QFile stale(pass.pageFile());
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.close();
        EXPECT_EQ(pass.run(Today, 300ms), QString());
        EXPECT_EQ(pass.folder.periods(u"重庆11选5"_s), QStringList{u"2026020101"_s});
        for (const QString& lottery : {u"广东11选5"_s, u"山东11选5"_s, u"江西11选5"_s})
            EXPECT_TRUE(pass.folder.drawRows(lottery).isEmpty());
        EXPECT_FALSE(QFile::exists(pass.pageFile()));
    }
}

TEST(HistoryDownloader, FailedJiangxiPageLeavesNoPageFileEvenWhenItsOldestPageArrived) {
    // The time-out leaves the other 39 pages, answered at once, a wide margin on a loaded machine.
    HistoryPass pass(SourceAtEndOf(Today, {FailRule{FailMode::Hang, u"/list/22?d=2026-03-01"_s}}));
    EXPECT_EQ(pass.run(Today, 5s), QString());
    EXPECT_FALSE(QFile::exists(pass.pageFile()));
    EXPECT_EQ(pass.folder.drawRows(u"山东11选5"_s).size(), 440);
}

TEST(HistoryDownloader, OnlyDrawsAfterTheNewestStoredAreAppended) {
    HistoryPass pass(SourceAtEndOf(Today));
    const QList<DrawRow> all = TenDays(pass.source, u"重庆11选5"_s, Today);
    pass.folder.insert(u"重庆11选5"_s, all[200]);
    EXPECT_EQ(pass.run(), QString());
    EXPECT_EQ(pass.folder.drawRows(u"重庆11选5"_s), all.mid(200));
}

TEST(HistoryDownloader, DrawsCutOffAPageAreStoredInTheirPlaceByTheNextStart) {
    // The page lists the day's draws newest first; cut short, it loses that day's earliest draws,
    // which lie between draws the first start stores.
    HistoryPass pass(SourceAtEndOf(Today, {FailRule{FailMode::MalformedXml, u"/list/558?d=2026-02-25"_s}}));
    EXPECT_EQ(pass.run(), QString());
    const QList<DrawRow> all = TenDays(pass.source, u"重庆11选5"_s, Today);
    const QList<DrawRow> first = pass.folder.drawRows(u"重庆11选5"_s);
    ASSERT_LT(first.size(), all.size()) << "the cut page lost draws";
    EXPECT_EQ(first.front(), all.front());
    EXPECT_EQ(first.back(), all.back());

    DrawSource whole(SourceAtEndOf(Today));
    whole.start();
    EXPECT_EQ(pass.runAgainst(whole), QString());
    EXPECT_EQ(pass.folder.drawRows(u"重庆11选5"_s), all) << "every draw once, in period order";
    for (const QString& lottery : {u"广东11选5"_s, u"山东11选5"_s, u"江西11选5"_s})
        EXPECT_EQ(pass.folder.drawRows(lottery), TenDays(pass.source, lottery, Today)) << lottery.toStdString();
    EXPECT_EQ(ReadFile(pass.pageFile()), HistoryPage(*FindSourceLottery(u"江西11选5"_s), Today.addDays(-9),
                                                     pass.source.drawsOfDay(u"江西11选5"_s, Today.addDays(-9))));
}

TEST(HistoryDownloader, DrawsMissingBetweenTheOldestAndNewestStoredAreFilledIn) {
    const QDate today(2026, 3, 1);
    QTemporaryDir dir;
    QFile csv(dir.filePath(u"draws.csv"_s));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("2026022801,1,2,3,4,6\n2026022802,1,2,3,4,7\n2026030101,1,2,3,4,8\n2026030102,1,2,3,4,9\n");
    csv.close();
    DrawSourceOptions options = SourceAtEndOf(today);
    options.csvFile = csv.fileName();
    HistoryPass pass(options);
    pass.folder.insert(u"山东11选5"_s, Row(u"2026020701"_s, {9, 10, 11, 1, 2}));
    pass.folder.insert(u"山东11选5"_s, Row(u"2026030101"_s, {1, 2, 3, 4, 8}));
    EXPECT_EQ(pass.run(today), QString());
    EXPECT_EQ(pass.folder.periods(u"山东11选5"_s),
              (QStringList{u"2026020701"_s, u"2026022801"_s, u"2026022802"_s, u"2026030101"_s, u"2026030102"_s}));
}

TEST(HistoryDownloader, ADrawOfThePassNamesOneOfTheTenDays) {
    const QDate today(2026, 3, 1);
    EXPECT_TRUE(HistoryDownloader::IsDrawOfTheTenDays(2026030101, today));
    EXPECT_TRUE(HistoryDownloader::IsDrawOfTheTenDays(2026022099, today));
    EXPECT_FALSE(HistoryDownloader::IsDrawOfTheTenDays(2026021999, today)) << "ten days back";
    EXPECT_FALSE(HistoryDownloader::IsDrawOfTheTenDays(2026030201, today)) << "tomorrow";
    EXPECT_FALSE(HistoryDownloader::IsDrawOfTheTenDays(2026022901, today)) << "no such day";
    EXPECT_FALSE(HistoryDownloader::IsDrawOfTheTenDays(2012345678, today)) << "a number that names no day";
}

TEST(HistoryDownloader, AnAppendFailingMidPassStoresNoneOfThatLotteryAndTheNextStartStoresItOnce) {
    HistoryPass pass(SourceAtEndOf(Today));
    pass.folder.insert(u"山东11选5"_s, TenDays(pass.source, u"山东11选5"_s, Today).front());
    pass.folder.refuseInsertsBeyond(u"山东11选5"_s, 100);
    EXPECT_EQ(pass.run(), QString());
    EXPECT_EQ(pass.folder.drawRows(u"山东11选5"_s).size(), 1) << "nothing of the pass half-way";
    EXPECT_EQ(pass.folder.drawRows(u"江西11选5"_s), TenDays(pass.source, u"江西11选5"_s, Today));

    pass.folder.acceptInserts(u"山东11选5"_s);
    EXPECT_EQ(pass.run(), QString());
    for (const QString& lottery : LotteryNames())
        EXPECT_EQ(pass.folder.drawRows(lottery), TenDays(pass.source, lottery, Today)) << lottery.toStdString();
}

TEST(HistoryDownloader, ASecondStartWhileADownloadRunsIsIgnored) {
    HistoryPass pass(SourceAtEndOf(Today));
    HistoryDownloader downloader(HostSources(pass.source.host(), pass.source.host()));
    int finishedCount = 0;
    QObject::connect(&downloader, &HistoryDownloader::finished, [&finishedCount] { ++finishedCount; });
    downloader.start(pass.folder.appDir(), Today);
    downloader.start(pass.folder.appDir(), Today.addDays(-3));
    EXPECT_EQ(WaitForFinished(downloader, 60000), QString());
    // A second download would have asked for its forty pages at its start and would run still.
    EXPECT_EQ(finishedCount, 1);
    EXPECT_FALSE(downloader.isRunning());
    EXPECT_EQ(pass.source.requestLog().size(), 40);
    for (const QString& lottery : LotteryNames())
        EXPECT_EQ(pass.folder.drawRows(lottery), TenDays(pass.source, lottery, Today)) << lottery.toStdString();
}

TEST(HistoryDownloader, LotteryWhoseTableIsMissingIsPassedOver) {
    HistoryPass pass(SourceAtEndOf(Today));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"drop-table"_s);
        db.setDatabaseName(pass.folder.path(DrawDatabaseFileName()));
        ASSERT_TRUE(db.open());
        ASSERT_TRUE(QSqlQuery(db).exec(u"drop table 广东11选5彩票号码表"_s));
        db.close();
    }
    QSqlDatabase::removeDatabase(u"drop-table"_s);
    EXPECT_EQ(pass.run(), QString());
    EXPECT_EQ(pass.folder.drawRows(u"江西11选5"_s).size(), 440);
    for (const QString& target : pass.source.requestLog())
        EXPECT_FALSE(target.contains(u"/list/23?"_s));
}

TEST(HistoryDownloader, DatabaseThatCannotBeOpenedIsReportedAndNothingIsFetched) {
    HistoryPass pass(SourceAtEndOf(Today));
    QFile::remove(pass.folder.path(DrawDatabaseFileName()));
    EXPECT_FALSE(pass.run().isEmpty());
    EXPECT_TRUE(pass.source.requestLog().isEmpty());
}

} // namespace
} // namespace tarvo
