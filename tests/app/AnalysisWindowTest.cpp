#include "WindowFixture.h"

#include "tarvo/app/AnalysisText.h"
#include "tarvo/app/FigureTable.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/plan/DrawChance.h"
#include "tarvo/plan/OmissionTable.h"
#include "tarvo/plan/PlanAgainstChance.h"
#include "tarvo/plan/TrendGrid.h"

#include <QAbstractItemModel>
#include <QClipboard>
#include <QGuiApplication>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <random>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

QList<QList<int>> ShuffledDraws(int count, unsigned seed) {
    std::mt19937 random(seed);
    QList<QList<int>> draws;
    for (int i = 0; i < count; ++i) {
        std::vector<int> numbers{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        std::shuffle(numbers.begin(), numbers.end(), random);
        draws << QList<int>(numbers.begin(), numbers.begin() + 5);
    }
    return draws;
}

// The main window over 120 draws of 山东11选5 and 25 of 重庆11选5, with the analysis window open.
class AnalysisWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        db_->insertRows(u"山东11选5"_s, Rows(2026120101, ShuffledDraws(120, 5)));
        db_->insertRows(u"重庆11选5"_s, Rows(2026120801, ShuffledDraws(25, 9)));
        startUp();
        click("btnfenxi");
    }

    QWidget* analysis() {
        const QList<QWidget*> found = window().findChildren<QWidget*>(u"frmfenxi"_s);
        EXPECT_EQ(found.size(), 1);
        return found.value(0);
    }
    template <typename T> T* part(const char* name) {
        T* found = analysis()->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString shown(const char* labelName) { return part<QLabel>(labelName)->text(); }
    QAbstractItemModel* table(const char* name) { return part<QTableView>(name)->model(); }
    QString cell(const char* tableName, int row, int column) {
        return table(tableName)->index(row, column).data().toString();
    }
    PlanAgainstChance engineRecord() {
        const PlanChoices& choices = *window().session().lastChoices();
        return ComparePlanWithChance(*window().session().lastResult(), choices.playType, choices.codeCount,
                                     choices.planPeriods);
    }
    // The record tab's figures as the engine gives them for the main window's last plan run.
    void expectTheEngineRecord() {
        const PlanAgainstChance figures = engineRecord();
        EXPECT_EQ(shown("lblPlans"), QString::number(figures.plans));
        EXPECT_EQ(shown("lblHits"), QString::number(figures.hits));
        EXPECT_EQ(shown("lblMisses"), QString::number(figures.misses));
        EXPECT_TRUE(shown("lblDrawHitProbability").startsWith(PercentText(figures.drawHitProbability)));
        EXPECT_TRUE(shown("lblPlanHitProbability").startsWith(PercentText(figures.planHitProbability)));
        EXPECT_TRUE(shown("lblLongestMissRun").startsWith(QString::number(figures.longestMissRun)));
        const QAbstractItemModel* periods = table("tblHitAtPeriodView");
        ASSERT_EQ(periods->rowCount(), int(figures.hitsAtPeriod.size()));
        for (int i = 0; i < periods->rowCount(); ++i)
            EXPECT_EQ(periods->index(i, 1).data().toInt(), figures.hitsAtPeriod[std::size_t(i)]) << i;
    }
    // The omission tab's rows as the engine gives them for the window's draw history, over all draws.
    void expectTheEngineOmission() {
        part<QComboBox>("cmbOmissionDraws")->setCurrentIndex(2);
        const OmissionTable expected = BuildOmissionTable(window().state().DrawHistory, std::nullopt, AnyPosition);
        EXPECT_EQ(shown("lblOmissionDraws"), u"统计期数 N = %1"_s.arg(expected.draws));
        ASSERT_EQ(table("tblOmissionView")->rowCount(), 11);
        for (int row = 0; row < 11; ++row) {
            const NumberOmission& number = expected.numbers[std::size_t(row)];
            EXPECT_EQ(cell("tblOmissionView", row, 0), TwoDigits(number.number));
            EXPECT_EQ(cell("tblOmissionView", row, 1).toInt(), number.hits);
            EXPECT_EQ(cell("tblOmissionView", row, 3).toInt(), number.current);
            EXPECT_EQ(cell("tblOmissionView", row, 4).toInt(), number.longest);
        }
    }
};

TEST_F(AnalysisWindowTest, TheButtonOpensOneWindowThatASecondClickBringsBackWithItsChoices) {
    const QRect button = control<QPushButton>("btnfenxi")->geometry();
    EXPECT_GE(button.top(), control<QPushButton>("btnclose")->geometry().bottom());
    EXPECT_LE(button.bottom(), control<QLabel>("imgqq")->geometry().top());
    ASSERT_TRUE(analysis()->isVisible());
    EXPECT_FALSE(analysis()->isModal());

    part<QComboBox>("cmbTrendDraws")->setCurrentIndex(2);
    part<QComboBox>("cmbOmissionPosition")->setCurrentIndex(3);
    analysis()->close();
    ASSERT_FALSE(analysis()->isVisible());
    click("btnfenxi");
    click("btnfenxi");
    EXPECT_TRUE(analysis()->isVisible());
    EXPECT_EQ(part<QComboBox>("cmbTrendDraws")->currentText(), u"最近100期"_s);
    EXPECT_EQ(part<QComboBox>("cmbOmissionPosition")->currentText(), u"第三位"_s);
    EXPECT_EQ(table("tblTrendView")->rowCount(), 100 + 4);
}

TEST_F(AnalysisWindowTest, TheTabsFollowTheMainWindowsPlayTypePoolAndLottery) {
    expectTheEngineRecord();
    expectTheEngineOmission();
    EXPECT_EQ(table("tblTrendView")->rowCount(), 30 + 4);
    EXPECT_EQ(part<QLineEdit>("edtStakePrize")->text(), u"13"_s);

    clickRadio("opttype", 4);
    waitIdle();
    EXPECT_EQ(window().session().lastChoices()->playType, PlayType::Any2);
    expectTheEngineRecord();
    EXPECT_EQ(part<QLineEdit>("edtStakePrize")->text(), u"6"_s);

    const PlanAgainstChance before = engineRecord();
    formulaSeed_ = 77;
    click("btnnext");
    waitIdle();
    ASSERT_NE(engineRecord().hitsAtPeriod, before.hitsAtPeriod) << "the new pool should change the record";
    expectTheEngineRecord();

    clickRadio("optcaipiao", 2);
    waitIdle();
    EXPECT_TRUE(shown("lblFenxiSource").startsWith(u"重庆11选5，共 25 期"_s));
    expectTheEngineOmission();
    EXPECT_EQ(table("tblTrendView")->rowCount(), 25 + 4);
    expectTheEngineRecord();
}

TEST_F(AnalysisWindowTest, TheTrendChartShowsEachDrawAsBallsAndOtherCellsAsOmissions) {
    const QAbstractItemModel* trend = table("tblTrendView");
    const Draw& last = window().state().DrawHistory.back();
    const int lastRow = trend->rowCount() - 5;
    const TrendGrid grid = BuildTrendGrid(window().state().DrawHistory, 30, AnyPosition);
    int balls = 0;
    for (int number = 1; number <= 11; ++number) {
        const QModelIndex index = trend->index(lastRow, 1 + number);
        const bool drawn = std::find(last.begin() + 1, last.end(), number) != last.end();
        const bool ball = index.data(FigureTable::MarkRole).toInt() == int(FigureTable::Mark::Ball);
        EXPECT_EQ(ball, drawn) << number;
        const TrendCell& expected = grid.rows.back().cells[std::size_t(number - 1)];
        EXPECT_EQ(index.data().toString(), drawn ? TwoDigits(number) : QString::number(expected.omission));
        balls += ball ? 1 : 0;
    }
    EXPECT_EQ(balls, 5);
    EXPECT_EQ(trend->index(trend->rowCount() - 4, 0).data().toString(), u"出现次数"_s);
    EXPECT_EQ(trend->index(trend->rowCount() - 1, 0).data().toString(), u"最大连出"_s);

    part<QComboBox>("cmbTrendPosition")->setCurrentIndex(1);
    int firstPositionBalls = 0;
    for (int number = 1; number <= 11; ++number)
        firstPositionBalls +=
            trend->index(lastRow, 1 + number).data(FigureTable::MarkRole).toInt() == int(FigureTable::Mark::Ball);
    EXPECT_EQ(firstPositionBalls, 1);
    EXPECT_EQ(trend->index(lastRow, 1 + last[1]).data(FigureTable::MarkRole).toInt(), int(FigureTable::Mark::Ball));
}

TEST_F(AnalysisWindowTest, TheStakeTabSaysWhenNoScheduleCanReachTheRateAndCopiesOneThatCanToTheClipboard) {
    part<QTabWidget>("tabFenxi")->setCurrentIndex(3);
    // 前一 9码: 9 bets of 2元 = 18元 a period; one winning bet of 13元 never makes 10 % on it.
    EXPECT_TRUE(part<QLabel>("lblStakeMessage")->isVisible());
    EXPECT_TRUE(shown("lblStakeMessage").startsWith(u"无法制定倍投计划"_s));
    EXPECT_FALSE(part<QWidget>("tblStake")->isVisible());

    // A prize of 25元: headroom 25 − 19.8 = 5.2 a multiple, so m = 1, ⌈19.8/5.2⌉ = 4, ⌈99/5.2⌉ = 20.
    part<QLineEdit>("edtStakePrize")->setText(u"25"_s);
    ASSERT_TRUE(part<QWidget>("tblStake")->isVisible());
    EXPECT_FALSE(part<QLabel>("lblStakeMessage")->isVisible());
    ASSERT_EQ(table("tblStakeView")->rowCount(), 3);
    const QStringList multipliers{cell("tblStakeView", 0, 1), cell("tblStakeView", 1, 1), cell("tblStakeView", 2, 1)};
    EXPECT_EQ(multipliers, (QStringList{u"1"_s, u"4"_s, u"20"_s}));
    EXPECT_EQ(cell("tblStakeView", 2, 3), u"450元"_s);
    EXPECT_EQ(cell("tblStakeView", 2, 5), u"50元"_s);
    EXPECT_TRUE(shown("lblStakeOutlook").contains(u"共亏损 450元"_s));

    // Sorting goes by amount, not by text ("450元" < "90元" as text); the copy follows the order shown.
    part<QTableView>("tblStakeView")->sortByColumn(3, Qt::DescendingOrder);
    QTest::mouseClick(part<QPushButton>("tblStakeCopy"), Qt::LeftButton);
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(u"期\t倍数\t本期投入\t累计投入"_s));
    EXPECT_TRUE(lines[1].startsWith(u"3\t20\t360元\t450元"_s));
    EXPECT_TRUE(lines[3].startsWith(u"1\t1\t18元\t18元"_s));

    clickRadio("opttype", 3);
    waitIdle();
    EXPECT_TRUE(part<QLineEdit>("edtStakePrize")->text().isEmpty());
    EXPECT_TRUE(shown("lblStakeMessage").startsWith(u"任一没有官方奖金"_s));
}

} // namespace
} // namespace tarvo::test
