#include "ReferencePlan.h"
#include "WindowFixture.h"

#include "tarvo/app/RadioGroup.h"
#include "tarvo/drawd/DrawSource.h"
#include "tarvo/fetch/HistoryDownloader.h"
#include "tarvo/fetch/LatestDrawUpdater.h"
#include "tarvo/store/Lottery.h"

#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QDateTime kNow(QDate(2026, 12, 8), QTime(12, 5));

// The window against the real local draw source on 127.0.0.1.
class EndToEnd : public WindowFixture {
protected:
    void startSource(DrawSourceOptions options) {
        options.port = 0;
        if (!options.now)
            options.now = kNow;
        WindowFixture::startSource(options);
        // A slow source answers the forty start-up requests over seconds, which a loaded machine (or
        // Wine) stretches further: only the tests of a hanging source need the short time-out.
        if (options.latencyMs > 0)
            environment().requestTimeout = std::chrono::seconds(15);
    }

    int publishedInTenDays(const QString& lottery) const {
        int count = 0;
        for (int day = 0; day < 10; ++day)
            count += int(source_->drawsOfDay(lottery, kNow.date().addDays(-day)).size());
        return count;
    }

    // The stored draws of a lottery as the window holds them: the period without its leading "20".
    DrawHistory storedHistory(const QString& lottery) const {
        DrawHistory history;
        for (const QStringList& row : db_->rows(lottery)) {
            Draw draw{row[0].mid(2).toInt()};
            for (int p = 1; p <= 5; ++p)
                draw[std::size_t(p)] = row[p].toInt();
            history.push_back(draw);
        }
        return history;
    }

    // The plan memo, the bets and their label must be what a plain walk gives for the stored draws of
    // the lottery shown, with the window's choices and formula pool.
    void expectReportOfStoredDraws() {
        const int type = control<RadioGroup>("opttype")->itemIndex();
        const ReferenceReport expected =
            ReferencePlanReport(type, ReferenceCodeCount(type, control<QComboBox>("comjushu")->currentIndex()),
                                control<QLineEdit>("edtjihuaqishu")->text().toInt(),
                                storedHistory(window().state().CurrentLottery), window().formulaPool());
        QStringList lines;
        for (const std::string& line : expected.planLines)
            lines << QString::fromStdString(line);
        EXPECT_EQ(text("memjihua"), lines.join(u'\n'));
        EXPECT_EQ(text("memcode"), QString::fromStdString(expected.codeText));
        EXPECT_EQ(control<QLabel>("lblcode")->text(), QString::fromStdString(expected.labelText));
    }
};

TEST_F(EndToEnd, StartUpStoresTenDaysOfEveryLotteryAndShowsShandong) {
    startSource({});
    startUp();

    for (const QString& lottery : LotteryNames()) {
        const int published = publishedInTenDays(lottery);
        EXPECT_GT(published, 300) << lottery.toStdString();
        EXPECT_EQ(db_->periods(lottery).size(), published) << lottery.toStdString();
    }
    EXPECT_EQ(lines("memkj").size(), publishedInTenDays(u"山东11选5"_s));
    expectReportOfStoredDraws();
    EXPECT_TRUE(errors_.isEmpty());
    EXPECT_TRUE(QFile::exists(db_->appDir() + u"号码.txt"_s));
    for (const QString& request : source_->requestLog())
        EXPECT_FALSE(request.contains(u"newlyopenlist"_s)) << "start-up reads no feed";
}

TEST_F(EndToEnd, WithTheSourceDownTheStoredDrawsAndAPlanAreShownQuietly) {
    db_->insertRows(u"山东11选5"_s, Rows(2026120701, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 1, 2, 3, 4}}));
    startUp();
    click("btnkaijiang");
    waitIdle();
    EXPECT_TRUE(errors_.isEmpty());
    EXPECT_FALSE(control<QLabel>("pantx")->isVisible());
    EXPECT_EQ(lines("memkj").size(), 3);
    expectReportOfStoredDraws();
    EXPECT_TRUE(control<QTimer>("Timer1")->isActive());
}

TEST_F(EndToEnd, ATimerTickShowsADrawTheSourceHasJustPublished) {
    QTemporaryDir dir;
    const QString csv = dir.filePath(u"draws.csv"_s);
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("2026120801,01,02,03,04,05\n2026120802,06,07,08,09,10\n");
    file.close();
    DrawSourceOptions options;
    options.csvFile = csv;
    startSource(options);
    startUp();
    ASSERT_EQ(window().state().DrawCount, 2);

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("2026120803,11,03,05,07,09\n");
    file.close();
    QTest::qWait(1100); // the source notices a changed file by its modification time
    tick();
    waitIdle();

    EXPECT_EQ(window().state().DrawCount, 3);
    EXPECT_EQ(lines("memkj").last(), u"26120803期11 03 05 07 09 "_s);
    expectReportOfStoredDraws();
    EXPECT_TRUE(source_->requestLog().last().contains(u"/static/11yun/newlyopenlist.xml"_s));
}

TEST_F(EndToEnd, ALotterySwitchReadsOnlyThatLotterysFeed) {
    startSource({});
    startUp();
    const qsizetype before = source_->requestLog().size();
    clickRadio("optcaipiao", 2);
    waitIdle();
    const QStringList requests = source_->requestLog().mid(before);
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests.front(), u"/static/cq11x5/newlyopenlist.xml"_s);
    EXPECT_EQ(lines("memkj").size(), publishedInTenDays(u"重庆11选5"_s));
}

TEST_F(EndToEnd, APlayTypeChangeReadsTheSelectedLotterysFeed) {
    startSource({});
    startUp();
    const qsizetype before = source_->requestLog().size();
    clickRadio("opttype", 3);
    waitIdle();
    EXPECT_EQ(source_->requestLog().mid(before), QStringList{u"/static/11yun/newlyopenlist.xml"_s});
}

TEST_F(EndToEnd, OnlyARefreshTheUserAskedForShowsTheBusyCursor) {
    DrawSourceOptions options;
    options.latencyMs = 250;
    startSource(options);
    startUp();
    tick();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "a timer tick, its feed on the way";
    waitIdle();
    click("btnkaijiang");
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr) << "the update button, its feed on the way";
    waitIdle();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(EndToEnd, ClosingTheWindowDuringARefreshDropsTheFeedOnItsWay) {
    QTemporaryDir dir;
    QFile csv(dir.filePath(u"draws.csv"_s));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("2026120801,01,02,03,04,05\n");
    csv.close();
    DrawSourceOptions options;
    options.csvFile = csv.fileName();
    options.latencyMs = 300;
    startSource(options);
    startUp();
    ASSERT_TRUE(csv.open(QIODevice::Append));
    csv.write("2026120802,06,07,08,09,10\n");
    csv.close();
    const qsizetype before = source_->requestLog().size();

    click("btnkaijiang");
    // Closed while the source holds the feed's answer back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return source_->requestLog().size() == before + 1; }, 20000))
        << "the refresh had asked for the feed";
    // The pass ends once, after storing when it stores: its end is the moment to look.
    QSignalSpy passEnded(window().findChild<LatestDrawUpdater*>(), &LatestDrawUpdater::finished);
    window().close();
    ASSERT_TRUE(passEnded.count() > 0 || passEnded.wait(20000)) << "the cancelled pass never ended";
    EXPECT_FALSE(db_->periods(u"山东11选5"_s).contains(u"2026120802"_s)) << "stored after the window closed";
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(EndToEnd, ClosingTheWindowDuringTheStartUpDownloadStoresNoneOfIt) {
    DrawSourceOptions options;
    options.latencyMs = 300;
    startSource(options);
    window().FormCreate();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !source_->requestLog().isEmpty(); }, 20000));
    QSignalSpy downloadEnded(window().findChild<HistoryDownloader*>(), &HistoryDownloader::finished);
    window().close();
    ASSERT_TRUE(downloadEnded.count() > 0 || downloadEnded.wait(20000)) << "the cancelled download never ended";
    for (const QString& lottery : LotteryNames())
        EXPECT_TRUE(db_->periods(lottery).isEmpty()) << lottery.toStdString();
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

TEST_F(EndToEnd, RapidClicksDuringASlowRefreshLeaveOneConsistentReport) {
    DrawSourceOptions options;
    options.latencyMs = 250;
    startSource(options);
    startUp();

    click("btnkaijiang");
    click("btnrefresh");
    clickRadio("optcaipiao", 1);
    click("btnnext");
    clickRadio("opttype", 4);
    click("btnkaijiang");
    clickRadio("optcaipiao", 3);
    click("btnrefresh");
    chooseCodeCount(1);
    EXPECT_TRUE(window().runGoing());
    waitIdle();

    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
    EXPECT_EQ(window().state().CurrentLottery, u"江西11选5"_s);
    EXPECT_EQ(lines("memkj").size(), publishedInTenDays(u"江西11选5"_s));
    expectReportOfStoredDraws();
    EXPECT_EQ(control<QLabel>("lblcode")->text(), u"当前投注：1注"_s);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
} // namespace tarvo::test
