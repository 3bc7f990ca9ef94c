#include "WindowFixture.h"

#include "ReferencePlan.h"

#include "tarvo/app/FigureTable.h"
#include "tarvo/app/RadioGroup.h"
#include "tarvo/plan/FormulaPool.h"

#include <QAbstractItemModel>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QGuiApplication>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

constexpr int Shandong = 0;
constexpr int Guangdong = 1;
constexpr int Chongqing = 2;
constexpr int Jiangxi = 3;

const QString BelowChance = u"显著低于随机投注：随机投注的计划命中概率高于本计划命中率的95%置信区间"_s;
const QString AboveChance =
    u"显著高于随机投注：随机投注的计划命中概率低于本计划命中率的95%置信区间（长期回报不会因此改变）"_s;
const QString NoDifference = u"与随机投注无显著差异：随机投注的计划命中概率落在本计划命中率的95%置信区间内"_s;

// Draws over which 前一 plans betting the first K numbers of their formula, n draws each, end as
// `outcomes` say: k ≥ 1 a hit at the plan's k-th draw, 0 a miss (n draws). A plan's formula is the
// one of `pool` at the plan's first row, and a draw hits it when its first number is one of the
// formula's first K; the draws after the outcomes (`running` of them) miss the plan that is then
// still running.
QList<QList<int>> Front1Draws(const FormulaPool& pool, int codeCount, int n, const std::vector<int>& outcomes,
                              int running = 0) {
    QList<QList<int>> draws;
    const auto add = [&](qsizetype firstRow, bool hit) {
        const std::string& formula = pool[std::size_t(firstRow) % pool.size()];
        const int first = std::stoi(formula.substr(hit ? 0 : std::size_t(3 * codeCount), 2));
        QList<int> draw{first};
        for (int number = 1; draw.size() < 5; ++number) {
            if (number != first)
                draw << number;
        }
        draws << draw;
    };
    for (int outcome : outcomes) {
        const qsizetype firstRow = draws.size();
        for (int i = 1; i <= (outcome == 0 ? n : outcome); ++i)
            add(firstRow, i == outcome);
    }
    const qsizetype firstRow = draws.size();
    for (int i = 0; i < running; ++i)
        add(firstRow, false);
    return draws;
}

// Eight draws of 重庆11选5 whose figures are worked out by hand below.
const QList<QList<int>> ChongqingDraws{{1, 2, 3, 4, 5},  {6, 7, 8, 9, 10}, {1, 3, 5, 7, 11},  {2, 4, 6, 8, 10},
                                       {11, 1, 2, 3, 4}, {5, 6, 7, 8, 9},  {3, 11, 10, 1, 2}, {4, 5, 6, 7, 1}};

DrawHistory HistoryOf(qint64 firstPeriod, const QList<QList<int>>& draws) {
    DrawHistory history;
    for (const QList<int>& numbers : draws) {
        Draw draw{std::int32_t(firstPeriod % 100000000 + qint64(history.size()))};
        std::copy(numbers.begin(), numbers.end(), draw.begin() + 1);
        history.push_back(draw);
    }
    return history;
}

// The main window, with the analysis window open, over draws whose plan records are known: with the
// window's first formula pool, 前一 9码 ends its plans of three draws over 山东's 35 draws as
// hit at 2, miss, miss, hit at 1, hit at 3 and seven misses (two draws of a running plan follow); its
// plans of one draw over 广东's 30 draws all hit; its plans of 230 draws over 江西's 463 hit at 1, 15,
// 16, 201 and 230. 重庆 holds eight draws written out by hand.
class AnalysisWindowTest : public WindowFixture {
protected:
    void SetUp() override {
        const FormulaPool pool = BuildFormulaPool(formulaSeed_);
        shandong_ = Front1Draws(pool, 9, 3, {2, 0, 0, 1, 3, 0, 0, 0, 0, 0, 0, 0}, 2);
        db_->insertRows(u"山东11选5"_s, Rows(2026120101, shandong_));
        db_->insertRows(u"广东11选5"_s, Rows(2026120101, Front1Draws(pool, 9, 1, std::vector<int>(30, 1))));
        db_->insertRows(u"江西11选5"_s, Rows(2026120101, Front1Draws(pool, 9, 230, {1, 15, 16, 201, 230})));
        db_->insertRows(u"重庆11选5"_s, Rows(2026120801, ChongqingDraws));
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
    QStringList column(const char* tableName, int column, int firstRow, int rows) {
        QStringList cells;
        for (int row = firstRow; row < firstRow + rows; ++row)
            cells << cell(tableName, row, column);
        return cells;
    }
    // Chooses a lottery after typing the plan's draw count, and waits for the run it starts.
    void choose(int lottery, const QString& planPeriods) {
        control<QLineEdit>("edtjihuaqishu")->setText(planPeriods);
        clickRadio("optcaipiao", lottery);
        waitIdle();
    }

    // The record tab shows what the plain walk of the main window's choices over `draws` with `pool`
    // gives: the plans, their hits and misses, the longest run of misses and the plans decided at
    // each draw.
    void expectReferenceRecord(const QList<QList<int>>& draws, const FormulaPool& pool) {
        const int playType = control<RadioGroup>("opttype")->itemIndex();
        const int codeCount = ReferenceCodeCount(playType, control<QComboBox>("comjushu")->currentIndex());
        const int n = control<QLineEdit>("edtjihuaqishu")->text().toInt();
        const std::vector<int> outcomes =
            ReferencePlanReport(playType, codeCount, n, HistoryOf(2026120101, draws), pool).outcomes;
        std::vector<int> hitsAt(std::size_t(n), 0);
        int hits = 0, missRun = 0, longestMissRun = 0;
        for (int outcome : outcomes) {
            hits += outcome > 0 ? 1 : 0;
            missRun = outcome > 0 ? 0 : missRun + 1;
            longestMissRun = std::max(longestMissRun, missRun);
            if (outcome > 0)
                ++hitsAt[std::size_t(outcome - 1)];
        }
        EXPECT_EQ(shown("lblPlans"), QString::number(outcomes.size()));
        EXPECT_EQ(shown("lblHits"), QString::number(hits));
        EXPECT_EQ(shown("lblMisses"), QString::number(int(outcomes.size()) - hits));
        EXPECT_TRUE(shown("lblLongestMissRun").startsWith(u"%1 次；"_s.arg(longestMissRun)))
            << shown("lblLongestMissRun").toStdString();
        ASSERT_EQ(table("tblHitAtPeriodView")->rowCount(), n);
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(cell("tblHitAtPeriodView", i, 1).toInt(), hitsAt[std::size_t(i)]) << "period " << i + 1;
    }

    // 重庆's eight draws over all of them and every position, counted by hand: 01 came in draws 1, 3,
    // 5, 7 and 8, so 5 times, none since and never more than one draw apart; 09 in draws 2 and 6, not
    // in the two since and three draws apart at most (3, 4, 5); and so on.
    void expectChongqingOmission() {
        part<QComboBox>("cmbOmissionDraws")->setCurrentIndex(2);
        part<QComboBox>("cmbOmissionPosition")->setCurrentIndex(0);
        EXPECT_EQ(shown("lblOmissionDraws"), u"统计期数 N = 8"_s);
        ASSERT_EQ(table("tblOmissionView")->rowCount(), 11);
        EXPECT_EQ(column("tblOmissionView", 0, 0, 11),
                  (QStringList{u"01"_s, u"02"_s, u"03"_s, u"04"_s, u"05"_s, u"06"_s, u"07"_s, u"08"_s, u"09"_s, u"10"_s,
                               u"11"_s}));
        EXPECT_EQ(column("tblOmissionView", 1, 0, 11).join(u' '), u"5 4 4 4 4 4 4 3 2 3 3"_s);
        EXPECT_EQ(column("tblOmissionView", 2, 0, 11), QStringList(11, u"3.6"_s)); // 8·5/11
        EXPECT_EQ(column("tblOmissionView", 3, 0, 11).join(u' '), u"0 1 1 0 0 0 0 2 2 1 1"_s);
        EXPECT_EQ(column("tblOmissionView", 4, 0, 11).join(u' '), u"1 2 1 2 2 1 2 2 3 2 2"_s);
        // (8 − 5) / 6, (8 − 4) / 5, (8 − 2) / 3
        EXPECT_EQ(cell("tblOmissionView", 0, 5), u"0.50"_s);
        EXPECT_EQ(cell("tblOmissionView", 1, 5), u"0.80"_s);
        EXPECT_EQ(cell("tblOmissionView", 8, 5), u"2.00"_s);
    }

    QList<QList<int>> shandong_;
};

TEST_F(AnalysisWindowTest, TheButtonOpensOneWindowThatASecondClickBringsBackWithItsChoices) {
    const QRect button = control<QPushButton>("btnfenxi")->geometry();
    EXPECT_GE(button.top(), control<QPushButton>("btnclose")->geometry().bottom());
    EXPECT_LE(button.bottom(), control<QLabel>("imgqq")->geometry().top());
    ASSERT_TRUE(analysis()->isVisible());
    EXPECT_FALSE(analysis()->isModal());
    EXPECT_EQ(table("tblTrendView")->rowCount(), 30 + 4);

    part<QComboBox>("cmbTrendDraws")->setCurrentIndex(2);
    part<QComboBox>("cmbOmissionPosition")->setCurrentIndex(3);
    analysis()->close();
    ASSERT_FALSE(analysis()->isVisible());
    click("btnfenxi");
    click("btnfenxi");
    EXPECT_TRUE(analysis()->isVisible());
    EXPECT_EQ(part<QComboBox>("cmbTrendDraws")->currentText(), u"最近100期"_s);
    EXPECT_EQ(part<QComboBox>("cmbOmissionPosition")->currentText(), u"第三位"_s);
    EXPECT_EQ(table("tblTrendView")->rowCount(), 35 + 4);
}

TEST_F(AnalysisWindowTest, TheRecordTabComparesTheRecordWithChanceInFiguresWorkedOutByHand) {
    // 山东: 12 plans of at most three draws, 3 hits (at their 2nd, 1st and 3rd draw), 9 misses, the last
    // seven in a row. 9 of 11 first numbers hit: p = 9·5040 / 55440; q = 1 − (2/11)³ = 1323/1331. The
    // Wilson interval of 3 in 12 is 8.894 % to 53.23 %, all of it below q.
    ASSERT_EQ(window().session().lastChoices()->codeCount, 9);
    EXPECT_EQ(shown("lblPlans"), u"12"_s);
    EXPECT_EQ(shown("lblHits"), u"3"_s);
    EXPECT_EQ(shown("lblMisses"), u"9"_s);
    EXPECT_EQ(shown("lblObservedRate"), u"25.00%"_s);
    EXPECT_EQ(shown("lblDrawHitProbability"), u"81.82%（45360 / 55440 种开奖顺序）"_s);
    EXPECT_EQ(shown("lblPlanHitProbability"), u"99.40%（q = 1 − (1 − p)^3）"_s);
    EXPECT_EQ(shown("lblWilson"), u"8.894% ～ 53.23%"_s);
    EXPECT_EQ(shown("lblVerdict"), BelowChance);
    // Chance misses a plan with 8/1331: twelve plans most often miss none at all.
    EXPECT_TRUE(shown("lblLongestMissRun").startsWith(u"7 次；随机投注同样 12 个计划，最长连挂通常是 0 次，"_s))
        << shown("lblLongestMissRun").toStdString();
    EXPECT_EQ(shown("lblReturnPerYuan"), u"按官方奖金，每投入1元长期平均拿回 0.5909 元（亏损 40.91%）"_s);
    // Expected: 12·9/11, then times 2/11 for each draw later.
    EXPECT_EQ(column("tblHitAtPeriodView", 0, 0, 3), (QStringList{u"第1期"_s, u"第2期"_s, u"第3期"_s}));
    EXPECT_EQ(column("tblHitAtPeriodView", 1, 0, 3), (QStringList{u"1"_s, u"1"_s, u"1"_s}));
    EXPECT_EQ(column("tblHitAtPeriodView", 2, 0, 3), (QStringList{u"9.82"_s, u"1.79"_s, u"0.32"_s}));

    // 广东: 30 plans of one draw, all hit; q = 9/11 lies below the interval's 88.65 %.
    choose(Guangdong, u"1"_s);
    EXPECT_EQ(shown("lblPlans"), u"30"_s);
    EXPECT_EQ(shown("lblHits"), u"30"_s);
    EXPECT_EQ(shown("lblPlanHitProbability"), u"81.82%（q = 1 − (1 − p)^1）"_s);
    EXPECT_EQ(shown("lblWilson"), u"88.65% ～ 100.0%"_s);
    EXPECT_EQ(shown("lblVerdict"), AboveChance);

    // 江西: 5 plans of 230 draws, all hit; q is 1 to the last digit, inside the interval 56.55 % to 100 %.
    choose(Jiangxi, u"230"_s);
    EXPECT_EQ(shown("lblPlans"), u"5"_s);
    EXPECT_EQ(shown("lblHits"), u"5"_s);
    EXPECT_EQ(shown("lblWilson"), u"56.55% ～ 100.0%"_s);
    EXPECT_EQ(shown("lblVerdict"), NoDifference);
}

TEST_F(AnalysisWindowTest, APlanOfManyDrawsFoldsItsLaterDrawsIntoTheLastBarAndTheLastTableRow) {
    // 江西's five plans of 230 draws hit at their 1st, 15th, 16th, 201st and 230th draw.
    choose(Jiangxi, u"230"_s);
    QChart* chart = part<QChartView>("chartHitAtPeriod")->chart();
    ASSERT_EQ(chart->series().size(), 1);
    const QList<QBarSet*> sets = static_cast<QBarSeries*>(chart->series().front())->barSets();
    ASSERT_EQ(sets.size(), 2);
    QList<qreal> observed;
    for (int i = 0; i < sets[0]->count(); ++i)
        observed << sets[0]->at(i);
    EXPECT_EQ(observed, (QList<qreal>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4}));
    // Chance: 5·(9/11) plans at the first draw; 5·(2/11)^14, all but nothing, at the 15th or later.
    ASSERT_EQ(sets[1]->count(), 15);
    EXPECT_NEAR(sets[1]->at(0), 5.0 * 9 / 11, 1e-9);
    EXPECT_NEAR(sets[1]->at(14), 5 * std::pow(2.0 / 11, 14), 1e-20);
    const QList<QAbstractAxis*> periods = chart->axes(Qt::Horizontal);
    ASSERT_EQ(periods.size(), 1);
    const QStringList categories = static_cast<QBarCategoryAxis*>(periods.front())->categories();
    EXPECT_EQ(categories.size(), 15);
    EXPECT_EQ(categories.value(13), u"14"_s);
    EXPECT_EQ(categories.value(14), u"15+"_s);

    ASSERT_EQ(table("tblHitAtPeriodView")->rowCount(), 200);
    EXPECT_EQ(column("tblHitAtPeriodView", 1, 0, 17).join(u' '), u"1 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 0"_s);
    EXPECT_EQ(column("tblHitAtPeriodView", 0, 198, 2), (QStringList{u"第199期"_s, u"第200期及以后"_s}));
    EXPECT_EQ(column("tblHitAtPeriodView", 1, 198, 2), (QStringList{u"0"_s, u"2"_s}));
    EXPECT_EQ(cell("tblHitAtPeriodView", 0, 2), u"4.09"_s);
}

TEST_F(AnalysisWindowTest, TheTabsFollowTheMainWindowsPlayTypePoolAndLottery) {
    EXPECT_EQ(shown("lblPlans"), u"12"_s);
    EXPECT_EQ(part<QLineEdit>("edtStakePrize")->text(), u"13"_s);

    clickRadio("opttype", 4);
    waitIdle();
    EXPECT_EQ(window().session().lastChoices()->playType, PlayType::Any2);
    expectReferenceRecord(shandong_, BuildFormulaPool(0));
    EXPECT_EQ(part<QLineEdit>("edtStakePrize")->text(), u"6"_s);

    formulaSeed_ = 77;
    click("btnnext");
    waitIdle();
    const int n = control<QLineEdit>("edtjihuaqishu")->text().toInt();
    const DrawHistory history = HistoryOf(2026120101, shandong_);
    const int codeCount = ReferenceCodeCount(4, 0);
    ASSERT_NE(ReferencePlanReport(4, codeCount, n, history, BuildFormulaPool(77)).outcomes,
              ReferencePlanReport(4, codeCount, n, history, BuildFormulaPool(0)).outcomes)
        << "the new pool should change the record";
    expectReferenceRecord(shandong_, BuildFormulaPool(77));

    clickRadio("optcaipiao", Chongqing);
    waitIdle();
    EXPECT_TRUE(shown("lblFenxiSource").startsWith(u"重庆11选5，共 8 期"_s)) << shown("lblFenxiSource").toStdString();
    expectChongqingOmission();
    EXPECT_EQ(table("tblTrendView")->rowCount(), 8 + 4);
    expectReferenceRecord(ChongqingDraws, BuildFormulaPool(77));
}

TEST_F(AnalysisWindowTest, TheTrendChartShowsEachDrawAsBallsAndOtherCellsAsOmissions) {
    clickRadio("optcaipiao", Chongqing);
    waitIdle();
    const QAbstractItemModel* trend = table("tblTrendView");
    ASSERT_EQ(trend->rowCount(), 8 + 4);
    // The last draw, 04 05 06 07 01: its numbers as balls; 02, 03, 10 and 11 last came one draw
    // before, 08 and 09 two.
    EXPECT_EQ(trend->index(7, 0).data().toString(), u"26120808"_s);
    EXPECT_EQ(trend->index(7, 1).data().toString(), u"04 05 06 07 01"_s);
    const auto row = [&](int r) {
        QStringList cells;
        for (int number = 1; number <= 11; ++number) {
            const QModelIndex index = trend->index(r, 1 + number);
            const bool ball = index.data(FigureTable::MarkRole).toInt() == int(FigureTable::Mark::Ball);
            cells << (ball ? u"(%1)"_s : u"%1"_s).arg(index.data().toString());
        }
        return cells.join(u' ');
    };
    EXPECT_EQ(row(7), u"(01) 1 1 (04) (05) (06) (07) 2 2 1 1"_s);
    // The first draw: 06 to 11 had not come yet.
    EXPECT_EQ(row(0), u"(01) (02) (03) (04) (05) 1 1 1 1 1 1"_s);
    EXPECT_EQ(trend->index(8, 0).data().toString(), u"出现次数"_s);
    EXPECT_EQ(row(8), u"5 4 4 4 4 4 4 3 2 3 3"_s);
    EXPECT_EQ(row(9).section(u' ', 0, 1), u"0.5 0.8"_s);
    EXPECT_EQ(row(10), u"1 2 1 2 2 1 2 2 3 2 2"_s);
    EXPECT_EQ(trend->index(11, 0).data().toString(), u"最大连出"_s);
    EXPECT_EQ(row(11), u"2 2 1 2 1 1 2 1 1 1 1"_s);

    // First position only: 01 06 01 02 11 05 03 04. The last shows 04 alone; 01 was first five draws
    // before, 07 never (its omission counts all eight draws).
    part<QComboBox>("cmbTrendPosition")->setCurrentIndex(1);
    EXPECT_EQ(row(7), u"5 4 1 (04) 2 6 8 8 8 8 3"_s);
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
