#include "WindowFixture.h"

#include "tarvo/fetch/SourceSettings.h"
#include "tarvo/store/Connection.h"
#include "tarvo/store/LiveRecord.h"
#include "tarvo/store/StoreError.h"

#include <QFile>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;

// A window over thirty stored draws of 山东11选5 whose only source is a file the test writes, as a
// player's own spreadsheet export would be: a draw appended to it arrives at the next refresh.
class LiveRecordWindow : public WindowFixture {
protected:
    LiveRecordWindow() {
        QList<QList<int>> draws;
        for (int i = 0; i < 30; ++i)
            draws << QList<int>{1 + i % 11, 1 + (i + 3) % 11, 1 + (i + 5) % 11, 1 + (i + 7) % 11, 1 + (i + 9) % 11};
        const QList<QStringList> rows = Rows(2026120801, draws);
        db_->insertRows(kShandong, rows);
        for (const QStringList& row : rows)
            publish(row);
        QFile settings(db_->appDir() + SettingsFileName());
        EXPECT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[source1]\nname=抄录的开奖\nkind=file\npath=draws-{code}.csv\n\n[notify]\ntray=0\nsound=0\n");
    }

    void publish(const QStringList& row) {
        QFile file(db_->appDir() + u"draws-sd11x5.csv"_s);
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(row.join(u',').toUtf8() + "\n");
    }

    // The record as stored; none while the table is not of this version's shape.
    QList<LivePlan> record() {
        try {
            Connection connection(db_->filePath());
            connection.open();
            return LiveRecord(connection.database()).read({});
        } catch (const StoreError&) {
            return {};
        }
    }

    // The record is written on the database thread after the report: waits until it holds `count`
    // plans, the last of them as `expected` says.
    ::testing::AssertionResult recordHolds(qsizetype count, std::function<bool(const LivePlan&)> expected) {
        QList<LivePlan> plans;
        if (QTest::qWaitFor(
                [&] {
                    plans = record();
                    return plans.size() == count && expected(plans.last());
                },
                10000))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the record holds " << plans.size() << " plans";
    }

    // The 计划进行中 line of the plan box.
    QString runningLine() { return lines("memjihua").filter(u"计划进行中"_s).value(0); }
};

TEST_F(LiveRecordWindow, EachPlanShownIsRecordedOnceJudgedByTheDrawThatDecidesItAndAnnounced) {
    startUp();
    const auto running = [](const LivePlan& plan) { return plan.outcome == LiveOutcome::Running && !plan.left; };
    ASSERT_TRUE(recordHolds(1, running));
    const LivePlan shown = record()[0];
    EXPECT_EQ(shown.lottery, kShandong);
    EXPECT_TRUE(runningLine().startsWith(shown.firstPeriod.mid(2) + u'-' + shown.lastPeriod.mid(2)))
        << runningLine().toStdString();

    // Shown again by a refresh and after a restart: still one recommendation.
    tick();
    waitIdle();
    window().close();
    resetWindow();
    startUp();
    EXPECT_TRUE(recordHolds(1, running));

    // Another play type is another recommendation; the one left stays as it was shown, marked.
    clickRadio("opttype", 0); // 前一: the plan hits when the first number drawn is a bet number
    waitIdle();
    ASSERT_TRUE(recordHolds(2, [](const LivePlan& plan) { return plan.playType == u"前一"_s && !plan.left; }));
    const QList<LivePlan> twoPlans = record();
    EXPECT_TRUE(twoPlans[0].left);
    EXPECT_EQ(twoPlans[0].betNumbers, shown.betNumbers);
    const LivePlan front1 = twoPlans[1];

    // The next draw leads with a bet number: the plan hits at the period it has reached.
    const QList<QStringList> before = db_->rows(kShandong);
    const int reached = int(2026120831 - front1.firstPeriod.toLongLong()) + 1;
    ASSERT_GE(reached, 1);
    const QString lead = front1.betNumbers.left(2);
    QStringList newDraw{u"2026120831"_s, lead};
    for (int number = 1; newDraw.size() < 6; ++number) {
        if (u"%1"_s.arg(number, 2, 10, QChar(u'0')) != lead)
            newDraw << u"%1"_s.arg(number, 2, 10, QChar(u'0'));
    }
    QSignalSpy announced(&window(), &MainWindow::drawAnnounced);
    publish(newDraw);
    tick();
    ASSERT_TRUE(announced.count() > 0 || announced.wait(10000)) << "no word of the new draw";
    EXPECT_EQ(announced[0][0].toString(), u"山东11选5 第26120831期开奖"_s);
    EXPECT_EQ(announced[0][1].toString(), newDraw.mid(1).join(u' ') + u" · 计划：中（第%1期）"_s.arg(reached));
    waitIdle();
    const QList<LivePlan> judged = record();
    ASSERT_GE(judged.size(), 2);
    EXPECT_EQ(judged[1].outcome, LiveOutcome::Hit);
    EXPECT_EQ(judged[1].hitAtPeriod, reached);
    EXPECT_EQ(judged[1].decidingPeriod, u"2026120831"_s);
    EXPECT_EQ(db_->rows(kShandong), before + QList<QStringList>{newDraw}) << "the record changes no draw";

    // 实盘记录 lists what was shown and sums up the present setting's decided plans.
    click("btnfenxi");
    QWidget* analysis = window().findChild<QWidget*>(u"frmfenxi"_s);
    ASSERT_NE(analysis, nullptr);
    analysis->findChild<QTabWidget*>(u"tabFenxi"_s)
        ->setCurrentWidget(analysis->findChild<QWidget*>(u"tabLiveRecord"_s));
    // Three plans recorded (the first left, the hit, the one running now); the present setting's two shown.
    QLabel* summary = analysis->findChild<QLabel*>(u"lblLiveSummary"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return summary->text() == u"共记录 3 个计划，显示 2 个。"_s; }, 10000))
        << summary->text().toStdString();
    EXPECT_EQ(analysis->findChild<QTableView*>(u"tblLiveRecordView"_s)->model()->rowCount(), 2);
    EXPECT_TRUE(analysis->findChild<QLabel*>(u"lblLiveFigures"_s)->text().startsWith(u"完成计划 1，命中 1，未中 0"_s))
        << analysis->findChild<QLabel*>(u"lblLiveFigures"_s)->text().toStdString();
    EXPECT_EQ(analysis->findChild<QLabel*>(u"lblLiveResponsibility"_s)->text(),
              u"理性购彩，量力而行；未成年人不得购买彩票。"_s);
}

// A record table of an older shape is set aside under another name, said once in the status line,
// and a new record started; the draws stay as they were.
TEST_F(LiveRecordWindow, ARecordOfAnotherShapeIsSetAsideSaidOnceAndANewOneStarted) {
    {
        Connection connection(db_->filePath());
        connection.open();
        QSqlQuery(connection.database()).exec(u"create table \"实盘记录\" (\"期号\" text, \"号码\" text)"_s);
    }
    const QList<QStringList> before = db_->rows(kShandong);
    startUp();
    ASSERT_TRUE(recordHolds(1, [](const LivePlan&) { return true; }));
    ASSERT_TRUE(QTest::qWaitFor([this] { return control<QLabel>("lblstatus")->text().contains(u"实盘记录"_s); }, 10000))
        << control<QLabel>("lblstatus")->text().toStdString();
    EXPECT_EQ(db_->rows(kShandong), before);
}

} // namespace
} // namespace tarvo::test
