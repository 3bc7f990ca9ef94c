#include "WindowFixture.h"

#include "tarvo/app/ClickableImage.h"
#include "tarvo/app/RadioGroup.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace tarvo::test {
namespace {

// A window started over a few dozen stored draws of every lottery.
class PlanWindow : public WindowFixture {
protected:
    void SetUp() override {
        QList<QList<int>> draws;
        for (int i = 0; i < 40; ++i)
            draws << QList<int>{1 + i % 11, 1 + (i + 3) % 11, 1 + (i + 5) % 11, 1 + (i + 7) % 11, 1 + (i + 9) % 11};
        db_->insertRows(u"山东11选5"_s, Rows(2026120801, draws));
        db_->insertRows(u"重庆11选5"_s, Rows(2026120801, draws.mid(0, 25)));
        startUp();
    }
    QString label() { return control<QLabel>("lblcode")->text(); }
    QString periods() { return control<QLineEdit>("edtjihuaqishu")->text(); }
};

TEST_F(PlanWindow, PlayTypeFillsTheCodeCountsAndProposesThePlanPeriods) {
    clickRadio("opttype", 7);
    waitIdle();
    QComboBox* box = control<QComboBox>("comjushu");
    ASSERT_EQ(box->count(), 5);
    EXPECT_EQ(box->currentText(), u"252注"_s);
    EXPECT_EQ(periods(), u"6"_s);
    EXPECT_EQ(label(), u"当前投注：252注"_s);

    chooseCodeCount(4);
    EXPECT_EQ(periods(), u"231"_s);

    clickRadio("opttype", 0);
    waitIdle();
    chooseCodeCount(7);
    EXPECT_EQ(box->currentText(), u"2码"_s);
    EXPECT_EQ(periods(), u"17"_s);
}

TEST_F(PlanWindow, ACodeCountTakesEffectAtTheNextPlanRun) {
    const QString report = text("memjihua");
    EXPECT_EQ(label(), u"当前投注：9注"_s);

    chooseCodeCount(6);
    EXPECT_EQ(text("memjihua"), report);
    EXPECT_EQ(label(), u"当前投注：9注"_s);

    QSignalSpy written(&window(), &MainWindow::planReportWritten);
    click("btnrefresh");
    waitIdle();
    EXPECT_EQ(written.count(), 1);
    EXPECT_EQ(window().session().lastChoices()->codeCount, 3);
    EXPECT_EQ(label(), u"当前投注：3注"_s);
    EXPECT_EQ(control<QPlainTextEdit>("memcode")->toPlainText().count(u','), 3);
}

TEST_F(PlanWindow, APlanRunEndsWithTheTimerOn) {
    QTimer* timer = control<QTimer>("Timer1");
    timer->stop();
    QElapsedTimer sinceClick;
    sinceClick.start();
    click("btnrefresh");
    waitIdle();
    EXPECT_TRUE(timer->isActive());
    // Started during the run: its 30 seconds count from a moment after the click, however slow the run
    // (a coarse timer such as this one may fire up to 5 % early).
    EXPECT_GE(timer->remainingTime(), 30000 * 95 / 100 - sinceClick.elapsed());
}

TEST_F(PlanWindow, ABadPlanPeriodCountIsRefusedAndTheReportStays) {
    const QString report = text("memjihua");
    const QString bets = text("memcode");
    for (const QString& bad : {u"abc"_s, u"0"_s, u"-2"_s, u""_s, u"2.5"_s}) {
        errors_.clear();
        control<QLineEdit>("edtjihuaqishu")->setText(bad);
        control<QTimer>("Timer1")->stop();
        click("btnrefresh");
        waitIdle();
        EXPECT_EQ(errors_.size(), 1) << bad.toStdString();
        EXPECT_EQ(text("memjihua"), report);
        EXPECT_EQ(text("memcode"), bets);
        EXPECT_TRUE(control<QTimer>("Timer1")->isActive());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    }
}

TEST_F(PlanWindow, CopyPutsExactlyTheCurrentBetsOnTheClipboard) {
    const QString bets = text("memcode");
    ASSERT_TRUE(bets.endsWith(u','));
    click("btncopy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), bets);
    EXPECT_EQ(text("memcode"), bets);
    EXPECT_EQ(control<QLineEdit>("edtcopy")->text(), bets);
}

TEST_F(PlanWindow, ANewFormulaPoolChangesThePlanAndARefreshKeepsIt) {
    const QString first = text("memjihua");
    const FormulaPool firstPool = window().formulaPool();
    formulaSeed_ = 4242;
    click("btnnext");
    waitIdle();
    const QString second = text("memjihua");
    EXPECT_NE(window().formulaPool(), firstPool);
    EXPECT_NE(second, first);

    click("btnrefresh");
    waitIdle();
    EXPECT_EQ(text("memjihua"), second);
}

TEST_F(PlanWindow, ANewFormulaPoolAskedForDuringARunFollowsIt) {
    const FormulaPool firstPool = window().formulaPool();
    click("btnkaijiang");
    ASSERT_TRUE(window().runGoing()) << "the feed request is in flight";
    formulaSeed_ = 4242;
    click("btnnext");
    waitIdle();
    EXPECT_NE(window().formulaPool(), firstPool);
    const QString report = text("memjihua");
    click("btnrefresh");
    waitIdle();
    EXPECT_EQ(text("memjihua"), report) << "the report shown was made with the new pool";
}

TEST_F(PlanWindow, ALotterySwitchKeepsTheChoices) {
    clickRadio("opttype", 1);
    waitIdle();
    chooseCodeCount(2);
    const QString proposed = periods();

    clickRadio("optcaipiao", 2);
    waitIdle();
    EXPECT_EQ(window().state().CurrentLottery, u"重庆11选5"_s);
    EXPECT_EQ(window().state().DrawCount, 25);
    EXPECT_EQ(lines("memkj").size(), 25);
    EXPECT_EQ(control<RadioGroup>("opttype")->itemIndex(), 1);
    EXPECT_EQ(control<QComboBox>("comjushu")->currentText(), u"42注"_s);
    EXPECT_EQ(periods(), proposed);
    EXPECT_EQ(label(), u"当前投注：42"_s) << "the 前二 label has no trailing 注";
}

TEST_F(PlanWindow, ThePicturesOpenTheirLinks) {
    QTest::mouseClick(control<ClickableImage>("imggg"), Qt::LeftButton);
    QTest::mouseClick(control<ClickableImage>("imgqq"), Qt::LeftButton);
    ASSERT_EQ(openedUrls_.size(), 2);
    EXPECT_EQ(openedUrls_[0], environment().adUrl);
    EXPECT_EQ(openedUrls_[1], environment().chatUrl);
}

TEST_F(PlanWindow, ClicksDuringARunWaitAndAreMergedIntoOne) {
    control<QLineEdit>("edtjihuaqishu")->setText(u"4"_s);
    click("btnkaijiang");
    EXPECT_TRUE(window().runGoing()) << "the feed request is in flight";
    click("btnrefresh");
    click("btnkaijiang");
    clickRadio("optcaipiao", 2);
    clickRadio("optcaipiao", 0);
    waitIdle();
    EXPECT_EQ(window().state().CurrentLottery, u"山东11选5"_s) << "the last lottery chosen wins";
    EXPECT_EQ(window().state().DrawCount, 40);
    EXPECT_TRUE(errors_.isEmpty());
}

} // namespace
} // namespace tarvo::test
