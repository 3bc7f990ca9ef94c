#include "WindowFixture.h"

#include "tarvo/plan/FormulaPool.h"

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

const QString kShandong = u"山东11选5"_s;

// The plan still running at the newest draw, as draws arrive one refresh at a time: 前一 with 9 codes
// and 3 periods, over draws made to hit or miss the formula of each plan.
class PlanAtTheNewestDraw : public WindowFixture {
protected:
    // The i-th number of a formula as the report writes it.
    QString code(int formula, int i) const {
        return QString::fromStdString(pool_[std::size_t(formula)].substr(std::size_t(3 * i), 2));
    }

    // A draw whose first number is the formula's 1st (a hit for 前一 with 9 codes) or its 10th (a miss).
    QStringList draw(int period, int formula, bool hit) const {
        const int first = hit ? 0 : 9;
        const int second = hit ? 9 : 0;
        return {u"20261208%1"_s.arg(period, 2, 10, QChar(u'0')),
                code(formula, first),
                code(formula, second),
                code(formula, 10),
                code(formula, 1),
                code(formula, 2)};
    }

    QString planLine(const QStringList& row, const QString& periods, bool hit) const {
        return periods + u"期【前一】"_s + row[0].mid(2) + u"期开"_s + row.mid(1).join(u' ') + u"  3期 "_s +
               (hit ? u"中"_s : u"挂"_s);
    }

    QString betsOf(int formula) const {
        QString bets;
        for (int i = 0; i < 9; ++i)
            bets += code(formula, i) + u',';
        return bets;
    }

    void refreshWith(const QStringList& row) {
        db_->insertRows(kShandong, {row});
        tick();
        waitIdle();
    }

    QStringList planMemo() { return text("memjihua").split(u'\n'); }

    FormulaPool pool_ = BuildFormulaPool(formulaSeed_);
};

TEST_F(PlanAtTheNewestDraw, ItsLineAndBetsAreRightOnePeriodBeforeItsLastAndOnceItsLastPeriodIsDrawn) {
    // Plan 1 (row 0, formula 0) misses rows 0..2; plan 2 (row 3, formula 3) has seen rows 3 and 4.
    const QList<QStringList> first{draw(1, 0, false), draw(2, 0, false), draw(3, 0, false), draw(4, 3, false),
                                   draw(5, 3, false)};
    db_->insertRows(kShandong, first);
    startUp();
    ASSERT_EQ(window().formulaPool(), pool_);
    const QString plan1 = planLine(first[2], u"26120801-26120803"_s, false);
    EXPECT_EQ(planMemo().mid(0, 4), (QStringList{plan1, u"26120804-26120806期【直选】 计划进行中。。。"_s, QString(),
                                                 u"计划成功率0% 中[0]    挂[1]  连挂[0]  连中[0]"_s}));
    EXPECT_EQ(text("memcode"), betsOf(3));

    // Its last period misses too: the next plan starts after it, with that row's formula.
    const QStringList sixth = draw(6, 3, false);
    refreshWith(sixth);
    const QString plan2 = planLine(sixth, u"26120804-26120806"_s, false);
    EXPECT_EQ(planMemo().mid(0, 5), (QStringList{plan1, plan2, u"26120807-26120809期【直选】 计划进行中。。。"_s,
                                                 QString(), u"计划成功率0% 中[0]    挂[2]  连挂[1]  连中[0]"_s}));
    EXPECT_EQ(text("memcode"), betsOf(6));

    // One period before its last, then a hit at its last.
    refreshWith(draw(7, 6, false));
    refreshWith(draw(8, 6, false));
    EXPECT_EQ(planMemo()[2], u"26120807-26120809期【直选】 计划进行中。。。"_s);
    EXPECT_EQ(text("memcode"), betsOf(6));
    const QStringList ninth = draw(9, 6, true);
    refreshWith(ninth);
    EXPECT_EQ(planMemo().mid(0, 5), (QStringList{plan1, plan2, planLine(ninth, u"26120807-26120809"_s, true),
                                                 u"26120810-26120812期【直选】 计划进行中。。。"_s, QString()}));
    EXPECT_EQ(planMemo()[5], u"计划成功率33% 中[1]    挂[2]  连挂[1]  连中[1]"_s);
    EXPECT_EQ(text("memcode"), betsOf(9));
    EXPECT_EQ(control<QLabel>("lblcode")->text(), u"当前投注：9注"_s);
    EXPECT_TRUE(errors_.isEmpty()) << errors_.join(u'\n').toStdString();
}

} // namespace
} // namespace tarvo::test
